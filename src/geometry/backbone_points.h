// The points an L-amino acid's backbone fixes: its ideal CB, and its alpha
// proton (HA; on glycine HA2, the one at dihedral C-N-CA-H = +120 degrees
// as the PDB names it, e.g. in 1AFO). Values and sources:
// CA-CB 1.530, N-CA-CB 110.5, C-CA-CB 110.1 from Engh & Huber (1991) Acta
// Cryst. A47, 392-400, Table 3; C-H 1.09 from neutron diffraction (Allen et
// al. (1987) J. Chem. Soc. Perkin Trans. 2, S1-S19); the tetrahedral angle
// 109.5 at CA for the proton.
#pragma once
#include "geometry/place.h"

namespace ideal {

constexpr double caCb = 1.530, nCaCb = 110.5, cCaCb = 110.1;
constexpr double bondCH = 1.09, tetrahedral = 109.5;

// The atom at bond from ca, at angle nAngle to n and cAngle to c, on the
// side where the dihedral c-n-ca-atom is positive or negative.
inline Vec chiral_point(Vec n, Vec ca, Vec c, double bond, double nAngle, double cAngle, bool positive) {
    return place(c, n, ca, bond, nAngle, chiral_dihedral(n, ca, c, nAngle, cAngle, positive));
}

inline Vec ideal_cb(Vec n, Vec ca, Vec c) { return chiral_point(n, ca, c, caCb, nCaCb, cCaCb, false); }
inline Vec ideal_ha(Vec n, Vec ca, Vec c) { return chiral_point(n, ca, c, bondCH, tetrahedral, tetrahedral, true); }

}  // namespace ideal
