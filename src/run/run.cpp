#include "run/run.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "run/oligomer.h"
#include "run/parallel.h"
#include "run/rank.h"
#include "run/report.h"
#include "run/score.h"
#include "run/structures.h"
#include "base/text.h"

std::string candidate_path(const Parameter& param) { return param.workDir + "/" + param.proteinName + ".cs"; }
std::string allowed_set_path(const Parameter& param) { return param.workDir + "/allowed.csv"; }

// The candidate file's text, best first, and the sorted scores.
static std::string ranked_text(const Parameter& param, const Helix& aligned, const Restraint& res,
                               const CandidateTable& table, std::vector<float>& scores) {
    const std::size_t n = table.size();
    std::vector<float> inTableOrder(n);
    const Scorer scorer(aligned, res, param.numProtomer);
    parallel_slices(n, [&](std::size_t first, std::size_t last) {
        Scorer::Scratch scratch = scorer.scratch();
        for (std::size_t i = first; i < last; ++i) inTableOrder[i] = scorer.score(table[i], scratch);
    });
    const std::vector<float> sorted = sorted_scores(inTableOrder);
    const std::vector<int> map = rank_map(inTableOrder, sorted);
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        scores.push_back(sorted[i]);
        text += candidate_line(table[map[i]]);
        text += '\n';
    }
    return text;
}

Status rank_candidates(const Parameter& param, const Helix& aligned, const Restraint& res,
                       const CandidateTable& table, std::vector<float>& scores) {
    const std::string path = candidate_path(param);
    if (!replace_file(path, ranked_text(param, aligned, res, table, scores), true)) return Status::error(cannot_open(path));
    return Status::fine();
}

// The log takes the tables: checked before anything is written.
static Status log_writable(const std::string& logPath) {
    struct stat st;
    if (::stat(logPath.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || ::access(logPath.c_str(), W_OK) != 0))
        return Status::error(cannot_open(logPath));
    return Status::fine();
}

namespace {
// Writes a line to the log and then to standard output, flushing both.
Status log_and_print(std::FILE* log, const std::string& logPath, const std::string& line) {
    if (!put_line(log, line)) return Status::error(cannot_write(logPath));
    if (!put_line(stdout, line)) return Status::error(stdoutFailure);
    return Status::fine();
}

// Appends lines to the log file, printing each; the log is closed in any case.
Status log_lines(const std::string& logPath, const std::vector<std::string>& lines) {
    std::FILE* log = std::fopen(logPath.c_str(), "a");
    if (log == nullptr) return Status::error(cannot_open(logPath));
    Status status;
    for (const std::string& line : lines) {
        status = log_and_print(log, logPath, line);
        if (!status.ok()) break;
    }
    if (std::fclose(log) != 0 && status.ok()) status = Status::error(cannot_write(logPath));
    return status;
}
}  // namespace

Status write_structures(const Parameter& param) {
    const std::string path = candidate_path(param);
    std::string ranked;
    if (!read_whole(path, ranked)) return Status::error(cannot_open(path));
    Tidied tidied;
    return put_run_in_place(param, ranked, tidied);
}

Status write_ranking(const Parameter& param, std::size_t count, const std::vector<float>& scores) {
    std::vector<std::string> lines = {std::to_string(count) + " structures are calculated:", "  ID    Delta"};
    for (std::size_t i = 0; i < scores.size(); ++i) lines.push_back(table_row(i + 1, scores[i]));
    return log_lines(param.logFile, lines);
}

Status write_restraint_report(const Parameter& param, const Helix& aligned, const Restraint& res,
                              const CandidateTable& table) {
    const std::vector<int> sums = restraint_votes(aligned, res, param.numProtomer, table);
    std::vector<std::string> lines = {"Predicted unambiguous restraints:"};
    for (int i = 0; i < res.numRestraint; ++i)
        if (sums[i] != 0) lines.push_back(report_line(res, i, aligned.resNum, sums[i], param.numProtomer));
    return log_lines(param.logFile, lines);
}

Status run_candidates(const Parameter& param, const Helix& aligned, const Restraint& res) {
    CandidateTable table;
    std::vector<float> scores;
    Tidied tidied;
    Status status = load_candidates(candidate_path(param), table);
    if (status.ok()) status = log_writable(param.logFile);
    if (status.ok()) status = put_run_in_place(param, ranked_text(param, aligned, res, table, scores), tidied);
    if (status.ok()) status = write_ranking(param, table.size(), scores);
    if (status.ok() && param.numProtomer > 2) status = write_restraint_report(param, aligned, res, table);
    const std::string tidiedLine = tidied_line(tidied);
    if (status.ok() && !tidiedLine.empty() && !put_line(stdout, tidiedLine)) status = Status::error(stdoutFailure);
    if (status.ok() && !put_line(stdout, done_line(table.size(), param.workDir)))
        status = Status::error(stdoutFailure);
    return status;
}
