// A straight helix bent as a supercoil. Identical helices of a symmetric
// bundle that stay in contact along their length wind about the bundle's
// axis, as in coiled coils: each one's axis is then a helix about the
// bundle's axis, whose curvature is sin^2(tilt) / r (r its distance from the
// bundle's axis, tilt its angle to it across the way to the axis), bent
// toward that axis. A placement
// gives tilt, r and the direction toward the axis; supercoiled_pdb_text bends
// the helix by them, each residue moved as a rigid body along the arc, so
// that bond lengths and angles within residues stay as they were.
#pragma once
#include <string>

#include "formats/candidates.h"

struct SupercoilBend {
    double curvature = 0;          // 1/Angstrom; 0: no bend
    double toward[3] = {0, 0, 0};  // unit vector, in the frame of the aligned helix (axis z)
    double tilt = 0, radius = 0;   // degrees (across the way to the axis), Angstrom
    bool rightHanded = false;      // the tilt winds right-handed: no bend
};

// Bends smaller than this (radius of curvature over 2000 A) are none.
constexpr double leastCurvature = 1.0 / 2000.0;

// The bend a placement asks of the helix aligned on z (origin.pdb's frame),
// with protomer 1 at R(phi, theta, psi) p + (radius, 0, 0) and the bundle's
// axis z. No bend for a helix on the axis, or along it, or leaning toward it
// only, or tilted right-handed: the seam of contacts of a helix of 3.6
// residues a turn winds left-handed, so helices in contact along their
// length wind left-handed (coiled coils, channels), while right-handed
// crossings of the usual -40 degrees (GxxxG dimers) meet at one point and
// part toward their ends.
SupercoilBend supercoil_bend(const CandidateRow& row);

// pdbText's ATOM and HETATM lines bent so that the helix's axis curves
// toward bend.toward as bend asks: by what it lacks of that curvature, for a
// helix may be curved already. center and angle are those of the helix's
// alignment on z (align_on_z). Other lines as they are; pdbText itself when
// the bend is none or under leastCurvature.
std::string supercoiled_pdb_text(const std::string& pdbText, const float center[3], const float angle[3],
                                 const SupercoilBend& bend);
