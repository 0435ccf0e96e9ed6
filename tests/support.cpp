#include "support.h"

#include "getpdb.h"
#include "oligomer.h"
#include "parallel.h"
#include "program.h"
#include "rank.h"
#include "report.h"
#include "run.h"
#include "score.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

TempDir::TempDir() {
    static std::mt19937_64 rng(std::random_device{}());
    for (;;) {
        fs::path candidate = fs::temp_directory_path() / ("noebundle-test-" + std::to_string(rng()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    // Restore permissions that a test may have taken away, then remove.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool load_bm2_example(int numProtomer) {
    param = Parameter();
    param.numProtomer = numProtomer;
    const std::string dir = EXAMPLES_DIR "/bm2-prepared";
    if (!load_helix(dir + "/check_pdb.log", dir + "/2kix_A.pdb", helix).ok()) return false;
    helix.move_zaxis();
    if (!load_helix(dir + "/check_pdb.log", dir + "/2kix_A.pdb", helix2).ok()) return false;
    std::ifstream noe(dir + "/bm2.noe");
    res = Restraint{};
    return parse_restraints(noe, "bm2.noe", helix.resNum, param.pairDistance, param.pairTolerance, res).ok();
}

static std::string quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

RunResult run_noebundle(const std::vector<std::string>& args, const fs::path& cwd) {
    return run_program(NOEBUNDLE_EXE, args, cwd);
}

RunResult run_search(const std::vector<std::string>& args, const fs::path& cwd) {
    return run_program(std::string(BUILD_DIR) + "/noebundle-search", args, cwd);
}

RunResult run_program(const std::string& exe, const std::vector<std::string>& args, const fs::path& cwd) {
    TempDir scratch;
    std::string command = "cd " + quoted(cwd.string()) + " && " + quoted(exe);
    for (const std::string& a : args) command += " " + quoted(a);
    command += " 2>" + quoted(scratch.file("stderr"));
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = read_text(scratch.file("stderr"));
    return result;
}

RunResult in_child(const std::function<void()>& body) {
    TempDir scratch;
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen(scratch.file("stdout").c_str(), "w", stdout)) _exit(99);
        body();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult result;
    result.out = read_text(scratch.file("stdout"));
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

static std::string atom_line(int serial, const char* name, const char* resName, int resSeq, double x,
                             double y, double z, char element) {
    char line[96];
    std::snprintf(line, sizeof line, "ATOM  %5d %-4s %3s A%4d    %8.3f%8.3f%8.3f  1.00  0.00           %c  \n",
                  serial, name, resName, resSeq, x, y, z, element);
    std::string text(line);
    return text;
}

std::string ideal_helix_pdb(int n, int first, const std::vector<int>& glycines) {
    // 3.6 residues per turn, 1.5 A rise; CA on radius 2.3 A, CB further out.
    std::string text = "REMARK   ideal helix\n";
    int serial = 0;
    for (int k = 0; k < n; ++k) {
        int number = first + k;
        double a = k * 100.0 * M_PI / 180.0, z = 1.5 * k;
        bool glycine = false;
        for (int g : glycines) glycine = glycine || g == number;
        const char* resName = glycine ? "GLY" : "ALA";
        text += atom_line(++serial, " N", resName, number, 1.6 * std::cos(a - 0.4), 1.6 * std::sin(a - 0.4), z - 0.5, 'N');
        text += atom_line(++serial, " CA", resName, number, 2.3 * std::cos(a), 2.3 * std::sin(a), z, 'C');
        text += atom_line(++serial, " C", resName, number, 1.7 * std::cos(a + 0.5), 1.7 * std::sin(a + 0.5), z + 0.6, 'C');
        if (glycine)
            text += atom_line(++serial, " HA2", resName, number, 3.1 * std::cos(a), 3.1 * std::sin(a), z + 0.3, 'H');
        else
            text += atom_line(++serial, " CB", resName, number, 3.6 * std::cos(a), 3.6 * std::sin(a), z + 0.4, 'C');
    }
    return text + "END\n";
}

std::string parameter_text(const std::string& workDir, const std::string& name, int numProtomer,
                           const std::string& pdbFile, const std::string& noeFile) {
    return "proteinName=" + name + "\nworkDir=" + workDir + "\npdbFile=" + pdbFile + "\nnoeFile=" + noeFile +
           "\nmemFile=mem.txt\nnumProtomer=" + std::to_string(numProtomer) +
           "\nmemResFlag=0\nss_angle=5\nr_beg=3\nr_end=15\nss_r=0.5\nuncertainty=1.5\n";
}

const std::string sampleRestraints =
    "(resid 3 and name HA) (resid 5 and name HG)\n"
    "(resid 4 and name HN) (resid 8 and name HN)\n"
    "(resid 6 and name HD2) (resid 6 and name HE1)\n";

Workspace make_workspace(const TempDir& dir, int n, int numProtomer, const std::string& restraints,
                         const std::string& candidates) {
    std::string pdb = ideal_helix_pdb(n);
    write_text(dir.file("helix.pdb"), pdb);
    write_text(dir.file("check_pdb.log"), std::to_string(n) + "\n" + std::to_string(4 * n) + "\n");
    write_text(dir.file("origin.pdb"), pdb);
    write_text(dir.file("noe.txt"), restraints);
    write_text(dir.file("abc.cs"), candidates);
    Workspace w{dir.file("run.param")};
    write_text(w.params, parameter_text(dir.path().string(), "abc", numProtomer, dir.file("helix.pdb"),
                                        dir.file("noe.txt")));
    return w;
}
