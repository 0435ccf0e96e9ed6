// Which files are a program's own: the record it keeps, in a folder, of every
// file it wrote (one line each: a fingerprint, a count, and the file's path
// from the record's folder, so that a folder copied or moved whole keeps its
// record). The search fingerprints a file's lines taken in any order, with
// their count, since noebundle ranks the candidate file in place; noebundle
// its structure files' bytes, with their size. A file is the program's own
// while it holds what the program wrote; an edited, hand-made or unrecorded
// file is not.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct Fingerprint {
    std::uint64_t sum = 0, lines = 0;
    bool operator==(const Fingerprint& o) const { return sum == o.sum && lines == o.lines; }
};
Fingerprint fingerprint(const std::string& text);
// The bytes in order, with their count: fast enough for every structure file.
Fingerprint byte_fingerprint(const char* data, std::size_t size);

// The absolute path with the links of its folders resolved: the key of a file.
std::string full_path(const std::string& path);

class OutputRecord {
public:
    // folder: where the record lies; the files are named from there.
    explicit OutputRecord(std::string folder = ".") : folder_(std::move(folder)) {}
    // Reads the record's text; lines that do not read are left out (full
    // paths of older records are taken from the folder).
    void parse(const std::string& text);
    bool holds(const std::string& path, const std::string& content) const;
    bool holds(const std::string& path, const Fingerprint& f) const;
    void set(const std::string& path, const std::string& content);
    void set(const std::string& path, const Fingerprint& f);
    void erase(const std::string& path);
    std::string text() const;
    // The paths of the files recorded, the folder put before each, in their order.
    std::vector<std::string> paths() const;

private:
    std::string name(const std::string& path) const;
    std::string folder_;
    std::map<std::string, Fingerprint> files_;
};
