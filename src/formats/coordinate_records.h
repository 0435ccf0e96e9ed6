// The lines of a PDB file that gemmi's PDB reader is given: the coordinate
// and model records, each cut to the 80 columns that reader takes from them.
#pragma once
#include <string>

// The ATOM, HETATM, MODEL, ENDMDL, TER and END lines of PDB text, each cut
// after column 80 and at a zero byte, and ended with a line feed where the
// line had one. gemmi 0.5.7 reads at most 120 characters of a line and skips
// the rest only up to a zero byte or a byte above 127 (a zero byte also ends
// the line it reads, so that the skipping runs into the next line); what
// follows it reads as a line of its own, which may be the start of a LINK or
// SSBOND record, and its reader of those reads past the end of a short one.
// Cut this way, every line reaches it whole and no other record does; a
// line of at most 80 columns without a zero byte reads as it did before.
std::string coordinate_records(const std::string& text);
