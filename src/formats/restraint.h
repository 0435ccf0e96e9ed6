// Distance restraints between neighbouring protomers: the Restraint record,
// the reader of the restraint file (ten space-separated tokens per line), and
// the point pairs whose distances decide a restraint in one model.
#pragma once
#include <array>
#include <istream>
#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "base/status.h"
#include "formats/parameter.h"

// The most restraints a list may hold. Under the window model, lists are
// prepared for the windows by hand and 100 is the most noebundle has ever
// taken; lists from spectra, scored under the upper model, hold every pair
// seen, often thousands.
constexpr int maxRestraint = 100;
constexpr int maxUpperRestraint = 100000;
inline int most_restraints(NoeModel model) { return model == NoeModel::window ? maxRestraint : maxUpperRestraint; }

// Short names, one per restraint: names[i] is the char* of its five characters.
class NameColumn {
public:
    char* operator[](std::size_t i) { return names_[i].data(); }
    const char* operator[](std::size_t i) const { return names_[i].data(); }
    void resize(std::size_t n) { names_.resize(n, std::array<char, 5>{}); }

private:
    std::vector<std::array<char, 5>> names_;
};

// Restraint i is the i-th entry of every column, for i below numRestraint.
class Restraint {
public:
    int numRestraint = 0;  // the restraints read, which may exceed those kept
    std::vector<int> resIndex1;  // residue position of the first end
    std::vector<int> resIndex2;
    std::vector<int> pairClass;  // how many ends stand for a CB: 0, 1 or 2
    NameColumn atom1;  // "CA" or "CB"
    NameColumn proton1;  // the proton name as written, two characters
    NameColumn atom2;
    NameColumn proton2;
    std::vector<float> lowerBound;
    std::vector<float> upperBound;

    // Room in every column for n restraints; numRestraint stays as it is.
    void resize(int n);

    // The run's stages on this record, defined by the run's shell: read
    // noeFile, and parse one line and append its restraint.
    void read_restraint();
    void process_unambiguous(std::string& line);
};

// One parsed line of the restraint file.
struct RestraintLine {
    int resIndex1, resIndex2, pairClass;
    std::string atom1, proton1, atom2, proton2;
    float lowerBound, upperBound;
};

// Parses one line against the helix's residue numbers; the messages name noeFile.
Status parse_restraint_line(std::string& line, const std::string& noeFile,
                            const std::vector<int>& resNum, const float pairDistance[3],
                            const float pairTolerance[3], RestraintLine& out);

// Appends a parsed line: counted always, kept while fewer than most are.
void add_restraint(Restraint& res, const RestraintLine& line, int most = maxRestraint);

// Whether the file held 3 to most restraints (lines past the most are counted, not kept).
Status count_status(const Restraint& res, const std::string& noeFile, int most = maxRestraint);

// Reads every line into res (the first most are kept) and checks the count;
// most_restraints(noeModel) gives the run's most.
Status parse_restraints(std::istream& in, const std::string& noeFile, const std::vector<int>& resNum,
                        const float pairDistance[3], const float pairTolerance[3], Restraint& res,
                        int most = maxRestraint);
// Opens noeFile and reads it as above.
Status load_restraints(const std::string& noeFile, const std::vector<int>& resNum, const float pairDistance[3],
                       const float pairTolerance[3], Restraint& res, int most = maxRestraint);

// Under the upper model a restraint has no lower bound: it becomes 0, below
// every distance, so the score's violation is the excess over the upper bound
// alone, formed as under the window model. The upper bound itself grows by
// how far each end's proton can lie from its stand-in (formats/proton_reach.h)
// beyond the farthest HD (3.49 A), which the class bounds already allow for:
// by the triangle inequality the stand-in distance exceeds the proton
// distance by at most the two reaches, so a pair of protons that close never
// counts as violated for lying far out on a long side chain. Only protons
// past the delta position raise a bound. "reach" is the same model under the
// name earlier parameter files may give it.
// residueNames gives each helix position's residue type.
// The window model changes nothing.
void apply_noe_model(NoeModel model, const std::vector<std::string>& residueNames, Restraint& res);

// Point index of an end: 2 * residue position, plus 1 for the CB.
inline int end_point(int resIndex, const char* atom) {
    return 2 * resIndex + (atom[1] == 'B' ? 1 : 0);
}

// -1 when the second pairing (d2) is the longer, +1 when the first is, 0 on a tie.
inline int closer_side(float d1, float d2) { return d2 > d1 ? -1 : (d1 > d2 ? 1 : 0); }

// d1: first end on the model, second on the turned copy; d2: the other pairing.
inline void pair_distances(const Restraint& res, int i, const Point* model, const Point* turned,
                           float& d1, float& d2) {
    int p = end_point(res.resIndex1[i], res.atom1[i]);
    int q = end_point(res.resIndex2[i], res.atom2[i]);
    d1 = distance(model[p], turned[q]);
    d2 = distance(turned[p], model[q]);
}
