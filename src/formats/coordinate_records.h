// The lines of a PDB file that gemmi's PDB reader is given: the coordinate
// and model records, each cut to the 80 columns that reader takes from them.
#pragma once
#include <string>

// The ATOM, HETATM, MODEL, ENDMDL, TER and END lines of PDB text, each ended
// with a line feed and cut after column 80 and at a zero byte. gemmi 0.5.7
// reads a line of up to 120 characters and skips the rest of a longer one
// only up to a zero byte or a byte above 127, and reads what follows as a
// line of its own: in an ATOM line, the start of a LINK or SSBOND record,
// which its reader of those records reads past the end. Cut this way, every
// line reaches it whole and no other record does; a line of 80 columns or
// fewer without a zero byte reads as it did before.
std::string coordinate_records(const std::string& text);
