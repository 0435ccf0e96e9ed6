#include "restraints/origin_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "base/text.h"

namespace {

const char* const firstLine = "noebundle restraint origin 1";

std::string word(const std::string& text) { return text.empty() ? "." : text; }
std::string unword(const std::string& text) { return text == "." ? std::string() : text; }

std::string number(bool given, float value) {
    char text[40];
    std::snprintf(text, sizeof text, "%d %.9g", given ? 1 : 0, static_cast<double>(value));
    return text;
}

std::string hex(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

void atoms(std::string& s, int end, const RestraintEnd& e) {
    for (const AtomChoice& a : e.choices)
        s += "atom " + std::to_string(end) + " " + std::to_string(a.pair) + " " + word(a.chain) + " " +
             (a.residueGiven ? "1 " : "0 ") + std::to_string(a.firstResidue) + " " + std::to_string(a.lastResidue) +
             " " + word(a.name) + "\n";
}

bool read_number(std::istream& in, bool& given, float& value) {
    int flag = 0;
    std::string text;
    if (!(in >> flag >> text)) return false;
    given = flag == 1;
    value = std::strtof(text.c_str(), nullptr);
    return true;
}

// One line of the file into out; false when it is not of the file's form.
bool read_line(const std::string& line, RestraintOrigin& out) {
    std::istringstream in(line);
    std::string key, rest;
    in >> key;
    std::getline(in >> std::ws, rest);
    if (key == "source" || key == "format") {
        (key == "source" ? out.source : out.format) = rest;
        return true;
    }
    if (key == "restraint") {
        out.restraints.emplace_back();
        out.restraints.back().origin = rest;
        return true;
    }
    if (out.restraints.empty()) return false;
    InputRestraint& r = out.restraints.back();
    std::istringstream values(rest);
    if (key == "terms") r.terms = rest;
    if (key == "distances")
        return read_number(values, r.hasTarget, r.target) && read_number(values, r.hasLower, r.lower) &&
               read_number(values, r.hasUpper, r.upper);
    if (key == "atom") {
        int end = 0, given = 0;
        AtomChoice a;
        if (!(values >> end >> a.pair >> a.chain >> given >> a.firstResidue >> a.lastResidue >> a.name)) return false;
        a.chain = unword(a.chain), a.name = unword(a.name), a.residueGiven = given == 1;
        (end == 1 ? r.end1 : r.end2).choices.push_back(a);
    }
    return key == "terms" || key == "atom";
}

}  // namespace

std::string origin_path(const std::string& restraintFile) { return restraintFile + ".origin"; }

std::uint64_t text_checksum(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

// The list converted, named from the origin file's folder, so that the
// record holds no folder of the machine and travels with its folder.
std::string source_from(const std::string& originFile, const std::string& source) {
    namespace fs = std::filesystem;
    std::error_code e;
    const fs::path folder = fs::absolute(fs::path(originFile), e).parent_path().lexically_normal();
    const fs::path relative = fs::absolute(fs::path(source), e).lexically_normal().lexically_relative(folder);
    return relative.empty() ? fs::path(source).filename().generic_string() : relative.generic_string();
}

std::string origin_text(const Conversion& c, const std::string& restraintText, const std::string& originFile) {
    std::string s = std::string(firstLine) + "\nsource " + source_from(originFile, c.path) + "\nformat " + c.input.format + "\n";
    for (const KeptRestraint& k : c.kept) {
        const InputRestraint& r = c.input.restraints[k.input];
        s += "restraint " + r.origin + "\ndistances " + number(r.hasTarget, r.target) + " " +
             number(r.hasLower, r.lower) + " " + number(r.hasUpper, r.upper) + "\n";
        if (!r.terms.empty()) s += "terms " + r.terms + "\n";
        atoms(s, 1, r.end1);
        atoms(s, 2, r.end2);
    }
    return s + "checksum " + hex(text_checksum(restraintText + s)) + "\n";
}

Status read_origin(const std::string& restraintFile, const std::string& restraintText, RestraintOrigin& out) {
    const std::string path = origin_path(restraintFile);
    std::string text;
    if (!read_whole(path, text)) return Status::error("the origin file '" + path + "' is missing");
    const Status changed = Status::error("the origin file '" + path + "' does not match '" + restraintFile +
                                         "' (one of them changed since the conversion)");
    // The last line: the checksum of the restraint file's text and of every line before it.
    const std::size_t last = text.rfind("checksum ");
    if (last == std::string::npos || (last > 0 && text[last - 1] != '\n') ||
        text.substr(last) != "checksum " + hex(text_checksum(restraintText + text.substr(0, last))) + "\n")
        return changed;
    std::istringstream in(text.substr(0, last));
    std::string line;
    if (!std::getline(in, line) || line != firstLine) return changed;
    out = RestraintOrigin();
    while (std::getline(in, line))
        if (!read_line(line, out)) return changed;
    // The source as the user names the restraint file's folder.
    out.source = (std::filesystem::path(path).parent_path() / out.source).lexically_normal().generic_string();
    std::size_t lines = 0;
    for (char c : restraintText) lines += c == '\n' ? 1 : 0;
    for (const InputRestraint& r : out.restraints)
        if (r.end1.choices.empty() || r.end2.choices.empty()) return changed;
    return out.restraints.size() == lines ? Status::fine() : changed;
}
