// The helix record: two points per residue (CA at 2k, the side-chain point
// CB or HA2 at 2k+1), the reader of check_pdb.log and of the helix PDB file,
// the residue runs both the reader and the preparation count, and the
// alignment of the helix axis on +z.
#pragma once
#include <istream>
#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "base/status.h"

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

    // The run's stages on this record, defined by the run's shell over the
    // functions below.
    void read_pdb();
    void move_zaxis();
    void rotate(const float angle[3], Point* output) const;
    static void rotate(const Point* input, const float angle[3], Point* output, int n);
    void transit(const Point* input, Point* output, const float shift[3]) const;
    static void transit(const Point* input, Point* output, const float shift[3], int n);

    int numPoint() const { return 2 * numResidue; }
};

// The three-letter residue name of each position, from its CA line
// (columns 18-20, blanks trimmed).
std::vector<std::string> residue_names(const Helix& helix);

// An error when the PDB text holds chains of one sequence more than once
// (the whole oligomer rather than its helix), naming them; key: the
// parameter file's key the path came from.
Status one_copy_of_each_chain(const std::string& pdbText, const std::string& path, const std::string& key);

// Reads the residue count from the log file and the helix from the PDB file.
Status load_helix(const std::string& logPath, const std::string& pdbPath, Helix& helix);

// Reads the two integers of check_pdb.log; missing ones read as 0.
void parse_check_log(std::istream& in, int& numResidue, int& checkAux);

// Reads helix.numResidue residues from PDB text; pdbPath names it in messages.
Status parse_helix_pdb(std::istream& in, const std::string& pdbPath, Helix& helix);

// A residue is a run of ATOM lines with one residue number, whatever lies
// between them; true when this ATOM line starts a new one.
class ResidueRuns {
public:
    bool starts_residue(int number) {
        const bool starts = !started_ || number != current_;
        started_ = true;
        current_ = number;
        return starts;
    }

private:
    bool started_ = false;
    int current_ = 0;
};

// Residues and ATOM lines of PDB text, counted as the reader counts them.
void count_residues(const std::string& pdbText, int& residues, int& atoms);

// Centres points (CA at even indices) and turns the axis onto +z; returns
// the centroid and the angle triple through center and angle.
void align_on_z(std::vector<Point>& points, int numResidue, float center[3], float angle[3]);
