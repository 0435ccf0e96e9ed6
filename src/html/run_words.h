// The run in words, for the analysis page: the parameter file's settings,
// the helix (residue numbers and sequence), the restraints and how their
// bounds are set, the program's version and its command line. Every text
// that comes from a user's file or command line is escaped.
#pragma once
#include <string>
#include <vector>

#include "base/shell_words.h"
#include "formats/parameter.h"

struct RunWords {
    const Parameter& param;
    std::string paramPath;
    const std::vector<std::string>& templateLines;  // the ATOM lines of origin.pdb
    const std::vector<int>& resNum;                 // residue number of each helix position
    int restraints;                                 // restraints in the restraint file
    std::size_t structures;                         // ranked candidates
    std::string program;  // name and version
    std::string commandLine;
};

// An HTML fragment: one definition list.
std::string run_words_html(const RunWords& run);

// One letter per residue of the template (X for a residue name it does not know).
std::string one_letter_sequence(const std::vector<std::string>& templateLines);

// The restraint model (noeModel) and the bounds every restraint takes from
// its pair class, in words.
std::string restraint_model_text(const Parameter& param);

