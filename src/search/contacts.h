// Contacts between the protomers of an oligomer of one helix: which template
// atoms are backbone (N, CA, C, O) and which are heavy (not hydrogen), the
// closest approach of backbone atoms, and the packing energy
//   E = 100 * sum of (c - d)^2 over heavy-atom pairs closer than c
//       - the number of heavy-atom pairs closer than 5.5 A (packingReach),
// where c, the start of a pair's repulsion, lies repulsionGive beyond van der
// Waals contact: c = r1 + r2 + 0.2 A with Bondi's radii (two carbons 3.6 A,
// a carbon and an oxygen 3.42 A, a nitrogen and an oxygen 3.27 A).
// Pairs join protomer 1 to each other protomer: in a symmetric oligomer
// they stand for every pair of protomers. An oligomer is given as the points
// of each protomer (protomer 1 first, the same atoms in the same order, as
// place_oligomer makes them) with one flag per atom.
// Distances are those of geometry.h (float). Each term of E is rounded to a
// multiple of 2^-24 and the terms are summed as integers, so that E does not
// depend on the order of the pairs: the plain functions and the ContactModel,
// which skips far residues for speed, agree bit for bit.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "run/oligomer.h"

// Backbone atoms of different protomers clash when they overlap by
// clashOverlap or more of their van der Waals radii (Bondi's: C 1.70,
// N 1.55, O 1.52 A), what all-atom contact analysis counts as a serious
// clash: two carbons closer than 3.0 A, a carbon and an oxygen closer than
// 2.82 A. Glycophorin A's glycine contact, where a CA of one helix meets a
// carbonyl O of the other, comes to 0.36 A of overlap in the closest of its
// 20 NMR models; coiled coils keep their backbones 5.4 A apart and more. A
// looser rule lets many restraints pull the helices into one another.
constexpr float clashOverlap = 0.4f;
// The farthest apart two backbone atoms can clash: two carbons.
constexpr float clashDistance = 3.0f;
// The rule as the messages print it.
constexpr const char* clashText = "overlapping by 0.4 \u00c5 or more of their van der Waals radii";
// Repulsion starts this far beyond van der Waals contact. Heavy atoms alone
// stand for the groups they carry: a CH2 or CH3 is larger than a bare carbon
// (1.88 A against Bondi's 1.70 A among the radii Tsai et al., J. Mol. Biol.
// 290:253, 1999, measured in protein cores). The give was chosen on the
// structures the README sets apart for choosing, over two carbons repelling
// from 3.4 to 3.8 A.
constexpr float repulsionGive = 0.2f;
// Pairs of heavy atoms closer than this count as contacts, the attraction of
// E. Two methyl groups attract (united-atom OPLS: sigma 3.905 A, the minimum
// at 4.38 A) with more than half the well's depth out to about 5.38 A, so a
// contact reaches about as far as their attraction does. Chosen, as
// repulsionGive was, on the structures set apart for choosing, among reaches
// from 4.5 to 6.0 A.
constexpr float packingReach = 5.5f;
// The van der Waals radius (Bondi 1964) of an element as atom_kinds reads
// it (upper case): C 1.70, N 1.55, O 1.52, S 1.80 A; 1.70 for any other.
float vdw_radius(const std::string& element);

// Per template atom (one per ATOM line): 1 for backbone or heavy atoms, and
// the heavy atoms' radii.
struct AtomKinds {
    std::vector<char> backbone, heavy;
    std::vector<float> radius;  // vdw_radius of each heavy atom, 0 for hydrogens
    bool sideChains = false;    // a heavy atom other than N, CA, C, O, OXT and CB
};
// Atom name from columns 13-16, element from columns 77-78 (from the name
// when those are blank); hydrogen and deuterium are the light atoms.
AtomKinds atom_kinds(const std::vector<std::string>& lines);

// The smallest distance between a backbone atom of protomer 1 and one of
// another protomer; infinity with fewer than two protomers.
float closest_backbone(const std::vector<std::vector<Point>>& protomers, const std::vector<char>& backbone);
// Does a backbone atom of protomer 1 clash with one of another protomer?
bool backbones_clash(const std::vector<std::vector<Point>>& protomers, const AtomKinds& kinds);

// E in units of 2^-24, exact and independent of the order of the pairs.
using PackingUnits = std::int64_t;
PackingUnits packing_units(const std::vector<std::vector<Point>>& protomers, const AtomKinds& kinds);
double packing_energy(PackingUnits units);
// The term of E of one pair of heavy atoms at distance d whose radii sum to contact.
PackingUnits pair_units(float d, float contact);

// The two measures for many placements of one template: one rotation, then
// any number of radii. Places protomers with the arithmetic of
// place_oligomer and checks only residues that can come close enough.
// One model serves many threads, each with a Scratch of its own.
class ContactModel {
public:
    ContactModel(const Template& tmpl, int numProtomer);
    struct Scratch {
        std::vector<Point> rotated, first, other;
    };
    Scratch scratch() const;
    bool side_chains() const { return sideChains_; }
    // Protomer 1 turned by the rotation of a placement, before its shift.
    void rotate(const Rotation& r, Scratch& s) const;
    // After rotate: do backbone atoms clash when protomer 1 sits at this
    // radius? The same as backbones_clash.
    bool clashes(float radius, Scratch& s) const;
    // After rotate: packing_units of the oligomer at this radius.
    PackingUnits packing(float radius, Scratch& s) const;

private:
    // A residue's heavy atoms, backbone first: [begin, end) in points_,
    // [begin, backboneEnd) the backbone; centre is one of its atoms.
    struct Group {
        std::size_t begin, backboneEnd, end, centre;
        float reach, backboneReach;  // largest distance from the centre, plus a margin
    };
    // Calls visit(d, i, j) for every pair of protomer 1's atom i and
    // another protomer's atom j of the chosen kind closer than cutoff, until
    // visit returns false; false then.
    template <class Visit>
    bool pairs(float radius, bool backboneOnly, float cutoff, Scratch& s, Visit visit) const;
    std::vector<Point> points_;  // the template's heavy atoms by group
    std::vector<float> radius_;  // vdw_radius of each
    std::vector<Group> groups_;
    std::vector<Rotation> turns_;  // of protomers 2, 3, ...
    float extent_ = 0;             // largest distance of a template atom from the origin
    bool sideChains_ = false;
};
