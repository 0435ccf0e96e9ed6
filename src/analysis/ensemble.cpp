#include "analysis/ensemble.h"

#include <cstdio>
#include <sstream>

// gemmi's PDB writer cuts fields to their columns on purpose.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-truncation"
#define GEMMI_WRITE_IMPLEMENTATION
#include <gemmi/model.hpp>
#include <gemmi/polyheur.hpp>
#include <gemmi/to_cif.hpp>
#include <gemmi/to_mmcif.hpp>
#include <gemmi/to_pdb.hpp>
#pragma GCC diagnostic pop

#include "base/text.h"

namespace {

// One residue of the template and the atoms (template indices) it holds.
struct TemplateResidue {
    gemmi::Residue residue;
    std::vector<std::size_t> atoms;
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
        out.back().residue.atoms.push_back(a);
        out.back().atoms.push_back(i);
    }
    return out;
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

EnsembleText ensemble_files(const Template& tmpl, const std::vector<EnsembleModel>& models, const std::string& name) {
    const std::vector<TemplateResidue> residues = template_residues(tmpl);
    gemmi::Structure st;
    st.name = name.empty() ? "noebundle" : name;
    st.raw_remarks.push_back("REMARK 250 NOEBUNDLE-ANALYZE: THE TOP STRUCTURES OF A RUN, ONE MODEL EACH");
    for (std::size_t k = 0; k < models.size(); ++k) {
        const EnsembleModel& m = models[k];
        gemmi::Model model(std::to_string(k + 1));
        for (std::size_t p = 0; p < m.atoms.size(); ++p) {
            gemmi::Chain chain(chain_name(static_cast<int>(p)));
            for (const TemplateResidue& r : residues) {
                gemmi::Residue residue = r.residue;
                residue.segment = "AN" + std::string(1, static_cast<char>('1' + p));
                for (std::size_t a = 0; a < r.atoms.size(); ++a) {
                    const Point& q = m.atoms[p][r.atoms[a]];
                    residue.atoms[a].pos = gemmi::Position(q.x, q.y, q.z);
                }
                chain.residues.push_back(residue);
            }
            model.chains.push_back(chain);
        }
        st.models.push_back(model);
        char label[32];
        std::snprintf(label, sizeof label, "%4zu ", k + 1);
        st.raw_remarks.push_back("REMARK 250 MODEL " + std::string(label) + placement_text(m));
    }
    gemmi::setup_entities(st);

    EnsembleText out;
    std::ostringstream pdb;
    gemmi::PdbWriteOptions options;
    options.seqres_records = options.ssbond_records = options.cryst1_record = false;
    options.link_records = options.cispep_records = false;
    gemmi::write_pdb(st, pdb, options);
    out.pdb = pdb.str();

    gemmi::cif::Document doc = gemmi::make_mmcif_document(st);
    gemmi::cif::Block& block = doc.blocks.at(0);
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
