// How every program reads its command line: its CLI11 option table, which
// also writes the help text. --help and --version print their answer and
// make the program end with status 0; a parse error is the one "[Error] "
// line and status 1, a missing value worded as "Option X needs a value".
#pragma once
#include <string>

#include <CLI/CLI.hpp>

#include "shell/program.h"

// False when --help or --version was answered. usageLine, when given, heads the help.
inline bool parse_command_line(CLI::App& app, int argc, char** argv, const std::string& usageLine = "") {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::string help = app.help("", CLI::AppFormatMode::Normal);
        while (!help.empty() && help.back() == '\n') help.pop_back();
        // The usage line heads the help, once: CLI11's own after the description goes.
        const std::size_t own = help.find("Usage: ");
        if (!usageLine.empty() && own != std::string::npos)
            help.erase(own, help.find('\n', own) == std::string::npos ? std::string::npos : help.find('\n', own) - own + 1);
        print_line(usageLine.empty() ? help : usageLine + "\n" + help);
        return false;
    } catch (const CLI::CallForVersion& e) {
        print_line(e.what());
        return false;
    } catch (const CLI::ArgumentMismatch& e) {
        const std::string what = e.what();
        fail("[Error] Option " + what.substr(0, what.find(':')) + " needs a value");
    } catch (const CLI::ParseError& e) {
        fail(std::string("[Error] ") + e.what());
    }
    return true;
}
