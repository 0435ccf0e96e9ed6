// Test helpers: a temporary folder that cleans up after itself, file access,
// running the built program, and small synthetic inputs.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// A fresh folder under the system's temporary directory, removed with all
// its content when the object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void write_text(const std::string& path, const std::string& text);
std::vector<std::string> lines_of(const std::string& text);

// Fills the run's globals from the hand-prepared BM2 example: the helix
// (aligned) in helix, again in helix2, its restraints in res, and param with
// numProtomer protomers. False if any file does not read.
bool load_bm2_example(int numProtomer);
std::string read_text(const std::string& path);

struct RunResult {
    std::string out;
    std::string err;
    int status;
};
// Runs an executable with the given arguments in folder cwd.
RunResult run_program(const std::string& exe, const std::vector<std::string>& args, const fs::path& cwd);
// The same for noebundle and noebundle-search of this build.
RunResult run_noebundle(const std::vector<std::string>& args, const fs::path& cwd);
RunResult run_search(const std::vector<std::string>& args, const fs::path& cwd);

// Runs body in a forked child with its standard output captured: for stages
// that end the process on failure. The child exits 0 if body returns.
RunResult in_child(const std::function<void()>& body);

// PDB text of an ideal alpha helix: residues first..first+n-1 along +z,
// with N, CA, C, O and CB (HA2 for residues listed in glycines).
std::string ideal_helix_pdb(int n, int first = 1, const std::vector<int>& glycines = {});

// A parameter file with all twelve keys.
std::string parameter_text(const std::string& workDir, const std::string& name, int numProtomer,
                           const std::string& pdbFile, const std::string& noeFile);

// Three restraints on the residues of a helix of 8 or more residues.
extern const std::string sampleRestraints;

// A complete working folder: helix of n residues, check_pdb.log, origin.pdb
// (the helix's own atoms), restraints and candidates as given.
struct Workspace {
    std::string params;  // path of the parameter file
};
Workspace make_workspace(const TempDir& dir, int n, int numProtomer,
                         const std::string& restraints, const std::string& candidates);
