// The outputs of a search, staged so that the folder never holds a mixture:
// every file is claimed before any work (a file that is not the search's
// own is only replaced with --force), then written to a temporary file
// beside its place, and all are renamed into place together once every one
// was written. A file replaced under --force is first kept as a numbered
// backup beside it: #name.1#, #name.2#, ...
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "safety/ownership.h"
#include "base/status.h"

struct Backup {
    std::string original, backup;
};

class OutputSet {
public:
    // program: the one whose record it is, named in refusals.
    OutputSet(bool force, const OutputRecord& record, std::string program = "noebundle-search")
        : force_(force), record_(record), program_(std::move(program)) {}
    ~OutputSet();
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    // Whose a file already at a claimed path is: as the record says, never
    // the search's (the helix: a different one always needs --force), or
    // always (the record itself).
    enum class Owner { byRecord, never, always };
    // Claims path (role names it in messages). Refused when it is there but
    // not a regular file or not readable, or when it holds what is not the
    // search's own and force is not set. refusal, if given, replaces the
    // standard message of that last case.
    Status claim(const std::string& path, const std::string& role, Owner owner, const std::string& refusal = "");
    // The content for a claimed path; a path never filled is left alone.
    void fill(const std::string& path, std::string content);
    // Writes, keeps the backups, renames; on failure only the temporary
    // files (removed) were touched.
    Status commit();
    const std::vector<Backup>& backups() const { return backups_; }

private:
    struct Entry {
        std::string path, old, content, temp, backup;
        bool existed = false, filled = false, keepOld = false;
    };
    Status write_temporary(Entry& e);
    void remove_temporaries();

    bool force_;
    const OutputRecord& record_;
    std::string program_;
    std::vector<Entry> entries_;
    std::vector<Backup> backups_;
};

// The first free name #name.N# beside path.
std::string backup_name(const std::string& path);

// Writes files (name, content) into folder under the rules above, with the
// record of program there (folder/.program): all or none, a file the
// program did not write replaced only with force, and then kept as a backup.
Status write_owned_files(const std::string& folder, const std::string& program,
                         const std::vector<std::pair<std::string, std::string>>& files, bool force,
                         std::vector<Backup>& backups);
