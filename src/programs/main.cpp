// noebundle: ranks the candidate placements of a helix in a symmetric
// oligomer against distance restraints and writes every oligomer. All
// settings come from the parameter file, its one argument.
#include "shell/getpdb.h"
#include "shell/program.h"

static const char* const usage =
    "Usage: noebundle PARAMETER_FILE\n"
    "Scores candidate placements of one helix in a symmetric oligomer against\n"
    "inter-protomer distance restraints, ranks them, and writes every\n"
    "candidate's oligomer as a PDB file. All settings are in PARAMETER_FILE.";

int main(int argc, char** argv) {
    if (answered_standard_options(argc, argv, "noebundle", usage)) return 0;
    param.read_param(argv[1]);
    helix.read_pdb();
    helix.move_zaxis();
    helix2.read_pdb();
    res.read_restraint();
    getpdb.get_structure();
    return 0;
}
