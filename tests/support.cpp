#include "support.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

TempDir::TempDir() {
    static std::mt19937_64 rng(std::random_device{}());
    do path_ = fs::temp_directory_path() / ("noebundle-test-" + std::to_string(rng()));
    while (!fs::create_directory(path_));
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    if (!(out << text)) throw std::runtime_error("cannot write " + path);
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

static std::string quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

RunResult run_program(const std::string& name, const std::vector<std::string>& args, const fs::path& cwd) {
    std::string command = "cd " + quoted(cwd.string()) + " && " + quoted(BUILD_DIR "/" + name);
    for (const std::string& a : args) command += " " + quoted(a);
    RunResult result;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string ideal_helix_pdb(int n, int first, const std::vector<int>& glycines) {
    // 3.6 residues a turn, 1.5 A rise; CA on a radius of 2.3 A, CB further out.
    std::string text = "REMARK   ideal helix\n";
    int serial = 0;
    auto atom = [&](const char* name, const char* resName, int number, double r, double a, double z) {
        char line[96];
        std::snprintf(line, sizeof line, "ATOM  %5d %-4s %3s A%4d    %8.3f%8.3f%8.3f  1.00  0.00           %c  \n",
                      ++serial, name, resName, number, r * std::cos(a), r * std::sin(a), z, name[1]);
        text += line;
    };
    for (int k = 0; k < n; ++k) {
        const int number = first + k;
        const double a = k * 100.0 * M_PI / 180.0, z = 1.5 * k;
        bool glycine = false;
        for (int g : glycines) glycine = glycine || g == number;
        const char* resName = glycine ? "GLY" : "ALA";
        atom(" N", resName, number, 1.6, a - 0.4, z - 0.5);
        atom(" CA", resName, number, 2.3, a, z);
        atom(" C", resName, number, 1.7, a + 0.5, z + 0.6);
        if (glycine) atom(" HA2", resName, number, 3.1, a, z + 0.3);
        else atom(" CB", resName, number, 3.6, a, z + 0.4);
    }
    return text + "END\n";
}

const std::string sampleRestraints =
    "(resid 3 and name HA) (resid 5 and name HG)\n"
    "(resid 4 and name HN) (resid 8 and name HN)\n"
    "(resid 6 and name HD2) (resid 2 and name HE1)\n";

std::string make_workspace(const TempDir& dir, int n, int numProtomer, const std::string& restraints,
                           const std::string& candidates) {
    const std::string pdb = ideal_helix_pdb(n);
    write_text(dir.file("helix.pdb"), pdb);
    write_text(dir.file("origin.pdb"), pdb);
    write_text(dir.file("check_pdb.log"), std::to_string(n) + "\n" + std::to_string(4 * n) + "\n");
    write_text(dir.file("noe.txt"), restraints);
    write_text(dir.file("abc.cs"), candidates);
    write_text(dir.file("run.param"), "proteinName=abc\nworkDir=" + dir.path().string() + "\npdbFile=" +
                                          dir.file("helix.pdb") + "\nnoeFile=" + dir.file("noe.txt") +
                                          "\nmemFile=mem.txt\nnumProtomer=" + std::to_string(numProtomer) +
                                          "\nmemResFlag=0\nss_angle=5\nr_beg=3\nr_end=15\nss_r=0.5\nuncertainty=1.5\n");
    return dir.file("run.param");
}

bool load_inputs(Inputs& in) {
    Parameter& p = in.param;
    if (!load_helix(p.workDir + "/check_pdb.log", p.pdbFile, in.helix).ok()) return false;
    align_on_z(in.helix.coord, in.helix.numResidue, in.helix.center, in.helix.angle);
    return load_restraints(p.noeFile, in.helix.resNum, p.pairDistance, p.pairTolerance, in.res).ok();
}

bool load_bm2_example(Inputs& in, int numProtomer) {
    const std::string dir = EXAMPLES_DIR "/bm2-prepared";
    in.param.numProtomer = numProtomer;
    in.param.workDir = dir;
    in.param.pdbFile = dir + "/2kix_A.pdb";
    in.param.noeFile = dir + "/bm2.noe";
    return load_inputs(in);
}
