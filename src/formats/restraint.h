// Distance restraints between neighbouring protomers: the Restraint record,
// the reader of the restraint file (ten space-separated tokens per line), and
// the point pairs whose distances decide a restraint in one model.
#pragma once
#include <istream>
#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "base/status.h"
#include "formats/parameter.h"

constexpr int maxRestraint = 100;

class Restraint {
public:
    int numRestraint;
    int resIndex1[maxRestraint];  // residue position of the first end
    int resIndex2[maxRestraint];
    int pairClass[maxRestraint];  // how many ends stand for a CB: 0, 1 or 2
    char atom1[maxRestraint][5];  // "CA" or "CB"
    char proton1[maxRestraint][5];  // the proton name as written, two characters
    char atom2[maxRestraint][5];
    char proton2[maxRestraint][5];
    float lowerBound[maxRestraint];
    float upperBound[maxRestraint];

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

// Appends a parsed line (counted always, kept while there is room).
void add_restraint(Restraint& res, const RestraintLine& line);

// Whether the file held 3 to 100 restraints (lines past the 100th are counted, not kept).
Status count_status(const Restraint& res, const std::string& noeFile);

// Reads every line into res (the first 100 are kept) and checks the count.
Status parse_restraints(std::istream& in, const std::string& noeFile, const std::vector<int>& resNum,
                        const float pairDistance[3], const float pairTolerance[3], Restraint& res);
// Opens noeFile and reads it as above.
Status load_restraints(const std::string& noeFile, const std::vector<int>& resNum, const float pairDistance[3],
                       const float pairTolerance[3], Restraint& res);

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
