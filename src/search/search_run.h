// noebundle-search's work over the modules below: the working folder locked
// and cleared of the temporary files of runs that died, every setting and
// path checked and every output claimed before any work, the helix prepared
// and read, the grid searched, with --refine the kept placements packed and
// refined off the grid, with --supercoil the helix bent as a supercoil
// searched too and the better kept, and all outputs put in place together.
#pragma once
#include <string>
#include <vector>

#include "formats/allowed_set.h"
#include "formats/prepare.h"
#include "safety/outputs.h"
#include "search/search.h"
#include "search/search_settings.h"

struct SearchOutcome {
    Grid grid;
    SearchResult result;
    AllowedSet allowed;  // the placements that fit as well as the best, clustered
    double seconds = 0;
    std::string candidatePath, logPath;
    std::vector<Backup> backups;  // files replaced under --force, and where they are kept
    std::string conversion;       // with --restraints: the accounting of the conversion
    std::string built;            // with --sequence: what was built
    std::string plan;             // with --sequence or --as-built: what the search does for a built helix
    std::string model;            // the restraint model in words, once the parameter file is read
    std::string supercoil;        // with --supercoil: the bend and the helix kept
    PreparationNotes prepared;    // with --from: side-chain points placed, copies of the chain
    int numProtomer = 0;
    double angleStep = 0;             // of the grid, degrees
    std::string geometry, interface;  // of the best placement, in words (search/bundle_words.h)
    std::string verdict;              // whether the restraints decide the bundle (formats/verdict_line.h)
};

Status run_search(const SearchOptions& o, SearchOutcome& out);
