// Scripts that open an ensemble in a molecular viewer with the restraints of
// model 1 drawn between their stand-in atoms: view.pml for PyMOL (distance
// objects, violated ones red) and view.cxc for ChimeraX with a pseudobond
// file (one line per restraint, red when violated). Both expect to be run
// from the folder that holds the ensemble and refer to it by name.
#pragma once
#include <string>
#include <vector>

// One restraint as drawn: its two atoms in model 1 and whether it is violated.
struct DrawnRestraint {
    int line;  // in the restraint file, naming the drawing
    std::string chain1, atom1, chain2, atom2;
    int residue1, residue2;
    bool violated;
};

// The PyMOL script: ensemblePdb loaded as object "ensemble", cartoon coloured
// by chain, one distance object "noe_L<line>" per restraint.
std::string pymol_script(const std::string& ensemblePdb, const std::vector<DrawnRestraint>& restraints);

// The ChimeraX pseudobond file: lines "#1.1/A:9@CB #1.1/B:5@CA colour" after
// "; radius", "; dashes" and "; halfbond" settings.
std::string chimerax_pseudobonds(const std::vector<DrawnRestraint>& restraints);

// The ChimeraX command script that opens the ensemble and the pseudobonds.
std::string chimerax_script(const std::string& ensemblePdb, const std::string& pseudobondFile);
