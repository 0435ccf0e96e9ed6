// Test helpers: a temporary folder, file access, running the built programs,
// and small inputs (an ideal helix, a working folder, the BM2 example).
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "helix.h"
#include "parameter.h"
#include "restraint.h"

namespace fs = std::filesystem;

// A fresh folder, removed with its content when the object goes out of scope.
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
std::string read_text(const std::string& path);
std::vector<std::string> lines_of(const std::string& text);

struct RunResult {
    std::string out;  // standard output and standard error
    int status;
};
// Runs a program of this build ("noebundle", "noebundle-search") in folder cwd.
RunResult run_program(const std::string& name, const std::vector<std::string>& args, const fs::path& cwd);

// PDB text of an ideal helix of n residues from number first along +z: N, CA,
// C and CB (HA2 for the residues listed in glycines).
std::string ideal_helix_pdb(int n, int first = 1, const std::vector<int>& glycines = {});

// Three restraints on residues 2 to 8.
extern const std::string sampleRestraints;

// A working folder: helix.pdb (an ideal helix of n residues, also origin.pdb),
// check_pdb.log, noe.txt, abc.cs; returns the path of its parameter file.
std::string make_workspace(const TempDir& dir, int n, int numProtomer, const std::string& restraints,
                           const std::string& candidates);

// What a run reads before ranking: param, the helix aligned, the restraints.
struct Inputs {
    Parameter param;
    Helix helix;
    Restraint res{};
};
// The helix and restraints named by in.param (check_pdb.log in its workDir).
bool load_inputs(Inputs& in);
// The hand-prepared BM2 example with numProtomer protomers.
bool load_bm2_example(Inputs& in, int numProtomer);
