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
