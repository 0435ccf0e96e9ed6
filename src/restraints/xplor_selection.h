// XPLOR/CNS atom selections, "(segid A and resid 9 and (name HB# or name HG))",
// read into the alternatives they allow: 'or' gives more alternatives, 'and'
// narrows them. Without a structure, 'not' cannot be turned into atoms; such
// an end is kept with the reason, as are selections that allow nothing.
#pragma once
#include <string>
#include <vector>

#include "restraints/restraint_input.h"
#include "base/status.h"
#include "restraints/xplor_tokens.h"

// Reads one parenthesised selection starting at tokens[pos] (which must be
// '('); pos ends after its ')'. Syntax errors name path and the line.
Status parse_selection(const std::vector<XplorToken>& tokens, std::size_t& pos, const std::string& path,
                       RestraintEnd& end);

// XPLOR wildcards: '*' any characters, '#' any digits, '%' one character, '+' one digit.
bool wildcard_match(const std::string& pattern, const std::string& text);
