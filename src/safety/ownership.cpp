#include "safety/ownership.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
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

Fingerprint byte_fingerprint(const char* data, std::size_t size) {
    // Four independent lanes of eight bytes, so that the multiplications overlap.
    std::uint64_t lane[4] = {1469598103934665603ULL, 0x9e3779b97f4a7c15ULL, 0xc2b2ae3d27d4eb4fULL, 0x165667b19e3779f9ULL};
    const std::uint64_t prime = 0x100000001b3ULL;
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32)
        for (int k = 0; k < 4; ++k) {
            std::uint64_t word;
            std::memcpy(&word, data + i + 8 * k, 8);
            lane[k] = (lane[k] ^ word) * prime;
            lane[k] ^= lane[k] >> 29;
        }
    std::uint64_t h = lane[0] ^ (lane[1] * 3) ^ (lane[2] * 5) ^ (lane[3] * 7);
    for (; i < size; ++i) h = (h ^ static_cast<unsigned char>(data[i])) * prime;
    return {h, size};
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
            files_[line[end] == '/' ? name(line.substr(end)) : line.substr(end)] = f;
    }
}

std::string OutputRecord::name(const std::string& path) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = fs::weakly_canonical(fs::absolute(folder_, ec), ec);
    return fs::path(full_path(path)).lexically_relative(folder).string();
}

bool OutputRecord::holds(const std::string& path, const std::string& content) const {
    return holds(path, fingerprint(content));
}

bool OutputRecord::holds(const std::string& path, const Fingerprint& f) const {
    const auto it = files_.find(name(path));
    return it != files_.end() && it->second == f;
}

void OutputRecord::set(const std::string& path, const std::string& content) { set(path, fingerprint(content)); }

void OutputRecord::set(const std::string& path, const Fingerprint& f) { files_[name(path)] = f; }

void OutputRecord::erase(const std::string& path) { files_.erase(name(path)); }

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
    for (const auto& entry : files_) out.push_back(folder_ + "/" + entry.first);
    return out;
}
