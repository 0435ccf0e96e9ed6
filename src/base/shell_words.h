// A command line written back as a POSIX shell would take it.
#pragma once
#include <string>
#include <vector>

// The arguments: plain words as they are, others in single quotes.
std::string shell_words(const std::vector<std::string>& args);
