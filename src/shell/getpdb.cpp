#include "shell/getpdb.h"

#include <fstream>

#include "shell/program.h"
#include "run/run.h"
#include "run/score.h"
#include "base/text.h"
#include "safety/workdir.h"

// Defined in this order, so constructed in this order.
Parameter param;
Helix helix;
Helix helix2;
Restraint res;
Getpdb getpdb;

// Held until the process ends: one run or search at a time in a working folder.
static WorkLock workLock;

void Parameter::read_param(const char* path) {
    check(load_param(path, *this));
    check(lock_work_folder(workDir, workLock));
    remove_dead_run_temporaries(*this);
}

void Helix::read_pdb() { check(load_helix(param.workDir + "/check_pdb.log", param.pdbFile, *this)); }

void Helix::move_zaxis() { align_on_z(coord, numResidue, center, angle); }

void Helix::rotate(const float angle[3], Point* output) const { rotate_points(coord.data(), angle, output, numPoint()); }

void Helix::rotate(const Point* input, const float angle[3], Point* output, int n) {
    rotate_points(input, angle, output, n);
}

void Helix::transit(const Point* input, Point* output, const float shift[3]) const {
    shift_points(input, output, shift, numPoint());
}

void Helix::transit(const Point* input, Point* output, const float shift[3], int n) {
    shift_points(input, output, shift, n);
}

void Restraint::read_restraint() {
    std::ifstream in;
    if (!open_input(in, param.noeFile)) fail(cannot_open(param.noeFile));
    for (std::string line; std::getline(in, line);) process_unambiguous(line);
    check(count_status(*this, param.noeFile, most_restraints(param.noeModel)));
    apply_noe_model(param.noeModel, residue_names(helix), *this);
}

void Restraint::process_unambiguous(std::string& line) {
    RestraintLine parsed;
    check(parse_restraint_line(line, param.noeFile, helix.resNum, param.pairDistance, param.pairTolerance, parsed));
    add_restraint(*this, parsed, most_restraints(param.noeModel));
}

void check_restraint(const Point* model, int* flags) {
    placed_flags(model, helix2.coord, res, param.numProtomer, flags);
}

float scoring_function(const CandidateRow& row) {
    return placed_score(helix, helix2.coord, res, param.numProtomer, row);
}

void Getpdb::get_structure() { check(run_candidates(param, helix, res)); }

void Getpdb::read_cs(const std::string& path, CandidateTable& table) { check(load_candidates(path, table)); }

void Getpdb::sort_csv(const CandidateTable& table, std::vector<float>& scores) {
    check(rank_candidates(param, helix, res, table, scores));
}

void Getpdb::write_pdb() { check(write_structures(param)); }

void Getpdb::determine_direction(const CandidateTable& table) {
    check(write_restraint_report(param, helix, res, table));
}
