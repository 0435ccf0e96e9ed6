// Distance restraints written as an XPLOR/CNS table: one 'assign' statement
// a restraint, "(segid A and resid 9 and name HG) (segid B and resid 5 and
// name HA) distance minus plus", each after a '!' comment line naming its
// origin; an end on more than one atom joins their selections with 'or'.
// Names are written as given (the amide proton as the structure names it,
// H or HN); a wildcard name ends in '#'.
#pragma once
#include <string>
#include <vector>

#include "restraints/assigned_restraint.h"

// heading: comment lines before the statements (each given without the '!').
std::string xplor_table(const std::vector<AssignedRestraint>& restraints, const std::vector<std::string>& heading);
