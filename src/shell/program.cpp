#include "shell/program.h"

#include <cstdio>
#include <cstdlib>

#include "base/text.h"

bool print_line(const std::string& line) { return put_line(stdout, line); }

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
