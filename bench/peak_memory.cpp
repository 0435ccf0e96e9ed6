// Peak memory of a run without its structure files: every stage but the
// writer, on the parameter file given. Prints the peak resident set in MB.
//
// Usage: peak_memory PARAMETER_FILE
#include <cstdio>

#include <sys/resource.h>

#include "shell/getpdb.h"
#include "run/oligomer.h"
#include "run/parallel.h"
#include "shell/program.h"
#include "run/rank.h"
#include "run/report.h"
#include "run/run.h"
#include "run/score.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    param.read_param(argv[1]);
    helix.read_pdb();
    helix.move_zaxis();
    helix2.read_pdb();
    res.read_restraint();
    CandidateTable table;
    std::vector<float> scores;
    getpdb.read_cs(param.workDir + "/" + param.proteinName + ".cs", table);
    getpdb.sort_csv(table, scores);
    if (param.numProtomer > 2) getpdb.determine_direction(table);
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "candidates %zu, peak memory %.1f MB\n", table.size(), usage.ru_maxrss / 1024.0);
    return 0;
}
