#include "status.h"

#include <cstdio>
#include <cstdlib>

std::string cannot_open(const std::string& path) {
    return "[Error] Can not open the file '" + path + "'";
}

std::string wrong_format(const std::string& path) {
    return "[Error] '" + path + "' has a wrong format";
}

void print_line(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void fail(const std::string& message) {
    print_line(message);
    std::exit(1);
}

void check(const Status& status) {
    if (!status.ok()) fail(status.message);
}

bool answered_standard_options(int argc, char** argv, const char* program, const char* usage) {
    const std::string text = usage;
    if (argc < 2 || argv[1] == nullptr) fail("[Error] " + text.substr(0, text.find('\n')));
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") print_line(text);
    else if (first == "--version") print_line(std::string(program) + " " + NOEBUNDLE_VERSION);
    else return false;
    return true;
}
