#include "prepare.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <gemmi/gz.hpp>
#include <gemmi/mmread.hpp>
#include <gemmi/modify.hpp>

namespace {

std::string residue_name(const gemmi::Residue& r, const std::string& chain, const std::string& path) {
    return "Residue " + r.name + " " + r.seqid.str() + " of chain " + chain + " in '" + path + "'";
}

// An ATOM line of 80 characters; names shorter than four characters with a
// one-letter element start in column 14, as PDB files write them.
std::string atom_line(int serial, const gemmi::Atom& a, const gemmi::Residue& r, char chain) {
    std::string name = a.name;
    if (name.size() < 4 && a.element.uname()[1] == '\0') name = " " + name;
    char line[128];
    std::snprintf(line, sizeof line, "ATOM  %5d %-4.4s %-3.3s %c%4d%c   %8.3f%8.3f%8.3f%6.2f%6.2f          %2s  ",
                  serial % 100000, name.c_str(), r.name.c_str(), chain, r.seqid.num.value,
                  r.seqid.icode == ' ' ? ' ' : r.seqid.icode, a.pos.x, a.pos.y, a.pos.z, a.occ, a.b_iso,
                  a.element.uname());
    return std::string(line).substr(0, 80);
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

Status extract_helix(const std::string& path, const HelixChoice& choice, std::string& pdbText) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return Status::error(cannot_open(path));
    gemmi::Structure st;
    try {
        st = gemmi::read_structure(gemmi::MaybeGzipped(path));
    } catch (const std::exception&) {
        return Status::error(wrong_format(path));
    }
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
                             " is not in model " + std::to_string(choice.model) + " of '" + path + "'");
    gemmi::remove_alternative_conformations(*chain);

    pdbText.clear();
    int serial = 0, residues = 0;
    const char chainId = chain->name.empty() ? 'A' : chain->name[0];
    for (const gemmi::Residue& r : chain->residues) {
        const int number = r.seqid.num.value;
        if (choice.range && (number < choice.first || number > choice.last)) continue;
        const bool hasCA = r.find_atom("CA", '*') != nullptr;
        if (r.het_flag == 'H' && !hasCA) continue;  // waters and ligands
        if (!hasCA) return Status::error("[Error] " + residue_name(r, chain->name, path) + " has no CA");
        if (r.find_atom("CB", '*') == nullptr && r.find_atom("HA2", '*') == nullptr)
            return Status::error("[Error] " + residue_name(r, chain->name, path) + " has neither CB nor HA2");
        if (number < -999 || number > 9999)
            return Status::error("[Error] " + residue_name(r, chain->name, path) + " has a number too wide for PDB");
        for (const gemmi::Atom& a : r.atoms) pdbText += atom_line(++serial, a, r, chainId) + "\n";
        ++residues;
    }
    if (residues == 0)
        return Status::error("[Error] No residue with a CA in chain " + chain->name + " of '" + path + "'");
    pdbText += std::string("END").append(77, ' ') + "\n";
    return Status::fine();
}
