// Side chains packed in the oligomer: for one placement, each residue near
// another protomer takes the conformation, among its own and the rotamers
// of model/rotamers.h, that gives the lowest packing energy (contacts.h, a
// soft repulsion near van der Waals contact and a reward for each pair
// within 5.5 A), the same in every protomer, as the oligomer is symmetric.
// Residues that can come no closer than 5.5 A to another protomer keep their
// conformation.
// Rotamers are made by turning the template's own side chain about its chi
// bonds, so bond lengths and angles, and the hydrogens, stay the template's.
#pragma once
#include <vector>

#include "formats/candidates.h"
#include "geometry/geometry.h"
#include "run/oligomer.h"
#include "search/contacts.h"

class SideChainPacker {
public:
    SideChainPacker(const Template& tmpl, int numProtomer);
    // The template's points with the side chains chosen for this placement.
    std::vector<Point> pack(const CandidateRow& row) const;
    // The packing energy of the placement with these points (packing_units).
    PackingUnits energy(const std::vector<Point>& points, const CandidateRow& row) const;
    // Residues with more than one conformation to choose from.
    std::size_t choices() const;

private:
    struct Residue {
        std::vector<std::size_t> atoms;          // template indices
        std::vector<std::size_t> heavy;          // which of them are heavy
        std::vector<std::vector<Point>> shapes;  // the own conformation first, then the rotamers kept
        std::size_t centre = 0;                  // the CA
        float reach = 0;                         // the farthest atom of any shape from the CA
    };
    struct Partner {
        std::size_t residue;
        int protomer;
    };
    // The energy of residue r placed as shape (every protomer) against its
    // partners in the other protomers as they are placed.
    PackingUnits residue_energy(std::size_t r, const Oligomer& placed, const Oligomer& shape,
                                const std::vector<Partner>& partners) const;
    std::vector<Point> points_;
    // The sum of two template atoms' radii, where their repulsion starts (less the give).
    float contact(std::size_t a, std::size_t b) const { return kinds_.radius[a] + kinds_.radius[b]; }
    AtomKinds kinds_;
    std::vector<char> moving_;  // atoms a rotamer moves (beyond CB)
    std::vector<Residue> residues_;
    std::vector<int> residueOf_;
    int numProtomer_;
};
