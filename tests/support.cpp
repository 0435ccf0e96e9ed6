#include "support.h"

#include <algorithm>
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

Template read_template(const std::string& path) {
    std::ifstream in(path);
    return parse_template(in);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

RunResult run_program(const std::string& name, const std::vector<std::string>& args, const fs::path& cwd) {
    std::string command = "cd '" + cwd.string() + "' && '" BUILD_DIR "/" + name + "'";  // no quotes in the paths
    for (const std::string& a : args) command += " '" + a + "'";
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
    char line[96];
    for (int k = 0, serial = 0; k < n; ++k) {
        const bool glycine = std::find(glycines.begin(), glycines.end(), first + k) != glycines.end();
        const double a = k * 100.0 * M_PI / 180.0;
        const struct { const char* name; double r, da, dz; } atoms[] = {
            {" N", 1.6, -0.4, -0.5}, {" CA", 2.3, 0, 0}, {" C", 1.7, 0.5, 0.6}, {glycine ? " HA2" : " CB", 3.6, 0, 0.4}};
        for (const auto& atom : atoms) {
            std::snprintf(line, sizeof line, "ATOM  %5d %-4s %3s A%4d    %8.3f%8.3f%8.3f  1.00  0.00           %c  \n",
                          ++serial, atom.name, glycine ? "GLY" : "ALA", first + k, atom.r * std::cos(a + atom.da),
                          atom.r * std::sin(a + atom.da), 1.5 * k + atom.dz, atom.name[1]);
            text += line;
        }
    }
    return text + "END\n";
}

std::string make_workspace(const TempDir& dir, int numProtomer, const std::string& candidates) {
    fs::copy(TEST_DATA "/../bad_inputs/base", dir.path());
    write_text(dir.file("abc.cs"), candidates);
    write_text(dir.file("run.param"), "proteinName=abc\nworkDir=" + dir.path().string() + "\npdbFile=" +
                                          dir.file("helix.pdb") + "\nnoeFile=" + dir.file("noe.txt") +
                                          "\nmemFile=none\nnumProtomer=" + std::to_string(numProtomer) +
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
