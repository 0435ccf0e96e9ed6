// The geometry of a placed oligomer and its interface, in the words the
// summaries of the search and the analysis print: "crossing angle -35.7°
// (right-handed), axes 6.92 Å apart, ...", "Ile73, Gly79, ...".
#pragma once
#include <string>
#include <vector>

#include "geometry/bundle_geometry.h"
#include "run/oligomer.h"

// bundle_geometry of protomer 1's CA atoms (atoms named CA in the template).
BundleGeometry oligomer_geometry(const Template& tmpl, const Oligomer& placed);

// "crossing angle -35.7° (right-handed), axes 6.92 Å apart, 7.2 Å from the
// symmetry axis, tilt 17.9°", then ", winding about it with radius 4.9 Å
// and pitch 148 Å" for a supercoil; a single protomer has no crossing.
std::string geometry_words(const BundleGeometry& g);

// The residues of protomer 1 with a heavy atom within 4.5 Å of a heavy atom
// of another protomer, as "Ile73, Leu75, ...", or "none".
std::string interface_words(const Template& tmpl, const Oligomer& placed);
