// The words of an XPLOR/CNS restraint table: parentheses, ':' and words
// (numbers included), each with its line; '!' comments, '{ }' comments and
// the PDB archive's wrapping (a header of '*' lines at the top, a table of
// hydrogen names at the end) are taken out, the latter two reported as
// skipped sections.
#pragma once
#include <string>
#include <vector>

#include "restraints/restraint_input.h"
#include "base/status.h"

struct XplorToken {
    enum Kind { Word, Open, Close, Colon, End } kind;
    std::string text;  // the word as written; quotes removed
    int line;
    bool quoted = false;
};

// Splits text into tokens, ending with one End token; path names the file in messages.
Status tokenize_xplor(const std::string& text, const std::string& path, std::vector<XplorToken>& tokens,
                      std::vector<SkippedSection>& sections);

// "the end of the file", "')'" or "'word'": how a message shows what it found.
std::string describe(const XplorToken& token);

// The standard syntax error: "[Error] 'path', line N: expected WHAT, found ...".
Status syntax_error(const std::string& path, const XplorToken& at, const std::string& expected);

// Whether word is keyword or a short form of it (four letters or more), in any case.
bool is_keyword(const std::string& word, const char* keyword);
