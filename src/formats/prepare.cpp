#include "formats/prepare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <zlib.h>

#include <gemmi/mmread.hpp>
#include <gemmi/modify.hpp>
#include <gemmi/resinfo.hpp>

#include "formats/coordinate_records.h"
#include "formats/helix.h"
#include "formats/side_chain_point.h"

namespace {

std::string residue_name(const gemmi::Residue& r, const std::string& chain, const std::string& path) {
    const std::string number = r.seqid.num.has_value() ? r.seqid.str() : "?";
    return "Residue " + r.name + " " + number + " of chain " + chain + " in '" + path + "'";
}

// An ATOM line of 80 characters; names shorter than four characters with a
// one-letter element start in column 14, as PDB files write them.
std::string atom_line(int serial, const gemmi::Atom& a, const gemmi::Residue& r, char chain) {
    std::string name = a.name;
    if (name.size() < 4 && a.element.uname()[1] == '\0') name = " " + name;
    char line[128];
    std::snprintf(line, sizeof line, "ATOM  %5d %-4.4s %-3.3s %c%4d    %8.3f%8.3f%8.3f%6.2f%6.2f          %2s  ",
                  serial % 100000, name.c_str(), r.name.c_str(), chain, r.seqid.num.value, a.pos.x, a.pos.y,
                  a.pos.z, a.occ, a.b_iso, a.element.uname());
    return std::string(line).substr(0, 80);
}

// Ions, ligands and water: left out of the helix.
bool is_polymer(const gemmi::Residue& r) {
    using gemmi::EntityType;
    if (r.entity_type == EntityType::NonPolymer || r.entity_type == EntityType::Water ||
        r.entity_type == EntityType::Branched || r.is_water())
        return false;
    return r.het_flag != 'H' || gemmi::find_tabulated_residue(r.name).is_amino_acid();
}

int count_atoms(const gemmi::Residue& r, const char* name) {
    int n = 0;
    for (const gemmi::Atom& a : r.atoms) n += a.name == name;
    return n;
}

// What the helix file can not hold about one residue, or an empty string.
std::string unwritable(const gemmi::Residue& r, int previous) {
    if (r.seqid.icode != ' ') return " has an insertion code, which the helix file can not hold";
    const int number = r.seqid.num.value;
    if (number < -999 || number > 9999) return " has a number too wide for PDB";
    if (number == previous) return " has the number of the residue before it";
    const int ca = count_atoms(r, "CA"), cb = count_atoms(r, "CB"), ha2 = count_atoms(r, "HA2");
    if (ca == 0) return " has no CA";
    if (cb + ha2 == 0) return " has neither CB nor HA2";
    if (ca > 1 || cb > 1 || ha2 > 1) return " has an atom name twice";
    if (cb + ha2 > 1) return " has both CB and HA2; the helix file takes one of them";
    for (const gemmi::Atom& a : r.atoms) {
        for (double v : {a.pos.x, a.pos.y, a.pos.z}) {
            if (!std::isfinite(v)) return ": atom " + a.name + " has a coordinate that is not a finite number";
            if (!(v > -999.9995 && v < 9999.9995)) return ": atom " + a.name + " lies too far out for PDB columns";
        }
    }
    return "";
}

// Reads a file, gzipped or not (zlib reads plain files as they are), up to the limit.
Status read_structure_bytes(const std::string& path, std::string& bytes) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return Status::error(cannot_open(path));
    char buffer[65536];
    int n;
    while ((n = gzread(file, buffer, sizeof buffer)) > 0 && bytes.size() <= maxStructureBytes) bytes.append(buffer, n);
    gzclose(file);
    if (bytes.size() > maxStructureBytes)
        return Status::error("[Error] '" + path + "' holds more than 1 GiB uncompressed, the most read");
    return n < 0 ? Status::error(wrong_format(path)) : Status::fine();
}

gemmi::CoorFormat format_of(const std::string& name, const std::string& bytes) {
    std::string base = name;
    if (gemmi::iends_with(base, ".gz")) base.resize(base.size() - 3);
    gemmi::CoorFormat format = gemmi::coor_format_from_ext(base);
    if (format == gemmi::CoorFormat::Unknown)
        format = gemmi::coor_format_from_content(bytes.data(), bytes.data() + bytes.size());
    return format;
}

std::string chain_names(const gemmi::Model& model) {
    std::vector<std::string> seen;
    std::string names;
    for (const gemmi::Chain& c : model.chains)
        if (std::find(seen.begin(), seen.end(), c.name) == seen.end()) {
            names += (seen.empty() ? "" : ", ") + c.name;
            seen.push_back(c.name);
        }
    return names;
}

// The residue names of a chain's polymer.
std::vector<std::string> sequence_of(const gemmi::Chain& chain) {
    std::vector<std::string> names;
    for (const gemmi::Residue& r : chain.residues)
        if (is_polymer(r)) names.push_back(r.name);
    return names;
}

Status helix_from_structure(gemmi::Structure& st, const std::string& path, const HelixChoice& choice,
                            std::string& pdbText, PreparationNotes* notes) {
    std::size_t atoms = 0;
    for (const gemmi::Model& m : st.models)
        for (const gemmi::Chain& c : m.chains)
            for (const gemmi::Residue& r : c.residues) atoms += r.atoms.size();
    if (atoms == 0) return Status::error(wrong_format(path));
    if (choice.model < 1 || choice.model > static_cast<int>(st.models.size()))
        return Status::error("[Error] Model " + std::to_string(choice.model) + " is not in '" + path + "'");
    gemmi::Model& model = st.models[choice.model - 1];
    gemmi::Chain* chain = nullptr;
    for (gemmi::Chain& c : model.chains)
        if (choice.chain.empty() || c.name == choice.chain) {
            chain = &c;
            break;
        }
    if (chain == nullptr)
        return Status::error("[Error] Chain " + (choice.chain.empty() ? std::string("(any)") : choice.chain) +
                             " is not in model " + std::to_string(choice.model) + " of '" + path +
                             "'; its chains are " + chain_names(model));
    gemmi::remove_alternative_conformations(*chain);
    std::string copies;  // the chains of the chosen one's sequence
    int count = 0;
    for (const gemmi::Chain& c : model.chains)
        if (sequence_of(c) == sequence_of(*chain)) copies += (count++ == 0 ? "" : ", ") + c.name;
    if (notes != nullptr) notes->sameSequenceChains = count, notes->sameSequenceNames = copies;

    pdbText.clear();
    int serial = 0, residues = 0, previous = -100000;
    const char chainId = chain->name.empty() ? 'A' : chain->name[0];
    for (gemmi::Residue& r : chain->residues) {
        if (!is_polymer(r)) continue;
        if (!r.seqid.num.has_value()) return Status::error("[Error] " + residue_name(r, chain->name, path) + " has no number");
        const int number = r.seqid.num.value;
        if (choice.range && (number < choice.first || number > choice.last)) continue;
        std::string problem;
        const std::string done = complete_side_chain_point(r, problem);
        if (problem.empty()) problem = unwritable(r, previous);
        if (!problem.empty()) return Status::error("[Error] " + residue_name(r, chain->name, path) + problem);
        for (const gemmi::Atom& a : r.atoms) pdbText += atom_line(++serial, a, r, chainId) + "\n";
        if (!done.empty() && notes != nullptr) notes->sideChainPoints.push_back("From '" + path + "': " + done);
        previous = number;
        ++residues;
    }
    const std::string where = "chain " + chain->name + " of '" + path + "'";
    if (residues == 0) return Status::error("[Error] No residue with a CA in " + where);
    if (residues < 5 || residues > 5000)
        return Status::error("[Error] " + std::to_string(residues) + " residues taken from " + where +
                             "; a helix has 5 to 5000");
    pdbText += std::string("END").append(77, ' ') + "\n";
    // The last guard: nothing is written that the helix reader would refuse.
    Helix h;
    count_residues(pdbText, h.numResidue, h.checkAux);
    std::istringstream in(pdbText);
    if (!parse_helix_pdb(in, path, h).ok())
        return Status::error("[Error] The helix taken from " + where + " can not be read back");
    return Status::fine();
}

}  // namespace

bool parse_range(const std::string& text, int& first, int& last) {
    char* end = nullptr;
    long a = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '-') return false;
    const char* second = end + 1;
    long b = std::strtol(second, &end, 10);
    if (end == second || *end != '\0' || a > b || a < -999 || b > 9999) return false;
    first = static_cast<int>(a);
    last = static_cast<int>(b);
    return true;
}

Status extract_helix_from_bytes(const std::string& bytes, const std::string& name, const HelixChoice& choice,
                                std::string& pdbText, PreparationNotes* notes) {
    // A UTF-8 byte-order mark is no part of either format (and gemmi's
    // parsers do not expect one).
    const std::size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string text = bytes.substr(skip);
    gemmi::Structure st;
    try {
        switch (format_of(name, text)) {
            case gemmi::CoorFormat::Pdb:
                text = coordinate_records(text);
                st = gemmi::read_pdb_from_memory(text.data(), text.size(), name);
                break;
            case gemmi::CoorFormat::Mmcif: st = gemmi::make_structure(gemmi::cif::read_memory(text.data(), text.size(), name.c_str())); break;
            case gemmi::CoorFormat::Mmjson: st = gemmi::make_structure(gemmi::cif::read_mmjson_insitu(&text[0], text.size(), name)); break;
            default: return Status::error(wrong_format(name));
        }
    } catch (const std::exception&) {
        return Status::error(wrong_format(name));
    }
    if (notes != nullptr) *notes = PreparationNotes();
    return helix_from_structure(st, name, choice, pdbText, notes);
}

Status extract_helix(const std::string& path, const HelixChoice& choice, std::string& pdbText,
                     PreparationNotes* notes) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return Status::error(cannot_open(path));
    std::string bytes;
    Status status = read_structure_bytes(path, bytes);
    return status.ok() ? extract_helix_from_bytes(bytes, path, choice, pdbText, notes) : status;
}
