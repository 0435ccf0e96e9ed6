#include "shell/program.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

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

std::string source_date() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    char* end = nullptr;
    long long seconds = epoch ? std::strtoll(epoch, &end, 10) : 0;
    if (!epoch || end == epoch || *end != '\0' || seconds < 0 || seconds > 253402300799LL) seconds = 0;
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    return text;
}
