#include "formats/proton_reach.h"

#include <algorithm>
#include <cctype>
#include <cstring>

// Source: the standard geometry of the amino acids that the helix builder
// also uses (model/ideal_geometry.cpp: Engh & Huber (1991) bond lengths and
// angles, neutron-diffraction X-H bonds, tetrahedral and planar hydrogens).
// Each value is the largest distance from a proton of the class to its
// stand-in over every side-chain torsion chi1-chi4 in 30-degree steps (the
// largest distances lie at trans or at 60/180 degrees, on that grid),
// rounded up to 0.01 A; proline over its two ring puckers (exo and endo),
// since its ring allows no other. HN: the amide proton in the peptide plane
// bisecting C-N-CA's outer angle. tests/formats/test_proton_reach.cpp
// derives every value again from that geometry.

namespace {

constexpr int classCount = 8;
const char* const classes[classCount] = {"HN", "HA", "HB", "HG", "HD", "HE", "HZ", "HH"};

struct Row {
    const char* residue;
    float reach[classCount];  // 0 where the residue type has no such proton
};

const Row table[] = {
    //        HN    HA    HB    HG    HD    HE    HZ    HH
    {"ALA", {2.15, 1.09, 2.15, 0,    0,    0,    0,    0}},
    {"ARG", {2.15, 1.09, 2.16, 2.15, 3.46, 4.63, 0,    6.98}},
    {"ASN", {2.15, 1.09, 2.16, 0,    3.36, 0,    0,    0}},
    {"ASP", {2.15, 1.09, 2.16, 0,    0,    0,    0,    0}},
    {"CYS", {2.15, 1.09, 2.16, 2.37, 0,    0,    0,    0}},
    {"GLN", {2.15, 1.09, 2.16, 2.15, 0,    4.56, 0,    0}},
    {"GLU", {2.15, 1.09, 2.16, 2.15, 0,    0,    0,    0}},
    {"GLY", {2.15, 1.09, 0,    0,    0,    0,    0,    0}},
    {"HIS", {2.15, 1.09, 2.16, 0,    3.00, 4.63, 0,    0}},
    {"ILE", {2.15, 1.09, 2.17, 2.16, 3.49, 0,    0,    0}},
    {"LEU", {2.15, 1.09, 2.16, 2.16, 3.46, 0,    0,    0}},
    {"LYS", {2.15, 1.09, 2.16, 2.15, 3.46, 4.65, 5.85, 0}},
    {"MET", {2.15, 1.09, 2.16, 2.15, 0,    5.06, 0,    0}},
    {"PHE", {2.15, 1.09, 2.16, 0,    2.72, 4.66, 5.38, 0}},
    {"PRO", {0,    1.09, 2.16, 2.13, 3.26, 0,    0,    0}},
    {"SER", {2.15, 1.09, 2.16, 1.97, 0,    0,    0,    0}},
    {"THR", {2.15, 1.09, 2.17, 2.15, 0,    0,    0,    0}},
    {"TRP", {2.15, 1.09, 2.16, 0,    2.91, 4.63, 5.92, 6.46}},
    {"TYR", {2.15, 1.09, 2.16, 0,    2.73, 4.68, 0,    6.07}},
    {"VAL", {2.15, 1.09, 2.17, 2.15, 0,    0,    0,    0}},
};

std::string upper_case(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

float proton_reach(const std::string& residueName, const std::string& protonClass) {
    const std::string name = upper_case(residueName), cls = upper_case(protonClass);
    int c = 0;
    while (c < classCount && cls != classes[c]) ++c;
    if (c == classCount) return 0.0f;
    float largest = 0.0f;
    for (const Row& row : table) {
        if (name == row.residue && row.reach[c] > 0.0f) return row.reach[c];
        largest = std::max(largest, row.reach[c]);
    }
    return largest;
}
