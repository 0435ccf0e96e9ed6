#include "run/run.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "run/oligomer.h"
#include "run/parallel.h"
#include "run/rank.h"
#include "run/report.h"
#include "run/score.h"
#include "base/text.h"

std::string candidate_path(const Parameter& param) { return param.workDir + "/" + param.proteinName + ".cs"; }
std::string allowed_set_path(const Parameter& param) { return param.workDir + "/allowed.csv"; }

Status rank_candidates(const Parameter& param, const Helix& aligned, const Restraint& res,
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
    const std::string path = candidate_path(param);
    if (!replace_file(path, text, true)) return Status::error(cannot_open(path));
    return Status::fine();
}

namespace {
// One structure file to write, or the wrong-format stop at that line.
struct Structure {
    std::string path;
    CandidateRow row{};
    bool badLine = false;
};

// Takes the structure files from the ranked candidate file, one by one.
class StructureList {
public:
    StructureList(std::istream& candidates, const Parameter& param) : candidates_(candidates), param_(param) {}
    // Fills s with the next structure; false at the end of the file.
    bool next(Structure& s) {
        if (!std::getline(candidates_, line_)) return false;
        ++k_;
        s.path = param_.workDir + "/" + param_.proteinName + "_" + std::to_string(k_) + ".pdb";
        s.badLine = line_.size() < candidateLineLength;
        if (!s.badLine) s.row = parse_candidate_line(line_);
        return true;
    }

private:
    std::istream& candidates_;
    const Parameter& param_;
    std::string line_;
    long k_ = 0;
};

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
    const std::string templatePath = param.workDir + "/origin.pdb";
    std::ifstream templateFile;
    if (!open_input(templateFile, templatePath)) return Status::error(cannot_open(templatePath));
    const Template tmpl = parse_template(templateFile);
    const std::string path = candidate_path(param);
    std::ifstream candidates;
    if (!open_input(candidates, path)) return Status::error(cannot_open(path));
    StructureList list(candidates, param);
    const OligomerImage image(tmpl, param.numProtomer);
    // Every thread makes structures and writes the next one when it is made;
    // the files are written in order, so a failure stops at the same file
    // with any number of threads. Beyond a few makers, the extra ones would
    // only wait for the writing.
    const int workers = std::min(worker_count(), 4);
    const std::size_t ring = workers + 2;
    std::vector<Structure> structures(ring);
    std::vector<OligomerBuffer> buffers(ring, OligomerBuffer(image));
    Status status;
    take_make_use(workers, ring, [&](std::size_t i) { return list.next(structures[i]); },
                  [&](std::size_t i) {
                      if (!structures[i].badLine) buffers[i].make(structures[i].row);
                  },
                  [&](std::size_t i) {
                      const Structure& s = structures[i];
                      if (s.badLine) status = Status::error(wrong_format(path));
                      else if (!replace_file(s.path, buffers[i].text(), false))
                          status = Status::error(cannot_open(s.path));
                      return status.ok();
                  });
    return status;
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
    Status status = load_candidates(candidate_path(param), table);
    if (status.ok()) status = rank_candidates(param, aligned, res, table, scores);
    if (status.ok()) status = write_structures(param);
    if (status.ok()) status = write_ranking(param, table.size(), scores);
    if (status.ok() && param.numProtomer > 2) status = write_restraint_report(param, aligned, res, table);
    if (status.ok() && !put_line(stdout, done_line(table.size(), param.workDir)))
        status = Status::error(stdoutFailure);
    return status;
}
