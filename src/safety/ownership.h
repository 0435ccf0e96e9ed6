// Which files are the search's own: the record it keeps, in the working
// folder, of every file it wrote (one line each: a fingerprint of the file's
// lines taken in any order, their count, and the file's full path). A file is
// the search's own while it holds the lines the search wrote, in any order,
// since noebundle ranks the candidate file in place; an edited, hand-made or
// unrecorded file is not.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct Fingerprint {
    std::uint64_t sum = 0, lines = 0;
    bool operator==(const Fingerprint& o) const { return sum == o.sum && lines == o.lines; }
};
Fingerprint fingerprint(const std::string& text);

// The absolute path with the links of its folders resolved: the key of a file.
std::string full_path(const std::string& path);

class OutputRecord {
public:
    // Reads the record's text; lines that do not read are left out.
    void parse(const std::string& text);
    bool holds(const std::string& path, const std::string& content) const;
    void set(const std::string& path, const std::string& content);
    std::string text() const;
    // The full paths of the files recorded, in their order.
    std::vector<std::string> paths() const;

private:
    std::map<std::string, Fingerprint> files_;
};
