#include "formats/candidates.h"

#include <fstream>

#include "base/text.h"

CandidateRow parse_candidate_line(const std::string& line) {
    CandidateRow row{};
    for (int k = 0; k < 4; ++k) row[k] = to_float(cut(line, 10 * k, 10));
    return row;
}

Status parse_candidates(std::istream& in, const std::string& path, CandidateTable& table) {
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < candidateLineLength) return Status::error(wrong_format(path));
        table.push_back(parse_candidate_line(line));
    }
    return Status::fine();
}

Status load_candidates(const std::string& path, CandidateTable& table) {
    std::ifstream in;
    if (!open_input(in, path)) return Status::error(cannot_open(path));
    return parse_candidates(in, path, table);
}

std::string candidate_line(const CandidateRow& row) {
    return fixed3(row[0], 10) + fixed3(row[1], 10) + fixed3(row[2], 10) + fixed3(row[3], 10);
}
