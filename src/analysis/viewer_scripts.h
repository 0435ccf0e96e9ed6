// Scripts that open an ensemble in a molecular viewer with the restraints of
// model 1 drawn between their stand-in atoms: view.pml for PyMOL (distance
// objects, violated ones red) and view.cxc for ChimeraX with a pseudobond
// file (one line per restraint, red when violated). Both expect to be run
// from the folder that holds the ensemble and refer to it by name.
#pragma once
#include <string>
#include <vector>

#include "analysis/run_data.h"
#include "analysis/violations.h"
#include "run/oligomer.h"

// One restraint as drawn: its two atoms in model 1 and whether it is violated.
struct DrawnRestraint {
    int line;  // in the restraint file, naming the drawing
    std::string chain1, atom1, chain2, atom2;
    int residue1, residue2;
    bool violated;
};

// The run's restraints as structure 1 joins them (checks), violated above threshold or not.
std::vector<DrawnRestraint> drawn_restraints(const RunData& run, const std::vector<RestraintCheck>& checks, float threshold);

// The PyMOL script: ensemblePdb loaded as object "ensemble", its helices
// drawn from the file's HELIX records, cartoon coloured by chain on white,
// one distance object "noe_L<line>" per restraint (group "restraints"), their
// labels hidden, the bundle axis (z) upright and the camera looking along
// -facing onto the bundle.
std::string pymol_script(const std::string& ensemblePdb, const std::vector<DrawnRestraint>& restraints,
                         const Point& facing);

// Where to look from onto the restraints of protomers 1 and 2 (a unit vector
// across the bundle axis): out through their interface, or for a dimer
// across the line joining the two.
Point interface_direction(const Oligomer& structure);

// The model ChimeraX gives structure 1 of a file of `models` models: "#1"
// when there is one, else its submodel "#1.1".
std::string chimerax_model(int models);

// The ChimeraX pseudobond file: lines "#1.1/A:9@CB #1.1/B:5@CA colour" (or
// "#1/..." for one model) after "; radius", "; dashes" and "; halfbond" settings.
std::string chimerax_pseudobonds(const std::vector<DrawnRestraint>& restraints, int models);

// The ChimeraX command script that opens the ensemble and the pseudobonds
// and shows the atoms they join (ChimeraX draws a pseudobond only between
// shown atoms).
std::string chimerax_script(const std::string& ensemblePdb, const std::string& pseudobondFile,
                            const std::vector<DrawnRestraint>& restraints, int models);
