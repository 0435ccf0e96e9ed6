// What the programs share at their outer edge: the one line they print on
// failure, the usage, help and version answers, and the date files name. Only the programs and
// the run's shell use it; the library below reports through Status.
#pragma once
#include <string>
#include <vector>

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

// A failure of a companion program about a path the parameter file gave,
// with the key it came from: "... 'run/bm2.noe' (noeFile of 'run/bm2.param')",
// or "(in workDir of ...)" for the run's files. Other failures as they are.
Status with_parameter_key(const Status& status, const std::string& paramFile);

// Appends to a run's log (of noebundle's tables) the line that tells the
// next table from the ones before: the date and time (UTC) and the command
// line, the program by its name.
Status append_log_header(const std::string& logPath, const std::vector<std::string>& args);
