#include "formats/helix.h"

#include <fstream>
#include <sstream>

#include "base/text.h"

void parse_check_log(std::istream& in, int& numResidue, int& checkAux) {
    numResidue = 0;
    checkAux = 0;
    in >> numResidue >> checkAux;
}

Status load_helix(const std::string& logPath, const std::string& pdbPath, Helix& helix) {
    std::ifstream log;
    if (!open_input(log, logPath)) return Status::error(cannot_open(logPath));
    parse_check_log(log, helix.numResidue, helix.checkAux);
    std::ifstream pdb;
    if (!open_input(pdb, pdbPath)) return Status::error(cannot_open(pdbPath));
    return parse_helix_pdb(pdb, pdbPath, helix);
}

std::vector<std::string> residue_names(const Helix& helix) {
    std::vector<std::string> names;
    for (std::size_t k = 0; 2 * k < helix.atomLine.size(); ++k) names.push_back(trim_blanks(cut(helix.atomLine[2 * k], 17, 3)));
    return names;
}

static bool is_atom_line(const std::string& line) { return line.compare(0, 4, "ATOM") == 0; }

Status parse_helix_pdb(std::istream& in, const std::string& pdbPath, Helix& helix) {
    const int n = helix.numResidue;
    if (n < 5) return Status::error("[Error] Very few residues in '" + pdbPath + "'");
    if (n > 5000) return Status::error("[Error] Too many residues in '" + pdbPath + "'");
    helix.resNum.assign(n, 0);
    helix.coord.assign(2 * n, Point{0, 0, 0});
    helix.atomLine.assign(2 * n, std::string());

    // Each residue must supply one CA and one side-chain point (CB or HA2),
    // and the file exactly n residues.
    ResidueRuns runs;
    int current = 0, k = -1, accepted = 0;
    bool hasCA = false, hasSide = false;
    auto complete = [&] { return accepted == 2 && hasCA && hasSide; };
    std::string line;
    while (std::getline(in, line)) {
        if (!is_atom_line(line)) continue;
        const int number = to_int(cut(line, 22, 4));
        if (runs.starts_residue(number)) {
            if (k >= 0) {
                if (!complete()) return Status::error(wrong_format(pdbPath));
                helix.resNum[k] = current;
            }
            if (++k >= n) return Status::error(wrong_format(pdbPath));
            accepted = 0;
            hasCA = hasSide = false;
            current = number;
        }
        const std::string name = trim_blanks(cut(line, 12, 4));
        int slot;
        if (name == "CA") {
            slot = 2 * k;
            hasCA = true;
        } else if (name == "CB" || name == "HA2") {
            slot = 2 * k + 1;
            hasSide = true;
        } else {
            continue;
        }
        if (line.size() < 54) return Status::error(wrong_format(pdbPath));
        helix.atomLine[slot] = line;
        helix.coord[slot] = pdb_point(line);
        ++accepted;
    }
    if (!complete() || k + 1 != n) return Status::error(wrong_format(pdbPath));
    helix.resNum[k] = current;
    return Status::fine();
}

void count_residues(const std::string& pdbText, int& residues, int& atoms) {
    residues = atoms = 0;
    std::istringstream in(pdbText);
    ResidueRuns runs;
    for (std::string line; std::getline(in, line);) {
        if (!is_atom_line(line)) continue;
        if (runs.starts_residue(to_int(cut(line, 22, 4)))) ++residues;
        ++atoms;
    }
}

// -------------------------------------------------------------- alignment

static double clamp_unit(double v) { return v > 1.0 ? 1.0 : (v < -1.0 ? -1.0 : v); }

void align_on_z(std::vector<Point>& points, int n, float center[3], float angle[3]) {
    Point c{0, 0, 0};
    for (int k = 0; k < n; ++k) {
        c.x += points[2 * k].x;
        c.y += points[2 * k].y;
        c.z += points[2 * k].z;
    }
    float count = static_cast<float>(n);
    c = {c.x / count, c.y / count, c.z / count};
    for (Point& p : points) p = {p.x - c.x, p.y - c.y, p.z - c.z};
    center[0] = c.x;
    center[1] = c.y;
    center[2] = c.z;

    // Axis: mean of the first four CA minus mean of the last four, pointing up.
    float v[3] = {0, 0, 0};
    auto add = [&v](const Point& p, double weight) {
        const float q[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i)
            v[i] = static_cast<float>(static_cast<double>(v[i]) + weight * static_cast<double>(q[i]));
    };
    for (int k = 0; k < 4; ++k) add(points[2 * k], 0.25);
    for (int k = n - 1; k >= n - 4; --k) add(points[2 * k], -0.25);
    if (v[2] < 0) {
        for (float& c : v) c = -c;
    }

    angle[0] = angle[1] = angle[2] = 0;
    if (fequal(v[0], 0) && fequal(v[1], 0)) return;
    float xy = v[0] * v[0] + v[1] * v[1];
    float xyz = xy + v[2] * v[2];
    float a = static_cast<float>(static_cast<double>(v[1]) / std::sqrt(static_cast<double>(xy)));
    float b = static_cast<float>(static_cast<double>(v[2]) / std::sqrt(static_cast<double>(xyz)));
    double acos_a = std::acos(clamp_unit(a));
    angle[0] = static_cast<float>(v[0] < 0 ? acos_a : -acos_a);
    angle[1] = static_cast<float>(-std::acos(clamp_unit(b)));
    std::vector<Point> turned(points.size());
    rotate_points(points.data(), angle, turned.data(), static_cast<int>(points.size()));
    points = turned;
}

Status one_copy_of_each_chain(const std::string& pdbText, const std::string& path, const std::string& key) {
    std::vector<std::pair<std::string, std::string>> chains;  // name, residue names in order
    std::istringstream in(pdbText);
    std::string previous;
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, 4, "ATOM") != 0 || line.size() < 27) continue;
        const std::string chain = line.substr(21, 1), residue = line.substr(17, 10);
        if (chains.empty() || chains.back().first != chain) chains.push_back({chain, ""}), previous.clear();
        if (residue != previous) chains.back().second += line.substr(17, 3) + " ";
        previous = residue;
    }
    for (const auto& [name, sequence] : chains) {
        std::string copies;
        int count = 0;
        for (const auto& other : chains)
            if (other.second == sequence) copies += (count++ == 0 ? "" : ", ") + other.first;
        if (count > 1)
            return Status::error("[Error] '" + path + "' (" + key + ") has " + std::to_string(count) +
                                 " chains of one sequence (" + copies + "), not one helix; take one with "
                                 "noebundle-search --from FILE --chain NAME");
    }
    return Status::fine();
}
