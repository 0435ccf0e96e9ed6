#include "model/supercoil.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "base/text.h"
#include "geometry/geometry.h"
#include "geometry/place.h"

namespace {

using ideal::Vec;

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
bool is_ca(const std::string& line) { return is_atom(line) && trim_blanks(cut(line, 12, 4)) == "CA"; }

// The curvature the helix has already toward d: its axis traced by the means
// of seven consecutive CA (near two turns: 100 degrees apart, they lie within
// 0.08 A of the axis), and the offset u along d fitted as u0 + u1 t + u2 t^2
// over the position t along z, the curvature being 2 u2. An arc of
// curvature k departs from that parabola by about k^3 t^4 / 8: the fit is
// made again twice with that part taken off.
double own_curvature(const std::vector<Vec>& cas, Vec d) {
    const std::size_t window = 7;
    if (cas.size() < window + 3) return 0;
    std::vector<Vec> axis;  // (t, u, 0)
    for (std::size_t k = 0; k + window <= cas.size(); ++k) {
        Vec p{0, 0, 0};
        for (std::size_t j = k; j < k + window; ++j) p = p + (1.0 / window) * cas[j];
        axis.push_back({p.z, dot(p, d), 0});
    }
    double curvature = 0;
    for (int pass = 0; pass < 3; ++pass) {
        double m[3][4] = {};  // normal equations of the fit, with their right-hand side
        for (const Vec& q : axis) {
            const double power[3] = {1, q.x, q.x * q.x};
            const double u = q.y - curvature * curvature * curvature * q.x * q.x * q.x * q.x / 8;
            for (int i = 0; i < 3; ++i) {
                for (int j = 0; j < 3; ++j) m[i][j] += power[i] * power[j];
                m[i][3] += power[i] * u;
            }
        }
        for (int col = 0; col < 3; ++col)  // Gauss-Jordan; distinct t values leave no pivot 0
            for (int row = 0; row < 3; ++row) {
                if (row == col) continue;
                const double f = m[row][col] / m[col][col];
                for (int j = col; j < 4; ++j) m[row][j] -= f * m[col][j];
            }
        curvature = 2 * m[2][3] / m[2][2];
    }
    return curvature;
}

}  // namespace

HelixTwist helix_twist(const std::string& pdbText) {
    std::vector<Vec> cas;
    std::istringstream in(pdbText);
    for (std::string line; std::getline(in, line);)
        if (is_ca(line)) {
            const Point p = pdb_point(line);
            cas.push_back({p.x, p.y, p.z});
        }
    std::vector<Vec> bisectors;
    for (std::size_t i = 1; i + 1 < cas.size(); ++i)
        bisectors.push_back(unit((cas[i - 1] - cas[i]) + (cas[i + 1] - cas[i])));
    HelixTwist twist;
    if (bisectors.size() < 2) return twist;
    for (std::size_t i = 0; i + 1 < bisectors.size(); ++i) {
        const Vec& u = bisectors[i];
        const Vec& v = bisectors[i + 1];
        twist.degrees += std::acos(std::fmax(-1.0, std::fmin(1.0, dot(u, v)))) * 180.0 / M_PI;
        twist.rise += std::fabs(dot(cas[i + 2] - cas[i + 1], unit(cross(u, v))));
    }
    twist.degrees /= double(bisectors.size() - 1);
    twist.rise /= double(bisectors.size() - 1);
    return twist;
}

SupercoilBend supercoil_bend(const CandidateRow& row, const HelixTwist& twist) {
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
    // A tilt so slight that winding by it alone would bend less than the
    // least bend tells no hand of winding: the helix stays straight.
    if (bend.radius == 0 || length < 1e-9 || !(across / bend.radius >= leastCurvature)) return bend;
    bend.rightHanded = -sign * axis.y * axis.z > 0;
    if (bend.rightHanded) return bend;
    // The helix's length per turn about the axis that keeps the seam facing
    // it; none when the helix turns as fast as the seam, or lies too far out
    // to wind once in that length.
    const double lag = 360.0 / heptadResiduesPerTurn - twist.degrees;
    if (!(lag > 0) || !(twist.rise > 0)) return bend;
    const double perTurn = twist.rise * 360.0 / lag;
    if (!(2 * M_PI * bend.radius < perTurn)) return bend;
    bend.curvature = 4 * M_PI * M_PI * bend.radius / (perTurn * perTurn);
    if (bend.curvature < leastCurvature) {
        bend.curvature = 0;
        return bend;
    }
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
    // Only what the helix lacks of the asked curvature is added: a helix
    // that is already curved (a solved one) is not bent twice, nor made
    // straighter than it is (the seam's winding is the least a bundle asks:
    // a channel's helices may curve more).
    std::vector<Vec> cas;
    for (const std::string& line : lines)
        if (is_ca(line)) cas.push_back(aligned(line));
    const double curvature = bend.curvature == 0 ? 0 : bend.curvature - own_curvature(cas, d);
    if (curvature < leastCurvature) return pdbText;
    std::string out;
    for (std::size_t i = 0; i < lines.size();) {
        if (!is_atom(lines[i])) {
            out += lines[i++] + "\n";
            continue;
        }
        // One residue: its lines, and where its CA lies along the axis.
        std::size_t end = i;
        double along = 0;
        bool found = false;
        while (end < lines.size() && is_atom(lines[end]) && cut(lines[end], 21, 6) == cut(lines[i], 21, 6)) {
            if (!found && is_ca(lines[end])) along = aligned(lines[end]).z, found = true;
            ++end;
        }
        if (!found) along = aligned(lines[i]).z;
        const double turn = along * curvature, s = std::sin(turn), co = std::cos(turn);
        const Vec base = (s / curvature) * a + ((1 - co) / curvature) * d;
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
