#include "safety/outputs.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "safety/interrupt.h"
#include "base/text.h"
#include "safety/workdir.h"

namespace fs = std::filesystem;

std::string backup_name(const std::string& path) {
    const fs::path p(path);
    for (int n = 1;; ++n) {
        const fs::path candidate = p.parent_path() / ("#" + p.filename().string() + "." + std::to_string(n) + "#");
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate.string();
    }
}

OutputSet::~OutputSet() { remove_temporaries(); }

Status OutputSet::claim(const std::string& path, const std::string& role, Owner owner, const std::string& refusal) {
    Entry e;
    e.path = path;
    struct stat link, target;
    if (::lstat(path.c_str(), &link) == 0) {
        e.existed = true;
        if (::stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode))
            return Status::error("[Error] '" + path + "' (" + role + ") is not a regular file; it is left as it is");
        if (!read_whole(path, e.old)) return Status::error(cannot_open(path));
        // A link is the user's own arrangement, never the search's.
        const bool own = !S_ISLNK(link.st_mode) && (owner == Owner::always ||
                                                    (owner == Owner::byRecord && record_.holds(path, e.old)));
        if (!own) {
            if (!force_)
                return Status::error(refusal.empty() ? "[Error] '" + path + "' (" + role +
                                                           ") was not written by " + program_ + "; --force "
                                                           "replaces it, keeping a backup"
                                                     : refusal);
            e.keepOld = true;
        }
    }
    entries_.push_back(std::move(e));
    return Status::fine();
}

void OutputSet::fill(const std::string& path, std::string content) {
    for (Entry& e : entries_)
        if (e.path == path) {
            e.content = std::move(content);
            e.filled = !(e.existed && e.content == e.old);  // the same bytes need no new file
        }
}

Status OutputSet::write_temporary(Entry& e) {
    e.temp = temporary_name(e.path);
    if (!watch_temporary(e.temp) || !write_temporary_file(e.path, e.content, true)) return Status::error(cannot_write(e.path));
    return Status::fine();
}

void OutputSet::remove_temporaries() {
    for (Entry& e : entries_)
        if (!e.temp.empty()) {
            ::unlink(e.temp.c_str());
            forget_temporary(e.temp);
            e.temp.clear();
        }
}

Status OutputSet::commit() {
    for (Entry& e : entries_) {
        if (!e.filled) continue;
        Status status = write_temporary(e);
        if (!status.ok()) {
            remove_temporaries();
            return status;
        }
    }
    SignalsHeld held;  // from here on, all or nothing
    for (Entry& e : entries_) {
        if (!e.filled || !e.keepOld) continue;
        e.backup = backup_name(e.path);
        // A second name for the old file; a copy where the file system has no links.
        if (::linkat(AT_FDCWD, e.path.c_str(), AT_FDCWD, e.backup.c_str(), 0) != 0 &&
            !replace_file(e.backup, e.old, true)) {
            for (const Backup& b : backups_) ::unlink(b.backup.c_str());
            backups_.clear();
            remove_temporaries();
            return Status::error(cannot_write(e.backup));
        }
        backups_.push_back({e.path, e.backup});
    }
    for (Entry& e : entries_) {
        if (!e.filled) continue;
        if (std::rename(e.temp.c_str(), e.path.c_str()) != 0) {
            remove_temporaries();
            return Status::error(cannot_write(e.path));
        }
        forget_temporary(e.temp);
        e.temp.clear();
    }
    return Status::fine();
}

Status write_owned_files(const std::string& folder, const std::string& program,
                         const std::vector<std::pair<std::string, std::string>>& files, bool force,
                         std::vector<Backup>& backups) {
    const std::string recordPath = folder + "/." + program;
    OutputRecord record(folder);
    std::string recorded;
    if (read_whole(recordPath, recorded)) record.parse(recorded);
    OutputSet outputs(force, record, program);
    Status status;
    for (const auto& [name, content] : files) {
        const std::string path = folder + "/" + name;
        if (!(status = outputs.claim(path, name, OutputSet::Owner::byRecord)).ok()) return status;
        record.set(path, content);
        outputs.fill(path, content);
    }
    if (!(status = outputs.claim(recordPath, "the record of " + program, OutputSet::Owner::always)).ok()) return status;
    outputs.fill(recordPath, record.text());
    status = outputs.commit();
    backups = outputs.backups();
    return status;
}
