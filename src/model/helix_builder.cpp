#include "model/helix_builder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "model/ideal_geometry.h"
#include "geometry/place.h"
#include "model/rotamers.h"

using namespace ideal;

namespace {

const char* const alphabet = "ACDEFGHIKLMNPQRSTVWY";

// The atoms of one residue, by name, in the order they were placed.
struct Placed {
    std::vector<std::pair<std::string, Vec>> atoms;
    Vec at(const std::string& name) const {
        for (const auto& [n, p] : atoms)
            if (n == name) return p;
        return {0, 0, 0};  // the table only names atoms placed before
    }
};

double dihedral_of(const InternalAtom& a, const Rotamer* rot, const Placed& r) {
    switch (a.kind) {
        case Dihedral::fixed: return a.value;
        case Dihedral::chi1: return rot->chi[0] + a.value;
        case Dihedral::chi2: return rot->chi[1] + a.value;
        case Dihedral::chi3: return rot->chi[2] + a.value;
        case Dihedral::chi4: return rot->chi[3] + a.value;
        default:
            return chiral_dihedral(r.at(a.angleAtom), r.at(a.parent), r.at(a.dihedralAtom), a.angle, a.value,
                                   a.kind == Dihedral::chiralPlus);
    }
}

// The residue's backbone N, CA, C, O, then its table's atoms in rotamer rot.
Placed place_residue(const ResidueGeometry& g, const Rotamer* rot, Vec n, Vec ca, Vec c, Vec o) {
    Placed r;
    r.atoms = {{"N", n}, {"CA", ca}, {"C", c}, {"O", o}};
    for (const InternalAtom& a : g.atoms)
        r.atoms.push_back({a.name, place(r.at(a.dihedralAtom), r.at(a.angleAtom), r.at(a.parent), a.bond, a.angle,
                                         dihedral_of(a, rot, r))});
    return r;
}

// Atoms a rotamer moves: all but the backbone, CB and the alpha protons.
bool moves(const std::string& name) {
    return name != "N" && name != "CA" && name != "C" && name != "O" && name != "CB" && name.compare(0, 2, "HA") != 0;
}

// Pairs closer than 2 A between the atoms residue i's rotamer moves and the
// residues around it: all atoms before it, the backbone after it (whose side
// chains then make room), the 1-3 pair of a proline's CD and the C before it
// excepted).
int clashes(const std::vector<Placed>& residues, int i) {
    int count = 0;
    const int n = static_cast<int>(residues.size());
    for (const auto& [name, p] : residues[i].atoms) {
        if (!moves(name)) continue;
        for (int j = std::max(0, i - 6); j < std::min(n, i + 7); ++j)
            for (const auto& [other, q] : residues[j].atoms) {
                // Its own C, O and alpha protons are four bonds or more away.
                const bool own = other == "C" || other == "O" || other.compare(0, 2, "HA") == 0;
                if ((j < i || (j > i && !moves(other))) || own) count += distance(p, q) < 2.0 && !(name == "CD" && j == i - 1 && other == "C");
            }
    }
    return count;
}

void add(std::vector<BuiltAtom>& out, const char* name, const char* residue, int number, Vec p) {
    out.push_back({name, residue, number, p.x, p.y, p.z});
}

}  // namespace

Status parse_first(const std::string& text, long& first) {
    char* end = nullptr;
    errno = 0;
    first = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])) || *end != '\0' || errno == ERANGE)
        return Status::error("[Error] --first takes a residue number, not '" + text + "'");
    return Status::fine();
}

Status check_sequence(const std::string& sequence, long first) {
    if (sequence.empty()) return Status::error("[Error] The sequence of --sequence is empty");
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const unsigned char c = sequence[i];
        if (c != 0 && std::strchr(alphabet, c) != nullptr) continue;
        char shown[16];
        std::snprintf(shown, sizeof shown, std::isgraph(c) ? "'%c'" : "byte 0x%02X", c);
        return Status::error("[Error] Letter " + std::string(shown) + " at position " + std::to_string(i + 1) +
                             " of the sequence is not one of the 20 amino acids " + alphabet);
    }
    const long n = static_cast<long>(sequence.size());
    if (n < 5 || n > 5000)
        return Status::error("[Error] The sequence has " + std::to_string(n) + " residues; a helix has 5 to 5000");
    if (first < -999 || first > 9999 - (n - 1))
        return Status::error("[Error] Residues numbered from " + std::to_string(first) + " to " +
                             std::to_string(first + n - 1) + " do not fit the PDB columns (-999 to 9999)");
    return Status::fine();
}

std::vector<BuiltAtom> build_ideal_helix(const std::string& sequence, int first) {
    const Backbone& b = backbone();
    const int n = static_cast<int>(sequence.size());
    // The backbone, with the C before the first residue and the N after the
    // last where a longer helix would have them.
    std::vector<Vec> N(n + 1), CA(n), C(n);
    N[0] = {0, 0, 0};
    CA[0] = {b.nCa, 0, 0};
    C[0] = CA[0] + b.caC * Vec{-std::cos(b.nCaC * degree), std::sin(b.nCaC * degree), 0};
    const Vec before = place(C[0], CA[0], N[0], b.cN, b.cNCa, b.phi);
    for (int i = 0; i < n; ++i) {
        N[i + 1] = place(N[i], CA[i], C[i], b.cN, b.caCN, b.psi);
        if (i + 1 == n) break;
        CA[i + 1] = place(CA[i], C[i], N[i + 1], b.nCa, b.cNCa, b.omega);
        C[i + 1] = place(C[i], N[i + 1], CA[i + 1], b.caC, b.nCaC, b.phi);
    }
    // Every residue in its first rotamer, then, from the first residue on,
    // each that clashes in the one of its rotamers that clashes least (the
    // first of equals).
    std::vector<Placed> residues;
    std::vector<const RotamerSet*> sets;
    for (int i = 0; i < n; ++i) {
        sets.push_back(helix_rotamers(sequence[i]));
        const Rotamer* rot = sets[i]->rotamers.empty() ? nullptr : &sets[i]->rotamers[0];
        const Vec o = place(N[i + 1], CA[i], C[i], b.cO, b.caCO, 180);
        residues.push_back(place_residue(*residue_geometry(sequence[i]), rot, N[i], CA[i], C[i], o));
    }
    for (int i = 0; i < n; ++i) {
        if (sets[i]->rotamers.size() < 2 || clashes(residues, i) == 0) continue;
        Placed best = residues[i];
        int fewest = clashes(residues, i);
        for (const Rotamer& rot : sets[i]->rotamers) {
            residues[i] = place_residue(*residue_geometry(sequence[i]), &rot, N[i], CA[i], C[i], residues[i].at("O"));
            const int count = clashes(residues, i);
            if (count < fewest) {
                best = residues[i];
                fewest = count;
            }
        }
        residues[i] = best;
    }
    std::vector<BuiltAtom> out;
    for (int i = 0; i < n; ++i) {
        const char* name = residue_geometry(sequence[i])->name;
        const int number = first + i;
        for (const auto& [atom, p] : residues[i].atoms)
            if (atom[0] != 'H') add(out, atom.c_str(), name, number, p);
        if (i + 1 == n) add(out, "OXT", name, number, place(N[i], CA[i], C[i], b.cOxt, b.caCOxt, b.psi));
        if (sequence[i] != 'P') {
            // The amide proton in the peptide plane, bisecting C-N-CA's outer angle.
            const Vec previous = i == 0 ? before : C[i - 1];
            add(out, "H", name, number, place(CA[i], previous, N[i], b.nH, (360.0 - b.cNCa) / 2, 180));
        }
        for (const auto& [atom, p] : residues[i].atoms)
            if (atom[0] == 'H') add(out, atom.c_str(), name, number, p);
    }
    return out;
}

std::string helix_pdb_text(const std::vector<BuiltAtom>& atoms) {
    std::string text;
    int serial = 0;
    for (const BuiltAtom& a : atoms) {
        // Names shorter than four characters start in column 14, as PDB files write them.
        const std::string name = a.name.size() < 4 ? " " + a.name : a.name;
        char line[128];
        std::snprintf(line, sizeof line, "ATOM  %5d %-4.4s %-3.3s A%4d    %8.3f%8.3f%8.3f%6.2f%6.2f          %2c  ",
                      ++serial % 100000, name.c_str(), a.residue.c_str(), a.number, a.x, a.y, a.z, 1.0, 0.0,
                      a.name[0]);
        text += std::string(line).substr(0, 80) + "\n";
    }
    return text + std::string("END").append(77, ' ') + "\n";
}
