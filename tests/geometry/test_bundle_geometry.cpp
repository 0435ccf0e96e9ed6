// Bundle geometry of ideal helices whose axes are known: straight ones
// tilted tangentially about z at the bundle's radius (C2 dimers cross at
// twice the tilt), and a left-handed supercoil of radius 4.9 and pitch 150
// Angstrom (pitch angle 11.6 degrees; the least-squares line through 26
// points of its arc tilts by 10.9).
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/bundle_geometry.h"
#include "geometry/place.h"

namespace {

constexpr double pi = 3.14159265358979323846, degree = ideal::degree;

// CA atoms of an ideal alpha-helix (radius 2.3, rise 1.5, 100 degrees a
// residue) about an axis through (radius, 0, 0) at its centre: winding
// left-handed about z with the supercoil's pitch, or straight along its
// tangent there, (0, -sin tilt, cos tilt): positive tilts cross left-handed.
std::vector<Point> helix(int residues, double radius, double tilt, double pitch) {
    using namespace ideal;
    const double slope = pitch > 0 ? std::atan(2 * pi * radius / pitch) : tilt * degree;
    std::vector<Point> ca;
    for (int k = 0; k < residues; ++k) {
        const double s = 1.5 * (k - (residues - 1) / 2.0), turn = 100 * degree * k;
        const double phi = pitch > 0 ? -2 * pi * s * std::cos(slope) / pitch : 0;
        const Vec t = {std::sin(slope) * std::sin(phi), -std::sin(slope) * std::cos(phi), std::cos(slope)};
        const Vec n = {-std::cos(phi), -std::sin(phi), 0};  // toward z
        const Vec axis = pitch > 0 ? Vec{radius * std::cos(phi), radius * std::sin(phi), s * std::cos(slope)}
                                   : Vec{radius, 0, 0} + s * t;
        const Vec p = axis + 2.3 * std::cos(turn) * n + 2.3 * std::sin(turn) * cross(t, n);
        ca.push_back({float(p.x), float(p.y), float(p.z)});
    }
    return ca;
}

TEST(BundleGeometry, IdealHelicesOfKnownAxes) {
    const double n = NAN;
    struct Case {
        const char* what;
        int residues, protomers;
        double radius, tilt, pitch;  // pitch 0: straight
        double crossing, distance, axisRadius, expectedTilt, superRadius, superPitch;
    } cases[] = {
        {"right-handed dimer", 26, 2, 4.0, -20, 0, -40, 8.0, 4.0, 20, n, n},
        {"left-handed dimer, the shortest helix with an axis", 5, 2, 4.8, 10, 0, 20, 9.6, 4.8, 10, n, n},
        {"parallel dimer", 20, 2, 5.0, 0, 0, 0, 10.0, 5.0, 0, n, n},
        // Lines (5, t sin 20, t cos 20) and their turn by -90 degrees meet closest at t = -0.908.
        {"tetramer", 26, 4, 5.0, -20, 0, -27.94, 6.848, 5.0, 20, n, n},
        {"single helix", 26, 1, 5.0, 20, 0, n, n, 5.0, 20, n, n},
        {"coiled-coil dimer", 29, 2, 4.9, 0, 150, 21.8, n, n, 10.9, 4.9, 150},
    };
    for (const Case& c : cases) {
        const BundleGeometry g = bundle_geometry(helix(c.residues, c.radius, c.tilt, c.pitch), c.protomers);
        const auto near = [](double got, double want, double within) {
            return std::isnan(want) ? true : std::fabs(got - want) <= within;
        };
        EXPECT_TRUE(near(g.crossingAngle, c.crossing, 0.3) && std::isnan(g.crossingAngle) == (c.protomers < 2))
            << c.what << ": " << g.crossingAngle;
        EXPECT_TRUE(near(g.axisDistance, c.distance, 0.02)) << c.what << ": " << g.axisDistance;
        EXPECT_TRUE(near(g.axisRadius, c.axisRadius, 0.02)) << c.what << ": " << g.axisRadius;
        EXPECT_TRUE(near(g.tilt, c.expectedTilt, 0.3)) << c.what << ": " << g.tilt;
        EXPECT_EQ(g.winds, !std::isnan(c.superRadius)) << c.what;
        EXPECT_TRUE(near(g.supercoilRadius, c.superRadius, 0.2) && near(g.supercoilPitch, c.superPitch, 5))
            << c.what << ": " << g.supercoilRadius << ", " << g.supercoilPitch;
    }
}

// Residue 8's heavy atom lies 4.4 Angstrom from one of the other protomer;
// residue 7's heavy atom and residue 9's hydrogen lie nearer to that protomer's hydrogen only.
TEST(BundleGeometry, InterfaceResiduesByHeavyAtomsOnly) {
    const std::vector<std::vector<Point>> dimer = {{{0, 0, 0}, {10, 0, 0}, {10, 5, 0}}, {{4.4f, 0, 0}, {30, 0, 0}, {11, 4, 0}}};
    EXPECT_EQ(interface_residues(dimer, {8, 7, 9}, {1, 1, 0}), std::vector<int>({8}));
}

}  // namespace
