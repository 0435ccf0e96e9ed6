// The run: the global objects, the float comparison shared by the stages,
// and the candidate stages of Getpdb (read, score and rank the candidates,
// write the oligomers, the ranking table and the restraint report).
#pragma once
#include <array>
#include <functional>
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
// The running sum of a score: adds the smaller violation of the two pairings.
inline float add_better_pairing(float sum, float d1, float d2, float lower, float upper) {
    float u1 = violation(d1, lower, upper), u2 = violation(d2, lower, upper);
    return sum + (u2 < u1 ? u2 : u1);
}
// The score from the sum over count restraints: the root of the mean.
float root_mean(float sum, int count);
// Root mean square of the better pairing of each restraint.
float restraint_score(const Restraint& res, const Point* model, const Point* turned);
// Places helix by the candidate, builds its neighbour in helix2 and scores.
float scoring_function(const CandidateRow& row);

// Scores candidates as scoring_function does, bit for bit, but places only
// the points that restraints use, so the cost does not grow with the helix.
// One Scorer serves many threads, each with a Scratch of its own.
class Scorer {
public:
    Scorer(const Helix& aligned, const Restraint& res, int numProtomer);
    struct Scratch {  // one slot per restraint
        std::vector<float> ax, ay, az, bx, by, bz;  // the two ends rotated
        std::vector<float> d1, d2, better;
    };
    Scratch scratch() const;
    float score(const CandidateRow& row, Scratch& s) const;
    // The flags of check_restraint for this candidate.
    void flags(const CandidateRow& row, Scratch& s, int* flags) const;

    // The score in two steps, for many shifts of one rotation: the rotation
    // of the ends, then the score of each shift (x, y, z).
    void rotate_ends(const Rotation& r, Scratch& s) const;
    float score_rotated(const float shift[3], Scratch& s) const;

private:
    // Places both ends of every restraint and fills d1 and d2.
    void measure(const float shift[3], Scratch& s) const;
    std::size_t count_;
    Rotation step_;
    // Each restraint's two ends in the aligned helix, by coordinate, and its bounds.
    std::vector<float> ax_, ay_, az_, bx_, by_, bz_, lower_, upper_;
};

// Threads for scoring and for making structure files; 0 (the default) uses
// every core. Results do not depend on it.
void set_worker_count(int count);
int worker_count();

// Runs body(first, last) on consecutive slices of [0, n), one per worker,
// each of at least grain items.
void parallel_slices(std::size_t n, const std::function<void(std::size_t, std::size_t)>& body,
                     std::size_t grain = 256);

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
void append_oligomer_pdb(std::string& out, const Template& tmpl, const CandidateRow& row, int numProtomer);

// One row of the ranking table: rank in 4 columns, score as %9.3f.
std::string table_row(std::size_t rank, float score);

// The closing line of a run.
std::string done_line(std::size_t count, const std::string& workDir);

// The summed votes of every candidate for each restraint (see check_restraint).
std::vector<int> restraint_votes(const CandidateTable& table);

// One line of the restraint report for a non-zero vote sum.
std::string report_line(const Restraint& res, int i, const std::vector<int>& resNum, int sum,
                        int numProtomer);
