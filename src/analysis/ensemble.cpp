#include "analysis/ensemble.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

// gemmi's PDB writer cuts fields to their columns on purpose.
#pragma GCC diagnostic push
#ifndef __clang__  // clang has no such warning
#pragma GCC diagnostic ignored "-Wformat-truncation"
#endif
#define GEMMI_WRITE_IMPLEMENTATION
#include <gemmi/model.hpp>
#include <gemmi/polyheur.hpp>
#include <gemmi/resinfo.hpp>
#include <gemmi/to_cif.hpp>
#include <gemmi/to_mmcif.hpp>
#include <gemmi/to_pdb.hpp>
#pragma GCC diagnostic pop

#include "analysis/ensemble_archive.h"
#include "analysis/secondary_structure.h"
#include "base/text.h"

namespace {

// One residue of the template, the atoms (template indices) it holds and its backbone N and O.
struct TemplateResidue {
    gemmi::Residue residue;
    std::vector<std::size_t> atoms;
    BackboneNO backbone;
};

// The template's residues with their atoms (coordinates filled in later).
std::vector<TemplateResidue> template_residues(const Template& tmpl) {
    std::vector<TemplateResidue> out;
    std::string key;
    for (std::size_t i = 0; i < tmpl.lines.size(); ++i) {
        const std::string& line = tmpl.lines[i];
        if (out.empty() || line.substr(17, 10) != key) {
            key = line.substr(17, 10);
            TemplateResidue r;
            r.residue.name = trim_blanks(line.substr(17, 3));
            r.residue.seqid = gemmi::SeqId(to_int(line.substr(22, 4)), line[26]);
            r.residue.entity_type = gemmi::EntityType::Polymer;
            r.residue.het_flag = 'A';
            r.residue.label_seq = static_cast<int>(out.size()) + 1;
            out.push_back(r);
        }
        gemmi::Atom a;
        a.name = trim_blanks(line.substr(12, 4));
        a.altloc = line[16] == ' ' ? '\0' : line[16];
        std::string element = trim_blanks(line.substr(76, 2));
        if (element.empty()) element = a.name.substr(0, 1);
        a.element = gemmi::Element(element);
        a.occ = to_float(line.substr(54, 6));
        a.b_iso = to_float(line.substr(60, 6));
        BackboneNO& backbone = out.back().backbone;
        if (a.name == "N") backbone.hasN = true, backbone.n = tmpl.points[i];
        if (a.name == "O") backbone.hasO = true, backbone.o = tmpl.points[i];
        out.back().residue.atoms.push_back(a);
        out.back().atoms.push_back(i);
    }
    return out;
}

// Coordinates as the files show them, three decimals, so that the mmCIF text
// (shortest digits) and the PDB columns (three decimals) agree.
gemmi::Position rounded(const Point& q) {
    auto r = [](float v) { return std::strtod(decimals(v, 3).c_str(), nullptr); };
    return gemmi::Position(r(q.x), r(q.y), r(q.z));
}

// One polymer entity for all chains, as the archive declares a homo-oligomer:
// gemmi sets up an entity per chain, which share one sequence and are merged.
void set_up_entities(gemmi::Structure& st) {
    gemmi::setup_entities(st);
    for (gemmi::Entity& entity : st.entities) {
        entity.full_sequence.clear();
        for (const gemmi::Residue& r : st.models.at(0).get_subchain(entity.subchains.at(0)))
            entity.full_sequence.push_back(r.name);
    }
    gemmi::deduplicate_entities(st);
    for (std::size_t e = 0; e < st.entities.size(); ++e) st.entities[e].name = std::to_string(e + 1);
}

// A HELIX record (and an _struct_conf row) for each helix of each chain.
void add_helices(gemmi::Structure& st, const std::vector<TemplateResidue>& residues) {
    // Every protomer is the same helix, so each chain has the template's helices.
    std::vector<BackboneNO> backbone;
    for (const TemplateResidue& r : residues) backbone.push_back(r.backbone);
    for (const gemmi::Chain& chain : st.models.at(0).chains)
        for (const HelixRange& h : alpha_helices(backbone)) {
            gemmi::Helix helix;
            helix.start = gemmi::AtomAddress(chain.name, chain.residues.at(h.first), "CA");
            helix.end = gemmi::AtomAddress(chain.name, chain.residues.at(h.last), "CA");
            helix.pdb_helix_class = gemmi::Helix::RAlpha;
            helix.length = h.last - h.first + 1;
            st.helices.push_back(helix);
        }
}

// A sequence as an mmCIF text field, 80 letters a line.
std::string text_field(const std::string& letters) {
    std::string out = ";";
    for (std::size_t i = 0; i < letters.size(); i += 80) out += letters.substr(i, 80) + "\n";
    return out + ";";
}

// What the archive's files hold and gemmi's writer leaves out: the sequence
// and chains of each polymer entity, the type of each residue, and
// coordinates with three decimals.
void complete_archive_items(const gemmi::Structure& st, gemmi::cif::Block& block) {
    gemmi::cif::Loop& poly = block.init_mmcif_loop("_entity_poly.", {"entity_id", "type", "nstd_linkage", "nstd_monomer",
                                                                      "pdbx_seq_one_letter_code",
                                                                      "pdbx_seq_one_letter_code_can", "pdbx_strand_id"});
    for (const gemmi::Entity& entity : st.entities) {
        std::string code, strands;
        bool standard = true;
        for (const std::string& name : entity.full_sequence) {
            const gemmi::ResidueInfo info = gemmi::find_tabulated_residue(name);
            code += info.is_standard() ? std::string(1, info.one_letter_code) : "(" + name + ")";
            standard = standard && info.is_standard();
        }
        for (const std::string& subchain : entity.subchains) strands += (strands.empty() ? "" : ",") + subchain;
        poly.add_row({entity.name, "polypeptide(L)", "no", standard ? "no" : "yes", text_field(code),
                      text_field(gemmi::one_letter_code(entity.full_sequence)), strands});
    }
    gemmi::cif::Table types = block.find("_chem_comp.", {"id", "type"});
    for (gemmi::cif::Table::Row row : types) {
        const gemmi::ResidueInfo info = gemmi::find_tabulated_residue(row[0]);
        if (info.is_amino_acid()) row[1] = row[0] == "GLY" ? "'peptide linking'" : "'L-peptide linking'";
    }
    for (const char* tag : {"_atom_site.Cartn_x", "_atom_site.Cartn_y", "_atom_site.Cartn_z"})
        for (std::string& value : block.find_values(tag)) value = decimals(std::strtod(value.c_str(), nullptr), 3);
}

std::string placement_text(const EnsembleModel& m) {
    char text[160];
    std::snprintf(text, sizeof text, "RANK %d DELTA %.3f PHI %.3f THETA %.3f PSI %.3f RADIUS %.3f", m.rank, m.delta,
                  degrees(m.row[0]), degrees(m.row[1]), degrees(m.row[2]), m.row[3]);
    return text;
}

}  // namespace

double degrees(float radians) { return static_cast<double>(radians) * 180.0 / 3.14159265358979323846; }

std::string chain_name(int p) {
    static const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const int n = static_cast<int>(letters.size());
    if (p < n) return letters.substr(p, 1);
    return letters.substr((p - n) / 26 % 26, 1) + letters.substr((p - n) % 26, 1);
}

EnsembleText ensemble_files(const Template& tmpl, const std::vector<EnsembleModel>& models, const std::string& name,
                            const std::string& version) {
    const std::vector<TemplateResidue> residues = template_residues(tmpl);
    gemmi::Structure st;
    st.name = name.empty() ? "noebundle" : name;
    st.spacegroup_hm = "P 1";  // as the archive's NMR entries, with their unit cell of 1 Angstrom
    st.raw_remarks.push_back("REMARK 250 NOEBUNDLE-ANALYZE: THE TOP STRUCTURES OF A RUN, ONE MODEL EACH");
    for (std::size_t k = 0; k < models.size(); ++k) {
        const EnsembleModel& m = models[k];
        gemmi::Model model(std::to_string(k + 1));
        for (std::size_t p = 0; p < m.atoms.size(); ++p) {
            gemmi::Chain chain(chain_name(static_cast<int>(p)));
            for (const TemplateResidue& r : residues) {
                gemmi::Residue residue = r.residue;
                residue.segment = chain.name;  // the segid assigned.tbl selects
                residue.subchain = chain.name;
                for (std::size_t a = 0; a < r.atoms.size(); ++a) residue.atoms[a].pos = rounded(m.atoms[p][r.atoms[a]]);
                chain.residues.push_back(residue);
            }
            model.chains.push_back(chain);
        }
        st.models.push_back(model);
        char label[32];
        std::snprintf(label, sizeof label, "%4zu ", k + 1);
        st.raw_remarks.push_back("REMARK 250 MODEL " + std::string(label) + placement_text(m));
    }
    set_up_entities(st);
    add_helices(st, residues);
    if (!models.empty()) add_ring_assembly(st, static_cast<int>(models.front().atoms.size()));
    if (!version.empty()) {
        gemmi::SoftwareItem software;
        software.name = "noebundle-analyze", software.version = version, software.pdbx_ordinal = 1;
        software.classification = gemmi::SoftwareItem::ModelBuilding;
        st.meta.software.push_back(software);
    }

    EnsembleText out;
    std::ostringstream pdb;
    gemmi::PdbWriteOptions options;
    options.seqres_records = options.ssbond_records = options.cryst1_record = false;
    options.link_records = options.cispep_records = false;
    gemmi::write_pdb(st, pdb, options);
    out.pdb = pdb.str();

    gemmi::MmcifOutputGroups groups(true);
    groups.entity_poly = groups.group_pdb = true;
    gemmi::cif::Document doc = gemmi::make_mmcif_document(st, groups);
    gemmi::cif::Block& block = doc.blocks.at(0);
    complete_archive_items(st, block);
    add_author_names(block);
    gemmi::cif::Loop& loop = block.init_loop("_noebundle_model.",
                                             {"pdbx_PDB_model_num", "rank", "delta", "phi", "theta", "psi", "radius"});
    for (std::size_t k = 0; k < models.size(); ++k) {
        const EnsembleModel& m = models[k];
        loop.add_row({std::to_string(k + 1), std::to_string(m.rank), decimals(m.delta, 3), decimals(degrees(m.row[0]), 3),
                      decimals(degrees(m.row[1]), 3), decimals(degrees(m.row[2]), 3), decimals(m.row[3], 3)});
    }
    std::ostringstream cif;
    gemmi::cif::write_cif_to_stream(cif, doc, gemmi::cif::Style::PreferPairs);
    out.cif = cif.str();
    return out;
}
