// Words for a parameter file's lines that name no key: a typing slip such as
// "noeModle=upper" would otherwise leave the run on its default without a
// word. The companion programs print them; noebundle itself ignores such
// lines, as it always has.
#pragma once
#include <istream>
#include <string>
#include <vector>

// One "Warning: " line for each "key=value" line whose key is none of the
// parameter file's, naming the line and the nearest known key when one is
// near ("noeModle: did you mean noeModel?"). At most maxKeyWarnings lines,
// then one saying how many more. path is only used in the words.
constexpr int maxKeyWarnings = 10;
std::vector<std::string> unknown_key_warnings(std::istream& in, const std::string& path);

// The same for the file at path; none when it cannot be read (its reader says so).
std::vector<std::string> parameter_file_warnings(const std::string& path);
