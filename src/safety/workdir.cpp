#include "safety/workdir.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

WorkLock::~WorkLock() {
    if (fd >= 0) ::close(fd);
}

Status lock_work_folder(const std::string& folder, WorkLock& lock) {
    const std::string path = folder.empty() ? "." : folder;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Status::fine();
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        if (busy)
            return Status::error("[Error] Another noebundle or noebundle-search is working in '" + path +
                                 "'; wait until it ends");
        return Status::fine();  // a file system without locks: run unguarded, as before
    }
    lock.fd = fd;
    return Status::fine();
}

std::string temporary_name(const std::string& path) { return path + "." + std::to_string(::getpid()) + ".tmp"; }

// The PID of NAME.PID.tmp, or 0 when the file name is not of that form.
static long temporary_pid(const std::string& file, std::string& name) {
    const std::string suffix = ".tmp";
    if (file.size() <= suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0) return 0;
    const std::string stem = file.substr(0, file.size() - suffix.size());
    const std::size_t dot = stem.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == stem.size() || stem.size() - dot > 11) return 0;
    if (stem.find_first_not_of("0123456789", dot + 1) != std::string::npos) return 0;
    name = stem.substr(0, dot);
    return std::strtol(stem.c_str() + dot + 1, nullptr, 10);
}

int remove_dead_temporaries(const std::string& folder, const std::function<bool(const std::string&)>& ours) {
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? "." : folder, ec);
    int removed = 0;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name;
        const long pid = temporary_pid(it->path().filename().string(), name);
        if (pid <= 0 || pid > 2147483647L || !ours(name) || !it->is_regular_file(ec)) continue;
        // Another process with that number, alive or not ours to judge, keeps its files.
        if (pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        if (fs::remove(it->path(), ec)) ++removed;
    }
    return removed;
}

std::string record_path(const Parameter& param) { return param.workDir + "/.noebundle-search"; }
std::string run_record_path(const Parameter& param) { return param.workDir + "/.noebundle-run"; }

void remove_dead_run_temporaries(const Parameter& param) {
    const std::string& base = param.proteinName;
    remove_dead_temporaries(param.workDir, [&](const std::string& name) {
        const bool structure = name.size() > base.size() + 5 && name.compare(0, base.size() + 1, base + "_") == 0 &&
                               name.compare(name.size() - 4, 4, ".pdb") == 0;
        return structure || name == base + ".cs" || name == "check_pdb.log" || name == "origin.pdb" ||
               name == "allowed.csv" || name == ".noebundle-search" || name == ".noebundle-run";
    });
    const fs::path helixPath(param.pdbFile);
    const std::string helixName = helixPath.filename().string();
    if (!helixName.empty())
        remove_dead_temporaries(helixPath.parent_path().string(), [&](const std::string& n) { return n == helixName; });
}
