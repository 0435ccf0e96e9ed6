#include "formats/allowed_set.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/text.h"

namespace {

const char* const header = "cluster,population,delta,phi,theta,psi,radius,packing,spread,to_first";

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) out.push_back(trim_blanks(field));
    return out;
}

// A number that is all of its field.
bool number(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

// A count: a whole number from 0 to 1e15, which no grid reaches.
bool count(const std::string& text, long long& value) {
    double v = 0;
    if (!number(text, v) || !(v >= 0 && v <= 1e15) || v != std::floor(v)) return false;
    value = static_cast<long long>(v);
    return true;
}

}  // namespace

std::string allowed_set_text(const AllowedSet& set) {
    std::string out = "# allowed set: placements within " + decimals(set.tolerance, 3) +
                      " of the best Delta that pass the steric rule, clustered by CA RMSD\n"
                      "# tolerance,allowed,cutoff\n" +
                      decimals(set.tolerance, 3) + "," + std::to_string(set.allowed) + "," +
                      decimals(set.cutoff, 3) + "\n" + header + "\n";
    for (std::size_t c = 0; c < set.clusters.size(); ++c) {
        const AllowedCluster& k = set.clusters[c];
        out += std::to_string(c + 1) + "," + std::to_string(k.population) + "," + fixed3(k.delta, 0);
        for (int i = 0; i < 4; ++i) out += "," + fixed3(k.row[i], 0);
        out += "," + decimals(k.packing, 3) + "," + decimals(k.spread, 3) + "," + decimals(k.toFirst, 3) + "\n";
    }
    return out;
}

Status parse_allowed_set(std::istream& in, const std::string& path, AllowedSet& set) {
    set = AllowedSet{};
    const Status wrong = Status::error(wrong_format(path));
    std::string line;
    // The two comment lines, then the settings.
    for (int k = 0; k < 2; ++k)
        if (!std::getline(in, line) || line.empty() || line[0] != '#') return wrong;
    if (!std::getline(in, line)) return wrong;
    std::vector<std::string> f = fields(line);
    if (f.size() != 3 || !number(f[0], set.tolerance) || !count(f[1], set.allowed) || !number(f[2], set.cutoff))
        return wrong;
    if (!std::getline(in, line) || line != header) return wrong;
    long long members = 0;
    while (std::getline(in, line)) {
        f = fields(line);
        double v[10];
        if (f.size() != 10) return wrong;
        for (int i = 0; i < 10; ++i)
            if (!number(f[i], v[i])) return wrong;
        AllowedCluster k;
        long long cluster = 0;
        if (!count(f[0], cluster) || !count(f[1], k.population)) return wrong;
        k.delta = static_cast<float>(v[2]);
        for (int i = 0; i < 4; ++i) k.row[i] = to_float(f[3 + i]);
        k.packing = v[7];
        k.spread = v[8];
        k.toFirst = v[9];
        if (cluster != static_cast<long long>(set.clusters.size() + 1) || k.population < 1) return wrong;
        members += k.population;
        if (members > set.allowed) return wrong;
        set.clusters.push_back(k);
    }
    if (members != set.allowed) return wrong;
    return Status::fine();
}

Status load_allowed_set(const std::string& path, AllowedSet& set) {
    std::ifstream in;
    if (!open_input(in, path)) return Status::error(cannot_open(path));
    return parse_allowed_set(in, path, set);
}
