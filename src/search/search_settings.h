// The settings of a search, from its options and the parameter file, all
// checked before any work: the grid steps (no finer than the candidate
// file's three decimals can tell apart), radii that fit its columns, and
// the number of placements and the memory compared with limits.
#pragma once
#include <string>
#include <vector>

#include "formats/helix.h"
#include "formats/parameter.h"
#include "formats/prepare.h"
#include "base/status.h"

// The options as given (strings where the search checks them itself).
struct SearchOptions {
    std::string paramFile, from, chain, residues, map;
    std::string restraints;  // an XPLOR/CNS or NEF file converted into noeFile
    std::string sequence, first;  // --sequence builds the helix, numbered from --first
    bool hasSequence = false;     // --sequence given (perhaps empty)
    int model = 1;
    bool force = false;
    bool refine = false;  // --refine: the kept placements packed and refined off the grid
    bool supercoil = false;  // --supercoil: the helix bent as a supercoil searched too
    bool asBuilt = false;    // --as-built: a helix given otherwise searched as a built one
    std::string angleStep, radius, keep = "100", threads, cluster = "2";
    std::string maxPlacements = "1e9", maxMemory = "2048";
    std::vector<std::string> commandLine;  // as typed, for the log
};

// The search for a built helix, by default with --sequence and with
// --as-built for a helix given otherwise: --refine and --supercoil.
bool built_search(const SearchOptions& o);
// What that search does, in one line for the user ("" for any other search).
std::string built_search_line(const SearchOptions& o);

// Steps and value range the candidate file can hold.
constexpr double minAngleStep = 0.06;  // degrees; 0.001 radians is the file's last decimal
constexpr double minRadiusStep = 0.001;
constexpr double lowestRadius = -99999.999, highestRadius = 999999.999;
// The rate the limits' messages estimate time with, measured with both cores.
constexpr double placementsPerSecond = 1e7;

struct SearchSettings {
    HelixChoice choice;
    long first = 1;  // the number of the built helix's first residue
    double angleStep = 0, rBeg = 0, rEnd = 0, rStep = 0;
    long keep = 100;
    double clusterCutoff = 2.0;  // CA RMSD in Angstrom that clusters the allowed set
    double placements = 0;  // phi * theta * psi * radius values
};

// Fills s from o and param, or says which setting is wrong. Also sets the
// number of threads.
Status settle_search(const SearchOptions& o, const Parameter& param, SearchSettings& s);

// The number of values make_grid makes for each axis.
double angle_count(double step);
double theta_count(double step);
double radius_count(double rBeg, double rEnd, double rStep);

// The error of a search in which every placement clashes, with its reason
// when the radii searched cannot hold the oligomer: the axes of neighbours
// at the largest radius closer than the width of the helix's CA atoms
// (aligned: the helix with its axis on z).
Status no_bundle_error(const Helix& aligned, int numProtomer, double rEnd);
