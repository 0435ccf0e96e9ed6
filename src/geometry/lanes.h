// Four lanes of float arithmetic for the scorer, in SSE2 where the machine
// has it. Every lane rounds as the scalar operation does, so vector loops
// give the bits of the point-by-point code.
#pragma once
#include <algorithm>
#include <cmath>

#include "geometry/geometry.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Each placed point is ((m1 x + m2 y) + m3 z) + shift, its image is turned
// the same way, and each distance is the float root of (dx dx + dy dy) + dz dz.
#ifdef __SSE2__
struct Lanes {
    __m128 v;
};
inline Lanes lanes(float v) { return {_mm_set1_ps(v)}; }
inline Lanes load(const float* p) { return {_mm_loadu_ps(p)}; }
inline void store(float* p, Lanes a) { _mm_storeu_ps(p, a.v); }
inline Lanes operator+(Lanes a, Lanes b) { return {_mm_add_ps(a.v, b.v)}; }
inline Lanes operator-(Lanes a, Lanes b) { return {_mm_sub_ps(a.v, b.v)}; }
inline Lanes operator*(Lanes a, Lanes b) { return {_mm_mul_ps(a.v, b.v)}; }
inline Lanes root(Lanes a) { return {_mm_sqrt_ps(a.v)}; }
// a > b ? p : (a < c ? q : 0), lane by lane.
inline Lanes pick(Lanes a, Lanes b, Lanes p, Lanes c, Lanes q) {
    const __m128 above = _mm_cmpgt_ps(a.v, b.v), below = _mm_cmplt_ps(a.v, c.v);
    return {_mm_or_ps(_mm_and_ps(above, p.v), _mm_andnot_ps(above, _mm_and_ps(below, q.v)))};
}
// a < b ? a : b, lane by lane.
inline Lanes smaller(Lanes a, Lanes b) { return {_mm_min_ps(a.v, b.v)}; }
#else
struct Lanes {
    float v[4];
};
inline Lanes lanes(float v) { return {{v, v, v, v}}; }
inline Lanes load(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
inline void store(float* p, Lanes a) { std::copy(a.v, a.v + 4, p); }
template <class F>
inline Lanes each(Lanes a, Lanes b, F f) { return {{f(a.v[0], b.v[0]), f(a.v[1], b.v[1]), f(a.v[2], b.v[2]), f(a.v[3], b.v[3])}}; }
inline Lanes operator+(Lanes a, Lanes b) { return each(a, b, [](float x, float y) { return x + y; }); }
inline Lanes operator-(Lanes a, Lanes b) { return each(a, b, [](float x, float y) { return x - y; }); }
inline Lanes operator*(Lanes a, Lanes b) { return each(a, b, [](float x, float y) { return x * y; }); }
inline Lanes root(Lanes a) { return each(a, a, [](float x, float) { return std::sqrt(x); }); }
inline Lanes pick(Lanes a, Lanes b, Lanes p, Lanes c, Lanes q) {
    Lanes out;
    for (int i = 0; i < 4; ++i) out.v[i] = a.v[i] > b.v[i] ? p.v[i] : (a.v[i] < c.v[i] ? q.v[i] : 0.0f);
    return out;
}
inline Lanes smaller(Lanes a, Lanes b) { return each(a, b, [](float x, float y) { return x < y ? x : y; }); }
#endif

struct Points {
    Lanes x, y, z;
};

inline Points transform(const Rotation& r, const Points& p) {
    const auto& m = r.m;
    return {(lanes(m[0][0]) * p.x + lanes(m[0][1]) * p.y) + lanes(m[0][2]) * p.z,
            (lanes(m[1][0]) * p.x + lanes(m[1][1]) * p.y) + lanes(m[1][2]) * p.z,
            (lanes(m[2][0]) * p.x + lanes(m[2][1]) * p.y) + lanes(m[2][2]) * p.z};
}

inline Lanes gaps(const Points& p, const Points& q) {
    const Lanes dx = p.x - q.x, dy = p.y - q.y, dz = p.z - q.z;
    return root((dx * dx + dy * dy) + dz * dz);
}

// The violation of each distance, as violation() computes it.
inline Lanes violations(Lanes d, Lanes lower, Lanes upper) {
    const Lanes excess = pick(d, upper, d - upper, lower, d - lower);
    return excess * excess;
}
