#include "restraints/to_nef.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

#include "base/text.h"

namespace {

// A STAR value: blanks, quotes and leading specials need quoting; empty is '.'.
std::string value(const std::string& text) {
    if (text.empty()) return ".";
    bool plain = text.find_first_of(" \t'\"") == std::string::npos && std::string("_#$;[]").find(text[0]) == std::string::npos;
    return plain ? text : "'" + text + "'";
}

std::string atom_columns(const AssignedAtom& a) {
    const std::string name = a.atomName == "HN" ? "H" : a.atomName + (a.wildcard ? "%" : "");
    return value(a.chain) + " " + std::to_string(a.residue) + " " + value(a.residueName) + " " + value(name);
}

void pair(std::string& s, const std::string& tag, const std::string& text) {
    s += "   " + tag + std::string(tag.size() < 46 ? 46 - tag.size() : 1, ' ') + text + "\n";
}

void loop_header(std::string& s, const std::string& category, const std::vector<std::string>& tags) {
    s += "\n   loop_\n";
    for (const std::string& tag : tags) s += "      " + category + "." + tag + "\n";
    s += "\n";
}

// A name fit for a data block and a save frame: letters, digits, '_', '-' and '.'.
std::string block_name(std::string name) {
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_' && ch != '-' && ch != '.') ch = '_';
    return name;
}

const char* const uuidMark = "@uuid@";

// A version-8 UUID of the text: two 64-bit FNV-1a hashes, the second seeded apart.
std::string content_uuid(const std::string& text) {
    std::uint64_t h[2] = {14695981039346656037ull, 0x6c62272e07bb0142ull};
    for (std::uint64_t& part : h)
        for (unsigned char c : text) part = (part ^ c) * 1099511628211ull;
    h[0] = (h[0] & ~0xf000ull) | 0x8000ull;                                    // version 8
    h[1] = (h[1] & 0x3fffffffffffffffull) | 0x8000000000000000ull;             // RFC variant
    char out[40];
    std::snprintf(out, sizeof out, "%08llx-%04llx-%04llx-%04llx-%012llx", (unsigned long long)(h[0] >> 32),
                  (unsigned long long)((h[0] >> 16) & 0xffff), (unsigned long long)(h[0] & 0xffff),
                  (unsigned long long)(h[1] >> 48), (unsigned long long)(h[1] & 0xffffffffffffull));
    return out;
}

}  // namespace

std::string nef_file(const NefContent& c, const std::vector<AssignedRestraint>& restraints) {
    const std::string name = block_name(c.name);
    std::string s = "data_nef_" + name + "\n\nsave_nef_nmr_meta_data\n";
    pair(s, "_nef_nmr_meta_data.sf_category", "nef_nmr_meta_data");
    pair(s, "_nef_nmr_meta_data.sf_framecode", "nef_nmr_meta_data");
    pair(s, "_nef_nmr_meta_data.format_name", "nmr_exchange_format");
    pair(s, "_nef_nmr_meta_data.format_version", "1.1");
    pair(s, "_nef_nmr_meta_data.program_name", value(c.program));
    pair(s, "_nef_nmr_meta_data.program_version", value(c.version));
    pair(s, "_nef_nmr_meta_data.creation_date", value(c.creationDate));
    pair(s, "_nef_nmr_meta_data.uuid", uuidMark);
    s += "save_\n\nsave_nef_molecular_system\n";
    pair(s, "_nef_molecular_system.sf_category", "nef_molecular_system");
    pair(s, "_nef_molecular_system.sf_framecode", "nef_molecular_system");
    loop_header(s, "_nef_sequence",
                {"index", "chain_code", "sequence_code", "residue_name", "linking", "residue_variant", "cis_peptide"});
    int index = 0;
    for (const std::string& chain : c.chains)
        for (std::size_t k = 0; k < c.sequence.size(); ++k) {
            const char* linking = k == 0 ? "start" : (k + 1 == c.sequence.size() ? "end" : "middle");
            s += "      " + padded(++index, 6) + " " + value(chain) + " " + std::to_string(c.sequence[k].number) + " " +
                 value(c.sequence[k].name) + " " + linking + " . .\n";
        }
    s += "   stop_\nsave_\n\nsave_nef_distance_restraint_list_" + name + "\n";
    pair(s, "_nef_distance_restraint_list.sf_category", "nef_distance_restraint_list");
    pair(s, "_nef_distance_restraint_list.sf_framecode", "nef_distance_restraint_list_" + name);
    bool lower = false;
    for (const AssignedRestraint& r : restraints) lower = lower || r.hasLower;
    pair(s, "_nef_distance_restraint_list.potential_type", lower ? "square-well-parabolic" : "upper-bound-parabolic");
    pair(s, "_nef_distance_restraint_list.restraint_origin", "noe");
    s += "\n";
    for (const std::string& line : c.heading) s += "   # " + line + "\n";
    loop_header(s, "_nef_distance_restraint",
                {"index", "restraint_id", "restraint_combination_id", "chain_code_1", "sequence_code_1",
                 "residue_name_1", "atom_name_1", "chain_code_2", "sequence_code_2", "residue_name_2", "atom_name_2",
                 "weight", "target_value", "target_value_uncertainty", "lower_limit", "upper_limit"});
    std::string comment;
    int row = 0;
    for (std::size_t i = 0; i < restraints.size(); ++i) {
        const AssignedRestraint& r = restraints[i];
        if (r.comment != comment) s += "      # " + r.comment + "\n";
        comment = r.comment;
        const std::string id = std::to_string(i + 1);
        const std::string bounds = " 1.0 " + (r.hasTarget ? decimals(r.distance, 3) : ".") + " . " +
                                   (r.hasLower ? decimals(r.lower, 3) : ".") + " " + decimals(r.upper, 3) + "\n";
        for (const AssignedAtom& a : r.end1)
            for (const AssignedAtom& b : r.end2)
                s += "      " + std::to_string(++row) + " " + id + " . " + atom_columns(a) + " " + atom_columns(b) +
                     bounds;
    }
    s += "   stop_\nsave_\n";
    return s.replace(s.find(uuidMark), std::string(uuidMark).size(), content_uuid(s));
}
