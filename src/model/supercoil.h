// A straight helix bent as a supercoil. Identical helices of a symmetric
// bundle that stay in contact along their length wind about the bundle's
// axis, as in coiled coils: each one's axis is then a helix about the
// bundle's axis. How far it winds follows from the seam of contacts: the
// heptad's a and d positions come round every 3.5 residues a turn, while
// an alpha-helix turns a little less a residue (about 3.6 residues a
// turn), so the seam stays on the side facing the bundle's axis only if
// the helix winds about that axis by the difference, once every
//   L = rise * 360 / (360 / 3.5 - twist)
// of its length (twist and rise: the helix's own, per residue). At a
// distance r from the bundle's axis that makes a curvature of
// 4 pi^2 r / L^2, toward the axis. (A straight helix's best placement
// tilts less than the winding: tilted fully, its ends would leave the
// bundle; so the placement gives r, the direction to the axis and the
// hand of the winding, not its amount.) supercoiled_pdb_text bends the
// helix so, each residue moved as a rigid body along the arc, so that bond
// lengths and angles within residues stay as they were.
#pragma once
#include <string>

#include "formats/candidates.h"

struct SupercoilBend {
    double curvature = 0;          // 1/Angstrom; 0: no bend
    double toward[3] = {0, 0, 0};  // unit vector, in the frame of the aligned helix (axis z)
    double tilt = 0, radius = 0;   // degrees (across the way to the axis), Angstrom
    bool rightHanded = false;      // the tilt winds right-handed: no bend
};

// A helix's own twist about its axis and rise along it, per residue.
struct HelixTwist {
    double degrees = 0, rise = 0;  // 0, 0: too short to tell (under three CA)
};
// Measured on the CA of pdbText's ATOM and HETATM lines: the twist as the
// mean angle between the bisectors of consecutive CA-CA-CA angles (they
// point at the axis), the rise as the mean step along the axis they define.
HelixTwist helix_twist(const std::string& pdbText);

// Residues a turn of the heptad seam.
constexpr double heptadResiduesPerTurn = 3.5;

// Bends smaller than this (radius of curvature over 2000 A) are none.
constexpr double leastCurvature = 1.0 / 2000.0;

// The bend a placement asks of a helix of this twist aligned on z
// (origin.pdb's frame), with protomer 1 at R(phi, theta, psi) p + (radius,
// 0, 0) and the bundle's axis z. No bend for a helix on the axis, or along
// it, or leaning toward it only, or tilted right-handed: the seam of
// contacts of a helix of 3.6 residues a turn winds left-handed, so helices
// in contact along their length wind left-handed (coiled coils, channels),
// while right-handed crossings of the usual -40 degrees (GxxxG dimers) meet
// at one point and part toward their ends. None either for a helix that
// turns as fast as the seam, or one too far from the axis to wind once in L.
SupercoilBend supercoil_bend(const CandidateRow& row, const HelixTwist& twist);

// pdbText's ATOM and HETATM lines bent so that the helix's axis curves
// toward bend.toward as bend asks: by what it lacks of that curvature, for a
// helix may be curved already. center and angle are those of the helix's
// alignment on z (align_on_z). Other lines as they are; pdbText itself when
// the bend is none or under leastCurvature.
std::string supercoiled_pdb_text(const std::string& pdbText, const float center[3], const float angle[3],
                                 const SupercoilBend& bend);
