// The helix model: two points per residue (CA at 2k, the side-chain point CB
// or HA2 at 2k+1), its PDB reader, the rigid-body transforms and the
// alignment of the helix axis on +z.
#pragma once
#include <cmath>
#include <istream>
#include <string>
#include <vector>

#include "status.h"

struct Point {
    float x, y, z;
};

// R = Z(psi) X(theta) Z(phi); entries computed in double, stored as float.
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

// One step of the symmetric oligomer, 6.283186 / numProtomer rounded to float.
float step_angle(int numProtomer);

// Distance with float differences and sum of squares. The float square root
// is the double one rounded to float: double has more than twice the digits.
inline float distance(Point a, Point b) {
    float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    float sum = (dx * dx + dy * dy) + dz * dz;
    return std::sqrt(sum);
}

class Helix {
public:
    int numResidue;
    int checkAux;
    std::vector<int> resNum;            // PDB residue number of position k
    std::vector<Point> coord;           // 2 * numResidue points
    float center[3];                    // CA centroid removed by move_zaxis
    float angle[3];                     // phi, theta, psi applied by move_zaxis
    std::vector<std::string> atomLine;  // the PDB line behind each point

    Helix() : numResidue(0), checkAux(0), center{0, 0, 0}, angle{0, 0, 0} {}

    // Fills the helix from workDir/check_pdb.log and pdbFile; ends the run on failure.
    void read_pdb();
    // Centres the helix on its CA centroid and turns its axis onto +z.
    void move_zaxis();

    // output[i] = R coord[i] for the helix's own 2 * numResidue points.
    void rotate(const float angle[3], Point* output) const;
    // output[i] = R input[i] for i < n.
    static void rotate(const Point* input, const float angle[3], Point* output, int n);
    // output[i] = input[i] + shift for the helix's 2 * numResidue points.
    void transit(const Point* input, Point* output, const float shift[3]) const;
    // output[i] = input[i] + shift for i < n; output may be input.
    static void transit(const Point* input, Point* output, const float shift[3], int n);

    int numPoint() const { return 2 * numResidue; }
};

// Reads the residue count from the log file and the helix from the PDB file.
Status load_helix(const std::string& logPath, const std::string& pdbPath, Helix& helix);

// Reads the two integers of check_pdb.log; missing ones read as 0.
void parse_check_log(std::istream& in, int& numResidue, int& checkAux);

// Reads helix.numResidue residues from PDB text; pdbPath names it in messages.
Status parse_helix_pdb(std::istream& in, const std::string& pdbPath, Helix& helix);

// Centres points (CA at even indices) and turns the axis onto +z; returns
// the centroid and the angle triple through center and angle.
void align_on_z(std::vector<Point>& points, int numResidue, float center[3], float angle[3]);

