// What the programs share at their outer edge: the one line they print on
// failure, the usage, help and version answers, and the date files name. Only the programs and
// the run's shell use it; the library below reports through Status.
#pragma once
#include <string>

#include "base/status.h"

// Writes one line (a line feed is added) to standard output and flushes it;
// false when standard output cannot take it.
bool print_line(const std::string& line);

// Prints the line, flushes standard output and ends the process with status 1.
[[noreturn]] void fail(const std::string& message);

// Ends the process through fail() when the status holds an error.
void check(const Status& status);

// The start of every program: without an argument, the "[Error] " usage line
// (the first line of usage) and exit 1; --help or -h prints usage, --version
// the program and version, and both return true: the program then ends with 0.
bool answered_standard_options(int argc, char** argv, const char* program, const char* usage);

// The date a written file names, ISO 8601 in UTC: SOURCE_DATE_EPOCH (seconds)
// when the environment sets it, else the start of the epoch, so that the
// same inputs give the same bytes whatever the day.
std::string source_date();
