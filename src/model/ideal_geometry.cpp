#include "model/ideal_geometry.h"

#include <algorithm>
#include <deque>
#include <string>

#include "geometry/backbone_points.h"

// Sources:
// [EH]  Engh & Huber (1991) Acta Cryst. A47, 392-400, Table 3: bond lengths
//       and angles of the amino acids from small-molecule crystal structures.
// [NH]  X-H bond lengths from neutron diffraction, Allen et al. (1987)
//       J. Chem. Soc. Perkin Trans. 2, S1-S19: C-H 1.09, N-H 1.01, O-H 0.97;
//       S-H 1.34 and C-S-H 96.5 degrees from methanethiol (microwave
//       spectrum, Kojima & Nishikawa (1957) J. Phys. Soc. Jpn. 12, 680).
// [TET] Hydrogens of sp3 atoms at the tetrahedral angle 109.5 to the atom
//       they are placed from; methylene protons 120 degrees either side of
//       the heavy atom that follows (IUPAC-IUB (1970) Biochemistry 9, 3471:
//       H2 at +120, H3 at -120, as in the PDB's own files, e.g. 1AFO).
// [SP2] Hydrogens of planar groups in the plane, bisecting the outer angle:
//       (360 - ring or group angle) / 2.
// [HX]  The alpha-helix: phi -57, psi -47 (Pauling, Corey & Branson (1951)
//       PNAS 37, 205; the values of Barlow & Thornton (1988) J. Mol. Biol.
//       201, 601 round to them), omega 180 (trans peptide).

namespace ideal {

namespace {

constexpr double CH = bondCH, NH = 1.01, OH = 0.97, SH = 1.34;  // [NH]
constexpr double TET = tetrahedral;                                 // [TET]
using D = Dihedral;
constexpr D F = D::fixed, X1 = D::chi1, X2 = D::chi2, X3 = D::chi3, X4 = D::chi4;
constexpr D P = D::chiralPlus, M = D::chiralMinus;

// CB of most residues [EH]: CA-CB 1.530, N-CA-CB 110.5, C-CA-CB 110.1.
InternalAtom cb(double bond = caCb, double nAngle = nCaCb, double cAngle = cCaCb) {
    return {"CB", "CA", bond, "N", nAngle, "C", M, cAngle};
}
// The alpha proton of L-residues [NH][TET], on the side opposite CB.
const InternalAtom HA = {"HA", "CA", CH, "N", TET, "C", P, TET};
// Methylene protons [TET] on atom x, placed from a and b, following chi k.
std::vector<InternalAtom> methylene(const char* h2, const char* h3, const char* x, const char* a, const char* b, D k) {
    return {{h2, x, CH, a, TET, b, k, 120}, {h3, x, CH, a, TET, b, k, -120}};
}
// The three protons of a methyl (or ammonium, with bond NH) group, staggered.
std::vector<InternalAtom> methyl(const char* h, const char* x, const char* a, const char* b, double bond = CH) {
    const std::string base(h);
    static std::deque<std::string> names;  // the atoms keep pointers to their names
    std::vector<InternalAtom> out;
    for (int k = 0; k < 3; ++k) {
        names.push_back(base + char('1' + k));
        out.push_back({names.back().c_str(), x, bond, a, TET, b, F, 180.0 - 120.0 * k});
    }
    return out;
}

std::vector<InternalAtom> join(std::vector<std::vector<InternalAtom>> parts) {
    std::vector<InternalAtom> out;
    for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<ResidueGeometry> make_table() {
    // Heavy atoms [EH]; hydrogens [NH][TET][SP2].
    const std::vector<InternalAtom> hb = methylene("HB2", "HB3", "CB", "CA", "N", X1);
    const std::vector<InternalAtom> hg = methylene("HG2", "HG3", "CG", "CB", "CA", X2);
    std::vector<ResidueGeometry> t;
    t.push_back({'A', "ALA", join({{cb(1.521, 110.4, 110.5), HA}, methyl("HB", "CB", "CA", "N")})});
    t.push_back({'C', "CYS", join({{cb(), {"SG", "CB", 1.808, "CA", 114.4, "N", X1, 0}, HA}, hb,
                                   {{"HG", "SG", SH, "CB", 96.5, "CA", F, 180}}})});
    t.push_back({'D', "ASP", join({{cb(), {"CG", "CB", 1.516, "CA", 112.6, "N", X1, 0},
                                    {"OD1", "CG", 1.249, "CB", 118.4, "CA", X2, 0},
                                    {"OD2", "CG", 1.249, "CB", 118.4, "CA", X2, 180}, HA}, hb})});
    t.push_back({'E', "GLU", join({{cb(), {"CG", "CB", 1.520, "CA", 114.1, "N", X1, 0},
                                    {"CD", "CG", 1.516, "CB", 112.6, "CA", X2, 0},
                                    {"OE1", "CD", 1.249, "CG", 118.4, "CB", X3, 0},
                                    {"OE2", "CD", 1.249, "CG", 118.4, "CB", X3, 180}, HA}, hb, hg})});
    t.push_back({'F', "PHE", join({{cb(), {"CG", "CB", 1.502, "CA", 113.8, "N", X1, 0},
                                    {"CD1", "CG", 1.384, "CB", 120.7, "CA", X2, 0},
                                    {"CD2", "CG", 1.384, "CB", 120.7, "CA", X2, 180},
                                    {"CE1", "CD1", 1.382, "CG", 120.7, "CB", F, 180},
                                    {"CE2", "CD2", 1.382, "CG", 120.7, "CB", F, 180},
                                    {"CZ", "CE1", 1.382, "CD1", 120.0, "CG", F, 0}, HA}, hb,
                                   {{"HD1", "CD1", CH, "CG", 119.65, "CB", F, 0}, {"HD2", "CD2", CH, "CG", 119.65, "CB", F, 0},
                                    {"HE1", "CE1", CH, "CD1", 120.0, "CG", F, 180}, {"HE2", "CE2", CH, "CD2", 120.0, "CG", F, 180},
                                    {"HZ", "CZ", CH, "CE1", 120.0, "CD1", F, 180}}})});
    t.push_back({'G', "GLY", {{"HA2", "CA", CH, "N", TET, "C", P, TET}, {"HA3", "CA", CH, "N", TET, "C", M, TET}}});
    t.push_back({'H', "HIS", join({{cb(), {"CG", "CB", 1.497, "CA", 113.8, "N", X1, 0},
                                    {"ND1", "CG", 1.378, "CB", 122.7, "CA", X2, 0},
                                    {"CD2", "CG", 1.354, "CB", 131.0, "CA", X2, 180},
                                    {"CE1", "ND1", 1.321, "CG", 109.0, "CB", F, 180},
                                    {"NE2", "CD2", 1.374, "CG", 107.2, "CB", F, 180}, HA}, hb,
                                   {{"HD1", "ND1", NH, "CG", 125.5, "CB", F, 0}, {"HD2", "CD2", CH, "CG", 126.4, "CB", F, 0},
                                    {"HE1", "CE1", CH, "ND1", 125.8, "CG", F, 180}, {"HE2", "NE2", NH, "CD2", 125.5, "CG", F, 180}}})});
    t.push_back({'I', "ILE", join({{cb(1.540, 111.5, 109.1), {"CG1", "CB", 1.530, "CA", 110.4, "N", X1, 0},
                                    {"CG2", "CB", 1.521, "CA", 110.5, "N", X1, -120},
                                    {"CD1", "CG1", 1.513, "CB", 113.8, "CA", X2, 0}, HA,
                                    {"HB", "CB", CH, "CA", TET, "N", X1, 120}},
                                   methylene("HG12", "HG13", "CG1", "CB", "CA", X2), methyl("HG2", "CG2", "CB", "CA"),
                                   methyl("HD1", "CD1", "CG1", "CB")})});
    t.push_back({'K', "LYS", join({{cb(), {"CG", "CB", 1.520, "CA", 114.1, "N", X1, 0},
                                    {"CD", "CG", 1.520, "CB", 111.3, "CA", X2, 0},
                                    {"CE", "CD", 1.520, "CG", 111.3, "CB", X3, 0},
                                    {"NZ", "CE", 1.489, "CD", 111.9, "CG", X4, 0}, HA}, hb, hg,
                                   methylene("HD2", "HD3", "CD", "CG", "CB", X3), methylene("HE2", "HE3", "CE", "CD", "CG", X4),
                                   methyl("HZ", "NZ", "CE", "CD", NH)})});
    t.push_back({'L', "LEU", join({{cb(), {"CG", "CB", 1.530, "CA", 116.3, "N", X1, 0},
                                    {"CD1", "CG", 1.521, "CB", 110.7, "CA", X2, 0},
                                    {"CD2", "CG", 1.521, "CB", 110.7, "CA", X2, 120}, HA}, hb,
                                   {{"HG", "CG", CH, "CB", TET, "CA", X2, -120}}, methyl("HD1", "CD1", "CG", "CB"),
                                   methyl("HD2", "CD2", "CG", "CB")})});
    t.push_back({'M', "MET", join({{cb(), {"CG", "CB", 1.520, "CA", 114.1, "N", X1, 0},
                                    {"SD", "CG", 1.803, "CB", 112.7, "CA", X2, 0},
                                    {"CE", "SD", 1.791, "CG", 100.9, "CB", X3, 0}, HA}, hb, hg,
                                   methyl("HE", "CE", "SD", "CG")})});
    t.push_back({'N', "ASN", join({{cb(), {"CG", "CB", 1.516, "CA", 112.6, "N", X1, 0},
                                    {"OD1", "CG", 1.231, "CB", 120.8, "CA", X2, 0},
                                    {"ND2", "CG", 1.328, "CB", 116.4, "CA", X2, 180}, HA}, hb,
                                   {{"HD21", "ND2", NH, "CG", 120.0, "OD1", F, 180}, {"HD22", "ND2", NH, "CG", 120.0, "OD1", F, 0}}})});
    // Proline [EH]: N-CA-CB 103.0, CA-CB-CG 104.5, CB-CG-CD 106.1; the ring
    // closes on N (CD-N 1.473, CA-N-CD 112.0); CD's protons from its two
    // neighbours [TET].
    t.push_back({'P', "PRO", join({{cb(1.530, 103.0, 110.1), {"CG", "CB", 1.492, "CA", 104.5, "N", X1, 0},
                                    {"CD", "CG", 1.503, "CB", 106.1, "CA", X2, 0}, HA}, hb, hg,
                                   {{"HD2", "CD", CH, "CG", TET, "N", P, TET}, {"HD3", "CD", CH, "CG", TET, "N", M, TET}}})});
    t.push_back({'Q', "GLN", join({{cb(), {"CG", "CB", 1.520, "CA", 114.1, "N", X1, 0},
                                    {"CD", "CG", 1.516, "CB", 112.6, "CA", X2, 0},
                                    {"OE1", "CD", 1.231, "CG", 120.8, "CB", X3, 0},
                                    {"NE2", "CD", 1.328, "CG", 116.4, "CB", X3, 180}, HA}, hb, hg,
                                   {{"HE21", "NE2", NH, "CD", 120.0, "OE1", F, 180}, {"HE22", "NE2", NH, "CD", 120.0, "OE1", F, 0}}})});
    t.push_back({'R', "ARG", join({{cb(), {"CG", "CB", 1.520, "CA", 114.1, "N", X1, 0},
                                    {"CD", "CG", 1.520, "CB", 111.3, "CA", X2, 0},
                                    {"NE", "CD", 1.460, "CG", 112.0, "CB", X3, 0},
                                    {"CZ", "NE", 1.329, "CD", 124.2, "CG", X4, 0},
                                    {"NH1", "CZ", 1.326, "NE", 120.0, "CD", F, 0},
                                    {"NH2", "CZ", 1.326, "NE", 120.0, "CD", F, 180}, HA}, hb, hg,
                                   methylene("HD2", "HD3", "CD", "CG", "CB", X3),
                                   {{"HE", "NE", NH, "CD", 117.9, "CG", X4, 180},
                                    {"HH11", "NH1", NH, "CZ", 120.0, "NE", F, 0}, {"HH12", "NH1", NH, "CZ", 120.0, "NE", F, 180},
                                    {"HH21", "NH2", NH, "CZ", 120.0, "NE", F, 0}, {"HH22", "NH2", NH, "CZ", 120.0, "NE", F, 180}}})});
    t.push_back({'S', "SER", join({{cb(), {"OG", "CB", 1.417, "CA", 111.1, "N", X1, 0}, HA}, hb,
                                   {{"HG", "OG", OH, "CB", TET, "CA", F, 180}}})});
    t.push_back({'T', "THR", join({{cb(1.540, 111.5, 109.1), {"OG1", "CB", 1.433, "CA", 109.6, "N", X1, 0},
                                    {"CG2", "CB", 1.521, "CA", 110.5, "N", X1, -120}, HA,
                                    {"HB", "CB", CH, "CA", TET, "N", X1, 120}, {"HG1", "OG1", OH, "CB", TET, "CA", F, 180}},
                                   methyl("HG2", "CG2", "CB", "CA")})});
    t.push_back({'V', "VAL", join({{cb(1.540, 111.5, 109.1), {"CG1", "CB", 1.521, "CA", 110.5, "N", X1, 0},
                                    {"CG2", "CB", 1.521, "CA", 110.5, "N", X1, 120}, HA,
                                    {"HB", "CB", CH, "CA", TET, "N", X1, -120}},
                                   methyl("HG1", "CG1", "CB", "CA"), methyl("HG2", "CG2", "CB", "CA")})});
    // Tryptophan's rings [EH]; the benzene ring closes CZ3-CH2 (1.400).
    t.push_back({'W', "TRP", join({{cb(), {"CG", "CB", 1.498, "CA", 113.6, "N", X1, 0},
                                    {"CD1", "CG", 1.365, "CB", 126.9, "CA", X2, 0},
                                    {"CD2", "CG", 1.433, "CB", 126.8, "CA", X2, 180},
                                    {"NE1", "CD1", 1.374, "CG", 110.2, "CB", F, 180},
                                    {"CE2", "CD2", 1.409, "CG", 107.2, "CB", F, 180},
                                    {"CE3", "CD2", 1.398, "CG", 133.9, "CB", F, 0},
                                    {"CZ2", "CE2", 1.394, "CD2", 122.4, "CG", F, 180},
                                    {"CZ3", "CE3", 1.382, "CD2", 118.6, "CG", F, 180},
                                    {"CH2", "CZ2", 1.368, "CE2", 117.5, "CD2", F, 0}, HA}, hb,
                                   {{"HD1", "CD1", CH, "CG", 124.9, "CB", F, 0}, {"HE1", "NE1", NH, "CD1", 125.55, "CG", F, 180},
                                    {"HE3", "CE3", CH, "CD2", 120.7, "CG", F, 0}, {"HZ2", "CZ2", CH, "CE2", 121.25, "CD2", F, 180},
                                    {"HZ3", "CZ3", CH, "CE3", 119.45, "CD2", F, 180}, {"HH2", "CH2", CH, "CZ2", 119.25, "CE2", F, 180}}})});
    t.push_back({'Y', "TYR", join({{cb(), {"CG", "CB", 1.512, "CA", 113.9, "N", X1, 0},
                                    {"CD1", "CG", 1.389, "CB", 120.8, "CA", X2, 0},
                                    {"CD2", "CG", 1.389, "CB", 120.8, "CA", X2, 180},
                                    {"CE1", "CD1", 1.382, "CG", 121.2, "CB", F, 180},
                                    {"CE2", "CD2", 1.382, "CG", 121.2, "CB", F, 180},
                                    {"CZ", "CE1", 1.378, "CD1", 119.6, "CG", F, 0},
                                    {"OH", "CZ", 1.376, "CE1", 119.9, "CD1", F, 180}, HA}, hb,
                                   {{"HD1", "CD1", CH, "CG", 119.4, "CB", F, 0}, {"HD2", "CD2", CH, "CG", 119.4, "CB", F, 0},
                                    {"HE1", "CE1", CH, "CD1", 120.2, "CG", F, 180}, {"HE2", "CE2", CH, "CD2", 120.2, "CG", F, 180},
                                    {"HH", "OH", OH, "CZ", TET, "CE1", F, 0}}})});
    return t;
}

}  // namespace

const Backbone& backbone() {
    // [EH] for the heavy atoms (C-OXT and CA-C-OXT as C-O and CA-C-N: the
    // carboxylate of the last residue lies where the next N would), [NH] for
    // N-H, [HX] for the torsions.
    static const Backbone b = {1.458, 1.525, 1.329, 1.231, 1.231, NH, 111.2, 116.2, 121.7, 120.8, 116.2,
                               -57.0, -47.0, 180.0};
    return b;
}

const std::vector<ResidueGeometry>& residue_geometries() {
    static const std::vector<ResidueGeometry> table = make_table();
    return table;
}

const ResidueGeometry* residue_geometry(char code) {
    const auto& t = residue_geometries();
    auto it = std::find_if(t.begin(), t.end(), [code](const ResidueGeometry& r) { return r.code == code; });
    return it == t.end() ? nullptr : &*it;
}

}  // namespace ideal
