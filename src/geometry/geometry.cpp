#include "geometry/geometry.h"

#include "base/text.h"

SinCos sin_cos(float angle) {
    return {std::sin(static_cast<double>(angle)), std::cos(static_cast<double>(angle))};
}

Rotation rotation_matrix(const SinCos& ph, const SinCos& th, const SinCos& ps) {
    Rotation r;
    r.m[0][0] = static_cast<float>(ps.c * ph.c - (th.c * ph.s) * ps.s);
    r.m[0][1] = static_cast<float>(ps.c * ph.s + (th.c * ph.c) * ps.s);
    r.m[0][2] = static_cast<float>(ps.s * th.s);
    r.m[1][0] = static_cast<float>((-ps.s) * ph.c - (th.c * ph.s) * ps.c);
    r.m[1][1] = static_cast<float>((-ps.s) * ph.s + (th.c * ph.c) * ps.c);
    r.m[1][2] = static_cast<float>(ps.c * th.s);
    r.m[2][0] = static_cast<float>(th.s * ph.s);
    r.m[2][1] = static_cast<float>((-th.s) * ph.c);
    r.m[2][2] = static_cast<float>(th.c);
    return r;
}

Rotation rotation_matrix(const float angle[3]) {
    return rotation_matrix(sin_cos(angle[0]), sin_cos(angle[1]), sin_cos(angle[2]));
}

void rotate_points(const Point* input, const float angle[3], Point* output, int n) {
    const Rotation r = rotation_matrix(angle);
    for (int i = 0; i < n; ++i) output[i] = apply(r, input[i]);
}

void shift_points(const Point* input, Point* output, const float shift[3], int n) {
    for (int i = 0; i < n; ++i) output[i] = shifted(input[i], shift);
}

float step_angle(int numProtomer) { return static_cast<float>(6.283186 / numProtomer); }

float protomer_angle(int p, int numProtomer) { return static_cast<float>(p * 6.283186 / numProtomer); }

bool fequal(float a, float b) {
    float difference = a - b;
    return 1e-6 > std::fabs(static_cast<double>(difference));
}

int acompare(const void* p, const void* q) {
    float x = *static_cast<const float*>(p);
    float y = *static_cast<const float*>(q);
    if (x > y) return 1;
    if (fequal(x, y)) return 0;
    return -1;
}

Point pdb_point(const std::string& line) {
    return {to_float(cut(line, 30, 8)), to_float(cut(line, 38, 8)), to_float(cut(line, 46, 8))};
}
