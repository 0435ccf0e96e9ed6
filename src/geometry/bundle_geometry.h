// The geometry of a symmetric bundle of one helix, in the terms papers use:
// how two neighbouring helices cross, how far apart they are, where they sit
// about the bundle's axis, whether they wind about it, and which residues
// touch another protomer. Points are in noebundle's frame: the symmetry
// axis is z through the origin, and protomer p is protomer 1 turned by
// p steps about z, clockwise seen from +z. Everything in double precision.
//
// How each quantity is measured:
// - Helix axis: a local axis point for each residue from its CA and the CA
//   before and the two after (the bisector method: the bisectors of the
//   angles CA(i-1)-CA(i)-CA(i+1) and CA(i)-CA(i+1)-CA(i+2) point away from
//   the axis, and the angle between them and their lengths give the local
//   radius); the overall axis is the least-squares line through these
//   points, pointing from the first residue to the last, and it spans the
//   projections of the first and last CA (the helix's extent). Straight and
//   supercoiled helices of 8 or more residues alike.
// - crossingAngle: the angle between the axes of protomers 1 and 2, signed
//   as the dihedral about their common perpendicular: negative for a
//   right-handed crossing (glycophorin A, about -40 degrees), positive for a
//   left-handed one (coiled coils, about +20 degrees).
// - axisDistance: the shortest distance between the two axis segments.
// - axisRadius: distance of the axis from z at the helix's centre (the point
//   of the axis nearest the mean of the CA atoms).
// - tilt: angle between the axis line and z, 0 to 90 degrees.
// - winds: the local axis points lie off the straight axis by more than
//   0.1 Angstrom RMS, and closer to a helix about z (turning at a steady
//   rate along z, its distance from z linear in z, for bundles that splay)
//   by at least a quarter; then supercoilRadius is their mean distance from
//   z and supercoilPitch the rise of one full turn about z. A coiled coil
//   (GCN4, 2ZTA) winds; glycophorin A's crossing (1AFO) does not.
#pragma once
#include <vector>

#include "geometry/geometry.h"

struct BundleGeometry {
    double crossingAngle;    // degrees; NaN for a single protomer
    double axisDistance;     // Angstrom; NaN for a single protomer
    double axisRadius;       // Angstrom
    double tilt;             // degrees
    bool winds;              // the helix axis winds about z (a supercoil)
    double supercoilRadius;  // Angstrom; NaN unless winds
    double supercoilPitch;   // Angstrom per turn; NaN unless winds
};

// From the CA atoms of protomer 1 in residue order (at least 5); all NaN
// when they give no axis.
BundleGeometry bundle_geometry(const std::vector<Point>& caOfProtomer1, int numProtomer);

// The residue numbers (residueOf, per atom) of protomer 1 with a heavy atom
// within 4.5 Angstrom of a heavy atom of another protomer, ascending, each
// once. oligomer[p] holds protomer p + 1's atoms in the same order; heavy
// flags each atom.
std::vector<int> interface_residues(const std::vector<std::vector<Point>>& oligomer, const std::vector<int>& residueOf,
                                    const std::vector<char>& heavy);
