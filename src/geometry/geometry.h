// Points and rigid-body motions in single precision: the Euler rotation
// R = Z(psi) X(theta) Z(phi) (entries computed in double, stored as float),
// shifts, distances, the turn between neighbouring protomers, the tolerant
// float comparison of the ranking, and the coordinate columns of PDB lines.
#pragma once
#include <cmath>
#include <string>

struct Point {
    float x, y, z;
};

struct Rotation {
    float m[3][3];
};

Rotation rotation_matrix(const float angle[3]);

// The sine and cosine of an angle, in double, as rotation_matrix takes them.
struct SinCos {
    double s, c;
};
SinCos sin_cos(float angle);
// rotation_matrix from the sines and cosines of phi, theta and psi.
Rotation rotation_matrix(const SinCos& phi, const SinCos& theta, const SinCos& psi);

// R p, each component as (m1 x + m2 y) + m3 z in single precision.
inline Point apply(const Rotation& r, Point p) {
    return {(r.m[0][0] * p.x + r.m[0][1] * p.y) + r.m[0][2] * p.z,
            (r.m[1][0] * p.x + r.m[1][1] * p.y) + r.m[1][2] * p.z,
            (r.m[2][0] * p.x + r.m[2][1] * p.y) + r.m[2][2] * p.z};
}

inline Point shifted(Point p, const float shift[3]) {
    return {p.x + shift[0], p.y + shift[1], p.z + shift[2]};
}

// output[i] = R input[i] for i < n.
void rotate_points(const Point* input, const float angle[3], Point* output, int n);
// output[i] = input[i] + shift for i < n; output may be input.
void shift_points(const Point* input, Point* output, const float shift[3], int n);

// One step of the symmetric oligomer, 6.283186 / numProtomer rounded to float.
float step_angle(int numProtomer);
// The turn of protomer p (from 0): p * 6.283186 / numProtomer rounded to float.
float protomer_angle(int p, int numProtomer);

// Distance with float differences and sum of squares. The float square root
// is the double one rounded to float: double has more than twice the digits.
inline float distance(Point a, Point b) {
    float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    float sum = (dx * dx + dy * dy) + dz * dz;
    return std::sqrt(sum);
}

// True when a and b differ by less than 1e-6.
bool fequal(float a, float b);
// qsort comparator for floats built on fequal: no tolerance for "greater".
int acompare(const void* p, const void* q);

// x, y and z from PDB columns 31-38, 39-46 and 47-54, as atof reads them.
Point pdb_point(const std::string& line);
