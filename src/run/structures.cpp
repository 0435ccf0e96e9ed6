#include "run/structures.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"
#include "run/oligomer.h"
#include "run/parallel.h"
#include "run/run.h"
#include "safety/interrupt.h"
#include "safety/ownership.h"
#include "safety/workdir.h"

namespace {
// One structure file to write, or the wrong-format stop at that line.
struct Structure {
    std::string path;
    CandidateRow row{};
    bool badLine = false;
    Fingerprint mark;
};

std::string structure_path(const Parameter& param, long k) {
    return param.workDir + "/" + param.proteinName + "_" + std::to_string(k) + ".pdb";
}

// Takes the structure files from the ranked candidate lines, one by one.
class StructureList {
public:
    StructureList(std::istream& candidates, const Parameter& param) : candidates_(candidates), param_(param) {}
    // Fills s with the next structure; false at the end of the lines.
    bool next(Structure& s) {
        if (!std::getline(candidates_, line_)) return false;
        s.path = structure_path(param_, ++k_);
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

// Something there that is not a regular file (a folder) is never replaced.
bool replaceable(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) != 0 ? errno == ENOENT : S_ISREG(st.st_mode);
}

// Writes the temporary files of every structure; count: how many there are.
Status write_temporaries(const Parameter& param, const std::string& rankedText, OutputRecord& record, long& count) {
    const std::string templatePath = param.workDir + "/origin.pdb";
    std::ifstream templateFile;
    if (!open_input(templateFile, templatePath)) return Status::error(cannot_open(templatePath));
    const Template tmpl = parse_template(templateFile);
    std::istringstream candidates(rankedText);
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
                      if (structures[i].badLine) return;
                      const std::string& text = buffers[i].make(structures[i].row);
                      structures[i].mark = byte_fingerprint(text.data(), text.size());
                  },
                  [&](std::size_t i) {
                      const Structure& s = structures[i];
                      if (s.badLine) return (status = Status::error(wrong_format(candidate_path(param)))).ok();
                      set_numbered_temporaries(count + 1);  // an interrupt removes it from now on
                      if (!begin_numbered_write()) return false;  // interrupted
                      const bool written = replaceable(s.path) && write_temporary_file(s.path, buffers[i].text(), false);
                      end_numbered_write();
                      if (!written) return (status = Status::error(cannot_open(s.path))).ok();
                      record.set(s.path, s.mark);
                      ++count;
                      return true;
                  });
    return status;
}

void remove_temporaries(const Parameter& param, long from, long count) {
    for (long k = from; k <= count; ++k) ::unlink(temporary_name(structure_path(param, k)).c_str());
    const std::string candidates = temporary_name(candidate_path(param));
    ::unlink(candidates.c_str());
    forget_temporary(candidates);
    set_numbered_temporaries(0);
}

// Renames every temporary file into place, the candidate file first.
Status rename_all(const Parameter& param, long count) {
    SignalsHeld held;  // from here on, all or nothing
    const std::string candidates = candidate_path(param);
    if (std::rename(temporary_name(candidates).c_str(), candidates.c_str()) != 0) {
        remove_temporaries(param, 1, count);
        return Status::error(cannot_write(candidates));
    }
    forget_temporary(temporary_name(candidates));
    for (long k = 1; k <= count; ++k) {
        const std::string path = structure_path(param, k);
        if (std::rename(temporary_name(path).c_str(), path.c_str()) == 0) continue;
        remove_temporaries(param, k, count);
        std::string message = cannot_write(path) + "; the candidate file is of this run";
        if (k > 1) message += ", as are '" + structure_path(param, 1) + "' to '" + structure_path(param, k - 1) + "'";
        return Status::error(message + ", the other structure files are of the run before");
    }
    set_numbered_temporaries(0);
    return Status::fine();
}

// Removes the recorded structure files beyond count that are as noebundle wrote them.
void tidy(const Parameter& param, long count, const OutputRecord& before, OutputRecord& after, Tidied& tidied) {
    const std::string stem = param.workDir + "/" + param.proteinName + "_";
    long long first = 0, last = 0;
    for (const std::string& path : before.paths()) {
        if (path.compare(0, stem.size(), stem) != 0 || path.size() < stem.size() + 5 ||
            path.compare(path.size() - 4, 4, ".pdb") != 0)
            continue;
        const std::string number = path.substr(stem.size(), path.size() - stem.size() - 4);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos || number[0] == '0' ||
            number.size() > 18 || std::stoll(number) <= count)
            continue;
        after.erase(path);
        const long long k = std::stoll(number);
        std::string text;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) continue;
        if (S_ISREG(st.st_mode) && read_whole(path, text) &&
            before.holds(path, byte_fingerprint(text.data(), text.size())) && ::unlink(path.c_str()) == 0) {
            if (tidied.removed++ == 0 || k < first) first = k, tidied.first = path;
            if (k > last) last = k, tidied.last = path;
        } else {
            ++tidied.kept;
        }
    }
}
}  // namespace

Status put_run_in_place(const Parameter& param, const std::string& rankedText, Tidied& tidied) {
    install_interrupt_cleanup();
    const std::string recordPath = run_record_path(param);
    OutputRecord before(param.workDir);
    std::string recorded;
    if (read_whole(recordPath, recorded)) before.parse(recorded);
    OutputRecord after = before;
    const std::string candidates = candidate_path(param);
    if (!watch_temporary(temporary_name(candidates)) || !write_temporary_file(candidates, rankedText, true))
        return Status::error(cannot_open(candidates));
    watch_numbered_temporaries(param.workDir + "/" + param.proteinName + "_", ".pdb." + std::to_string(::getpid()) + ".tmp");
    long count = 0;
    Status status = write_temporaries(param, rankedText, after, count);
    if (!status.ok()) {
        remove_temporaries(param, 1, count);
        return status;
    }
    if (!(status = rename_all(param, count)).ok()) return status;
    tidy(param, count, before, after, tidied);
    if (!replace_file(recordPath, after.text(), false)) return Status::error(cannot_write(recordPath));
    return Status::fine();
}

std::string tidied_line(const Tidied& tidied) {
    if (tidied.removed == 0 && tidied.kept == 0) return "";
    std::string line = "Removed " + std::to_string(tidied.removed) + " structure file" +
                       (tidied.removed == 1 ? "" : "s") + " of an earlier run";
    if (tidied.removed > 0)
        line += " ('" + tidied.first + "'" + (tidied.removed > 1 ? " to '" + tidied.last + "'" : "") + ")";
    if (tidied.kept > 0)
        line += "; kept " + std::to_string(tidied.kept) + " changed since noebundle wrote " + (tidied.kept == 1 ? "it" : "them");
    return line;
}
