// The working folder that noebundle and noebundle-search share: an advisory
// lock, so that one run or search at a time works in it, and the removal of
// the temporary files (NAME.PID.tmp) that runs which died left behind.
#pragma once
#include <functional>
#include <string>

#include "formats/parameter.h"
#include "base/status.h"

// Holds the lock of a working folder until it is destroyed (or the process ends).
class WorkLock {
public:
    WorkLock() = default;
    ~WorkLock();
    WorkLock(const WorkLock&) = delete;
    WorkLock& operator=(const WorkLock&) = delete;
    int fd = -1;
};

// Takes the lock: flock on the folder itself, so that no lock file is left
// behind. An error when another run or search holds it; a folder that can
// not be opened is no error here, the stages that write into it report it.
Status lock_work_folder(const std::string& folder, WorkLock& lock);

// The temporary file written beside path before it is renamed over it.
std::string temporary_name(const std::string& path);

// Removes the files NAME.PID.tmp in folder whose process no longer exists
// and whose NAME ours accepts; returns how many.
int remove_dead_temporaries(const std::string& folder, const std::function<bool(const std::string&)>& ours);

// The same for every file a run or search of param writes in workDir
// (candidates, structures, check_pdb.log, origin.pdb, the allowed set, the
// records of the search and the run)
// and for the helix file beside its own name.
void remove_dead_run_temporaries(const Parameter& param);

// Where the search records the files it wrote: workDir/.noebundle-search.
std::string record_path(const Parameter& param);
// Where noebundle records the structure files it wrote: workDir/.noebundle-run.
std::string run_record_path(const Parameter& param);
