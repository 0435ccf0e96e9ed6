// Atoms placed from internal coordinates, in double precision: the position
// at a bond length, bond angle and dihedral from three placed atoms, and the
// measures that check it.
#pragma once
#include <cmath>

namespace ideal {

struct Vec {
    double x, y, z;
};
inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double norm(Vec a) { return std::sqrt(dot(a, a)); }
inline Vec unit(Vec a) { return (1.0 / norm(a)) * a; }

constexpr double degree = 3.14159265358979323846 / 180.0;

inline double distance(Vec a, Vec b) { return norm(a - b); }
// The angle a-b-c in degrees.
inline double bond_angle(Vec a, Vec b, Vec c) {
    const double cosine = dot(unit(a - b), unit(c - b));
    return std::acos(std::fmax(-1.0, std::fmin(1.0, cosine))) / degree;
}
// The dihedral a-b-c-d in degrees, -180 to 180 (IUPAC sign).
inline double dihedral(Vec a, Vec b, Vec c, Vec d) {
    const Vec b1 = b - a, b2 = c - b, b3 = d - c;
    const Vec n1 = cross(b1, b2), n2 = cross(b2, b3);
    return std::atan2(dot(cross(n1, n2), unit(b2)), dot(n1, n2)) / degree;
}

// The atom d with |cd| = bond, angle b-c-d = angle and dihedral a-b-c-d =
// torsion (degrees).
inline Vec place(Vec a, Vec b, Vec c, double bond, double angle, double torsion) {
    const Vec bc = unit(c - b);
    const Vec n = unit(cross(b - a, bc));
    const Vec m = cross(n, bc);
    const double t = angle * degree, p = torsion * degree;
    const Vec local = {-bond * std::cos(t), bond * std::sin(t) * std::cos(p), bond * std::sin(t) * std::sin(p)};
    return c + (local.x * bc + local.y * m + local.z * n);
}

// The dihedral b-a-p-x that puts x at angle alpha to a and gamma to b (both
// at p), positive or negative: an atom at a chiral centre.
inline double chiral_dihedral(Vec a, Vec p, Vec b, double alpha, double gamma, bool positive) {
    const double beta = bond_angle(a, p, b) * degree;
    const double c = (std::cos(gamma * degree) - std::cos(beta) * std::cos(alpha * degree)) /
                     (std::sin(beta) * std::sin(alpha * degree));
    const double phi = std::acos(std::fmax(-1.0, std::fmin(1.0, c))) / degree;
    return positive ? phi : -phi;
}

}  // namespace ideal
