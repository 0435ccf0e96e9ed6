#include "shell/program.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "base/shell_words.h"
#include "base/text.h"
#include "formats/parameter.h"

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

// A moment in UTC as the format writes it ("" when the clock cannot say).
static std::string utc_text(std::time_t t, const char* format) {
    std::tm utc{};
    char text[32] = "";
    if (gmtime_r(&t, &utc) != nullptr) std::strftime(text, sizeof text, format, &utc);
    return text;
}

std::string source_date() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    char* end = nullptr;
    long long seconds = epoch ? std::strtoll(epoch, &end, 10) : 0;
    if (!epoch || end == epoch || *end != '\0' || seconds < 0 || seconds > 253402300799LL) seconds = 0;
    return utc_text(static_cast<std::time_t>(seconds), "%Y-%m-%dT%H:%M:%S");
}

// The message with note after the first quoted path, unless it already says
// what the file is there.
static bool note_after(std::string& message, const std::string& quoted, const std::string& note) {
    const std::size_t at = message.find(quoted);
    if (at == std::string::npos || message.compare(at + quoted.size(), 2, " (") == 0) return false;
    message.insert(at + quoted.size(), " (" + note + ")");
    return true;
}

Status with_parameter_key(const Status& status, const std::string& paramFile) {
    Parameter param;
    if (status.ok() || !load_param(paramFile, param).ok()) return status;
    std::string m = status.message;
    const std::string of = " of '" + paramFile + "'";
    for (const auto& [key, path] : {std::pair<std::string, const std::string&>{"pdbFile", param.pdbFile},
                                    {"noeFile", param.noeFile}, {"memFile", param.memFile}})
        if (!path.empty() && m.find("(" + key + ")") == std::string::npos && note_after(m, "'" + path + "'", key + of))
            return Status::error(m);
    for (const std::string& name : {std::string("check_pdb.log"), std::string("origin.pdb"), param.proteinName + ".cs",
                                     param.proteinName + ".log", std::string("allowed.csv")})
        if (note_after(m, "'" + param.workDir + "/" + name + "'", "in workDir" + of)) return Status::error(m);
    return status;
}

Status append_log_header(const std::string& logPath, const std::vector<std::string>& args) {
    std::vector<std::string> words = args;
    if (!words.empty()) words[0] = words[0].substr(words[0].rfind('/') + 1);  // no folder of the machine
    const std::string when = utc_text(std::time(nullptr), "%Y-%m-%d %H:%M:%S UTC");
    std::FILE* log = std::fopen(logPath.c_str(), "a");
    const bool ok = log != nullptr && put_line(log, "# " + when + "  " + shell_words(words));
    if (log != nullptr && std::fclose(log) != 0) return Status::error(cannot_write(logPath));
    return ok ? Status::fine() : Status::error(cannot_write(logPath));
}
