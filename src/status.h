// How noebundle fails. Readers return a Status that either is fine or holds
// the complete "[Error] ..." line for the user; only a stage turns it into
// the one way the program ends on bad input: the line on standard output,
// flushed, and exit status 1.
#pragma once
#include <string>

struct Status {
    std::string message;  // empty when all went well

    bool ok() const { return message.empty(); }
    static Status fine() { return {}; }
    static Status error(std::string text) { return {std::move(text)}; }
};

// The standard messages, so every stage words them the same way.
std::string cannot_open(const std::string& path);   // "[Error] Can not open the file '...'"
std::string wrong_format(const std::string& path);  // "[Error] '...' has a wrong format"

// Prints the line, flushes standard output and ends the process with status 1.
[[noreturn]] void fail(const std::string& message);

// Ends the process through fail() when the status holds an error.
void check(const Status& status);

// Writes one line (a line feed is added) to standard output and flushes it.
void print_line(const std::string& line);

// The start of every program: without an argument, the "[Error] " usage line
// (the first line of usage) and exit 1; --help or -h prints usage, --version
// the program and version, and both return true: the program then ends with 0.
bool answered_standard_options(int argc, char** argv, const char* program, const char* usage);
