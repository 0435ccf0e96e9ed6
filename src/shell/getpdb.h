// The run's shell: the five global objects and the stages a run goes
// through, by their established names, each a few lines over the layers
// below. This file and the programs are the only places that end the
// process on failure.
#pragma once
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "geometry/geometry.h"
#include "formats/helix.h"
#include "formats/parameter.h"
#include "formats/restraint.h"

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

// Places helix by the candidate, builds its neighbour in helix2 and scores.
float scoring_function(const CandidateRow& row);
// For each restraint, the closer side in the placed model (helix2 as scratch).
void check_restraint(const Point* model, int* flags);
