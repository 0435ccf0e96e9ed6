#include "formats/parameter_keys.h"

#include <algorithm>
#include <fstream>

#include "base/text.h"

namespace {

const char* const knownKeys[] = {"proteinName", "workDir", "pdbFile", "noeFile", "memFile", "numProtomer", "memResFlag",
                                 "ss_angle", "r_beg", "r_end", "ss_r", "uncertainty", "noeModel"};

// Edits (insert, delete, replace) from a to b, letters compared without case: two letters swapped are two.
std::size_t edits(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= m; ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i)
        for (std::size_t j = 1; j <= m; ++j) {
            const bool same = lower(a[i - 1]) == lower(b[j - 1]);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (same ? 0 : 1)});
        }
    return d[n][m];
}

// The key as it can be shown: printable characters, at most 40 of them.
std::string shown(const std::string& key) {
    std::string out;
    for (char c : key.substr(0, 40)) out += c >= ' ' && c <= '~' ? c : '?';
    return key.size() > 40 ? out + "..." : out;
}

}  // namespace

std::vector<std::string> unknown_key_warnings(std::istream& in, const std::string& path) {
    std::vector<std::string> out;
    int more = 0, number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0 || line[0] == '#') continue;
        const std::string key = line.substr(0, eq);
        if (std::find(std::begin(knownKeys), std::end(knownKeys), key) != std::end(knownKeys)) continue;
        if (int(out.size()) == maxKeyWarnings) {
            ++more;
            continue;
        }
        // The nearest known key, if a slip of the keys could make this one of it.
        const std::string trimmed = trim_blanks(key);
        const char* nearest = nullptr;
        std::size_t best = std::max<std::size_t>(2, trimmed.size() / 4) + 1;
        for (const char* known : knownKeys) {
            const std::size_t e = edits(trimmed, known);
            if (e < best) best = e, nearest = known;
        }
        std::string words = "Warning: line " + std::to_string(number) + " of '" + path + "': " + shown(key);
        if (nearest && trimmed == nearest) words += ": no blanks around '=' (the line is ignored)";
        else if (nearest) words += ": did you mean " + std::string(nearest) + "? (the line is ignored)";
        else words += ": not a key of the parameter file (the line is ignored)";
        out.push_back(words);
    }
    if (more > 0) out.push_back("Warning: " + std::to_string(more) + " more lines of '" + path + "' name no key");
    return out;
}

std::vector<std::string> parameter_file_warnings(const std::string& path) {
    std::ifstream in;
    if (!open_input(in, path)) return {};
    return unknown_key_warnings(in, path);
}
