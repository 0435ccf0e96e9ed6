// The search of one helix, and of its supercoiled copy: the helix text read
// and aligned on z, the grid searched with the steric rule and packing of
// the aligned template, with refine the kept placements packed and refined
// off the grid; with the supercoil, the helix bent as its best placement
// asks (model/supercoil.h), searched again, and one of the two kept.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "base/status.h"
#include "formats/allowed_set.h"
#include "formats/helix.h"
#include "formats/restraint.h"
#include "search/search.h"
#include "search/search_settings.h"

using Progress = std::function<void(std::uint64_t, std::uint64_t)>;

struct HelixSearch {
    std::string pdbText;     // the helix as pdbFile holds it
    std::string originText;  // aligned on z, as origin.pdb holds it
    Helix helix;             // read and aligned
    SearchResult result;
    AllowedSet allowed;      // the placements that fit as well as the best, clustered
};

// The helix of pdbText as noebundle reads it (finite coordinates only),
// aligned on z, with its originText; out.result is left empty.
Status prepare_helix(const std::string& pdbText, const std::string& path, HelixSearch& out);

// Searches a prepared helix into out.result. With refine, the kept
// placements are packed and refined off the grid.
void search_helix(const Restraint& res, int numProtomer, const Grid& grid, const SearchSettings& s, bool refine,
                  const Progress& progress, HelixSearch& out);

// The supercoiled copy of straight's helix, wound as a heptad seam asks
// at its best placement, searched like it; chosen is the supercoiled one
// unless the straight one's best placement scores better (packing does not
// decide between shapes), with the placements of both searches counted.
// said tells the user.
Status supercoil_search(const HelixSearch& straight, const std::string& path, const Restraint& res, int numProtomer,
                        const Grid& grid, const SearchSettings& s, bool refine, const Progress& progress,
                        HelixSearch& chosen, std::string& said);
