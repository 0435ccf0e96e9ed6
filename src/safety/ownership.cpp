#include "safety/ownership.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <sstream>

Fingerprint fingerprint(const std::string& text) {
    // The sum of a 64-bit FNV-1a hash of each line: the order of lines does not count.
    Fingerprint f;
    std::uint64_t h = 1469598103934665603ULL;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            if (i == text.size() && (i == 0 || text[i - 1] == '\n')) break;
            f.sum += h;
            ++f.lines;
            h = 1469598103934665603ULL;
        } else {
            h = (h ^ static_cast<unsigned char>(text[i])) * 1099511628211ULL;
        }
    }
    return f;
}

std::string full_path(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    const std::filesystem::path folder = std::filesystem::weakly_canonical(p.parent_path(), ec);
    return ec ? p.lexically_normal().string() : (folder / p.filename()).string();
}

void OutputRecord::parse(const std::string& text) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        Fingerprint f;
        int end = 0;
        if (std::sscanf(line.c_str(), "%16" SCNx64 " %" SCNu64 " %n", &f.sum, &f.lines, &end) == 2 && end > 0 &&
            static_cast<std::size_t>(end) < line.size())
            files_[line.substr(end)] = f;
    }
}

bool OutputRecord::holds(const std::string& path, const std::string& content) const {
    const auto it = files_.find(full_path(path));
    return it != files_.end() && it->second == fingerprint(content);
}

void OutputRecord::set(const std::string& path, const std::string& content) {
    files_[full_path(path)] = fingerprint(content);
}

std::string OutputRecord::text() const {
    std::string out;
    char head[64];
    for (const auto& [path, f] : files_) {
        std::snprintf(head, sizeof head, "%016" PRIx64 " %" PRIu64 " ", f.sum, f.lines);
        out += head + path + "\n";
    }
    return out;
}

std::vector<std::string> OutputRecord::paths() const {
    std::vector<std::string> out;
    for (const auto& entry : files_) out.push_back(entry.first);
    return out;
}
