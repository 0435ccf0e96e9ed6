#include "model/supercoil.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "base/text.h"
#include "geometry/geometry.h"

namespace {

struct Vec {
    double x, y, z;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// R v and R^T v with the matrix's float entries.
Vec times(const Rotation& r, Vec v) {
    return {r.m[0][0] * v.x + r.m[0][1] * v.y + r.m[0][2] * v.z, r.m[1][0] * v.x + r.m[1][1] * v.y + r.m[1][2] * v.z,
            r.m[2][0] * v.x + r.m[2][1] * v.y + r.m[2][2] * v.z};
}
Vec transposed_times(const Rotation& r, Vec v) {
    return {r.m[0][0] * v.x + r.m[1][0] * v.y + r.m[2][0] * v.z, r.m[0][1] * v.x + r.m[1][1] * v.y + r.m[2][1] * v.z,
            r.m[0][2] * v.x + r.m[1][2] * v.y + r.m[2][2] * v.z};
}

bool is_atom(const std::string& line) { return line.rfind("ATOM", 0) == 0 || line.rfind("HETATM", 0) == 0; }

}  // namespace

SupercoilBend supercoil_bend(const CandidateRow& row) {
    SupercoilBend bend;
    const Rotation r = rotation_matrix(&row[0]);
    const Vec axis = times(r, {0, 0, 1});  // the helix's axis in the bundle's frame
    // The helix's centre sits at (radius, 0, 0): the way to the bundle's
    // axis is -x, less its part along the helix. Only the tilt across that
    // way (along y) winds the helix about the axis: a lean toward the axis
    // makes a cone, whose helices stay straight.
    const double sign = row[3] < 0 ? 1.0 : -1.0;
    Vec toward = Vec{sign, 0, 0} - (sign * axis.x) * axis;
    const double length = std::sqrt(dot(toward, toward));
    const double across = axis.y * axis.y;  // sin^2 of the tilt about the axis
    bend.radius = std::fabs(double(row[3]));
    bend.tilt = std::asin(std::fmin(1.0, std::fabs(axis.y))) * 180.0 / M_PI;
    if (bend.radius == 0 || length < 1e-9 || !(across / bend.radius >= leastCurvature)) return bend;
    bend.curvature = across / bend.radius;
    const Vec local = transposed_times(r, (1.0 / length) * toward);
    bend.toward[0] = local.x;
    bend.toward[1] = local.y;
    bend.toward[2] = local.z;
    return bend;
}

std::string supercoiled_pdb_text(const std::string& pdbText, const float center[3], const float angle[3],
                                 const SupercoilBend& bend) {
    std::vector<std::string> lines;
    std::istringstream in(pdbText);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const Rotation align = rotation_matrix(angle);
    const Vec c{center[0], center[1], center[2]}, a{0, 0, 1};
    const Vec d{bend.toward[0], bend.toward[1], bend.toward[2]};
    const auto aligned = [&](const std::string& line) {
        const Point p = pdb_point(line);
        return times(align, Vec{p.x, p.y, p.z} - c);
    };
    std::string out;
    for (std::size_t i = 0; i < lines.size();) {
        if (!is_atom(lines[i]) || bend.curvature == 0) {
            out += lines[i++] + "\n";
            continue;
        }
        // One residue: its lines, and where its CA lies along the axis.
        std::size_t end = i;
        double along = 0;
        bool found = false;
        while (end < lines.size() && is_atom(lines[end]) && cut(lines[end], 21, 6) == cut(lines[i], 21, 6)) {
            if (!found && trim_blanks(cut(lines[end], 12, 4)) == "CA") along = aligned(lines[end]).z, found = true;
            ++end;
        }
        if (!found) along = aligned(lines[i]).z;
        const double turn = along * bend.curvature, s = std::sin(turn), co = std::cos(turn);
        const Vec base = (s / bend.curvature) * a + ((1 - co) / bend.curvature) * d;
        const Vec newAxis = co * a + s * d, newToward = (-s) * a + co * d;
        for (; i < end; ++i) {
            const Vec p = aligned(lines[i]) - along * a;
            const double t = dot(p, a), u = dot(p, d);
            const Vec rest = p - t * a - u * d;
            const Vec moved = transposed_times(align, base + rest + t * newAxis + u * newToward) + c;
            const std::string xyz = fixed3(float(moved.x), 8) + fixed3(float(moved.y), 8) + fixed3(float(moved.z), 8);
            if (xyz.size() != 24) return pdbText;  // beyond the columns: no bend rather than a broken file
            std::string line = lines[i];
            line.resize(std::max<std::size_t>(line.size(), 54), ' ');
            out += line.replace(30, 24, xyz) + "\n";
        }
    }
    return out;
}
