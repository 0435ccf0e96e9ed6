// The run: the global objects, the float comparison shared by the stages,
// and the candidate stages of Getpdb (read, score and rank the candidates,
// write the oligomers, the ranking table and the restraint report).
#pragma once
#include <array>
#include <istream>
#include <string>
#include <vector>

#include "helix.h"
#include "parameter.h"
#include "restraint.h"
#include "status.h"

// phi, theta, psi (radians), then the shift radius, shift_y, shift_z (Angstrom).
using CandidateRow = std::array<float, 6>;
using CandidateTable = std::vector<CandidateRow>;

class Getpdb {
public:
    void get_structure();
    void read_cs(const std::string& path, CandidateTable& table);
    void sort_csv(const CandidateTable& table, std::vector<float>& scores);
    void write_pdb();
    void determine_direction(const CandidateTable& table);
};

extern Parameter param;
extern Helix helix;
extern Helix helix2;
extern Restraint res;
extern Getpdb getpdb;

// True when a and b differ by less than 1e-6.
bool fequal(float a, float b);
// qsort comparator for floats built on fequal.
int acompare(const void* p, const void* q);

// The whole program: arguments in, exit status out.
int noebundle_main(int argc, char** argv);

// ------------------------------------------------ candidates and scoring

// One candidate line: four 10-character columns; shift_y and shift_z are 0.
CandidateRow parse_candidate_line(const std::string& line);
// Reads every line; a line shorter than 30 characters is a wrong format.
Status parse_candidates(std::istream& in, const std::string& path, CandidateTable& table);
// The written form: phi, theta, psi, radius as %10.3f, no line feed.
std::string candidate_line(const CandidateRow& row);

// Squared excess of d over the bounds, 0 inside them.
float violation(float d, float lower, float upper);
// Root mean square of the better pairing of each restraint.
float restraint_score(const Restraint& res, const Point* model, const Point* turned);
// Places helix by the candidate, builds its neighbour in helix2 and scores.
float scoring_function(const CandidateRow& row);

// For each rank, the row of the table: the first unused row whose score
// fequals the sorted score; ranks left without one take the unused rows in
// file order.
std::vector<int> rank_map(const std::vector<float>& scores, const std::vector<float>& sorted);

// ------------------------------------------------ structures and reports

// The ATOM lines of origin.pdb (padded to 78 characters) and their points.
struct Template {
    std::vector<std::string> lines;
    std::vector<Point> points;
};
Template parse_template(std::istream& in);

// The whole PDB text of one oligomer placed by phi, theta, psi and radius.
std::string oligomer_pdb(const Template& tmpl, const CandidateRow& row, int numProtomer);

// One row of the ranking table: rank in 4 columns, score as %9.3f.
std::string table_row(std::size_t rank, float score);

// The closing line of a run.
std::string done_line(std::size_t count, const std::string& workDir);

// The summed votes of every candidate for each restraint (see check_restraint).
std::vector<int> restraint_votes(const CandidateTable& table);

// One line of the restraint report for a non-zero vote sum.
std::string report_line(const Restraint& res, int i, const std::vector<int>& resNum, int sum,
                        int numProtomer);
