// The ideal geometry of the twenty amino acids, as data: the backbone's bond
// lengths and angles, and each residue's other atoms (heavy atoms, then
// hydrogens, in the order PDB files list them) as internal coordinates: the
// atom it is bonded to, the bond length, one bond angle, and a dihedral that
// is fixed, follows a side-chain torsion chi, or follows from a second bond
// angle at a chiral centre. Every value names its source in ideal_geometry.cpp.
#pragma once
#include <vector>

namespace ideal {

// The peptide backbone (the same for every residue type).
struct Backbone {
    double nCa, caC, cN, cO, cOxt, nH;          // bond lengths, Angstrom
    double nCaC, caCN, cNCa, caCO, caCOxt;      // bond angles, degrees
    double phi, psi, omega;                     // the alpha-helix, degrees
};
const Backbone& backbone();

enum class Dihedral {
    fixed,        // value is the dihedral
    chi1, chi2, chi3, chi4,  // the rotamer's chi plus value
    chiralPlus,   // value is a second bond angle (dihedralAtom-parent-atom);
    chiralMinus,  // the dihedral is the positive or negative one that gives it
};

// One atom placed from three earlier ones: dihedral dihedralAtom - angleAtom
// - parent - name, bond angle angleAtom - parent - name.
struct InternalAtom {
    const char* name;
    const char* parent;
    double bond;
    const char* angleAtom;
    double angle;
    const char* dihedralAtom;
    Dihedral kind;
    double value;
};

// Everything but N, CA, C, O (and the amide H, OXT, which need the
// neighbouring residues): CB or the glycine alpha protons first.
struct ResidueGeometry {
    char code;         // one-letter code
    const char* name;  // three-letter PDB name
    std::vector<InternalAtom> atoms;
};

// The residue with this one-letter code, or nullptr.
const ResidueGeometry* residue_geometry(char code);
// All twenty, in alphabetical order of their one-letter codes.
const std::vector<ResidueGeometry>& residue_geometries();

}  // namespace ideal
