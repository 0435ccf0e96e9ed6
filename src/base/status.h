// How noebundle's library fails. Readers and stages return a Status that
// either is fine or holds the complete "[Error] ..." line for the user; only
// the programs turn it into the one way they end on bad input.
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
std::string cannot_write(const std::string& path);  // "[Error] Can not write the file '...'"
// When standard output fails the line is lost too, but the status still ends the program with 1.
inline const char* const stdoutFailure = "[Error] Can not write to standard output";
