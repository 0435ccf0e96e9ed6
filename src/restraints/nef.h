// The reader of NEF files (the NMR exchange format, STAR syntax, parsed with
// gemmi's CIF/STAR parser): the rows of every _nef_distance_restraint loop,
// grouped by restraint_id, since rows that share an id are alternatives of
// one restraint.
#pragma once
#include <string>

#include "restraints/restraint_input.h"
#include "base/status.h"

// Whether text is STAR syntax: its first word, past blanks and '#' comments, starts with "data_".
bool looks_like_star(const std::string& text);

// Reads text (the whole file); path names it in messages.
Status read_nef(const std::string& text, const std::string& path, RestraintInput& out);
