// Test helpers: a temporary folder, file access, running the built programs,
// and small inputs (an ideal helix, a working folder, the BM2 example).
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "formats/helix.h"
#include "formats/parameter.h"
#include "formats/restraint.h"
#include "run/oligomer.h"

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
// The ATOM lines and points of a structure file.
Template read_template(const std::string& path);

struct RunResult {
    std::string out;  // standard output and standard error
    int status;
};
// Runs a program of this build ("noebundle", "noebundle-search") in folder cwd.
RunResult run_program(const std::string& name, const std::vector<std::string>& args, const fs::path& cwd);

// PDB text of an ideal helix of n residues from number first along +z: N, CA,
// C and CB (HA2 for the residues listed in glycines).
std::string ideal_helix_pdb(int n, int first = 1, const std::vector<int>& glycines = {});

// A working folder: the files of the bad-input catalogue's base (an 8-residue
// helix, also the template, and three restraints), the candidates given, and
// the parameter file run.param, whose path it returns.
std::string make_workspace(const TempDir& dir, int numProtomer, const std::string& candidates);

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
