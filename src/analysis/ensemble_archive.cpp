#include "analysis/ensemble_archive.h"

#include "geometry/geometry.h"

namespace {

std::string oligomer_word(int n) {
    static const char* const words[] = {"monomeric", "dimeric", "trimeric", "tetrameric", "pentameric",
                                        "hexameric", "heptameric", "octameric"};
    return n >= 1 && n <= 8 ? words[n - 1] : std::to_string(n) + "-meric";
}

}  // namespace

void add_ring_assembly(gemmi::Structure& st, int numProtomer) {
    gemmi::Assembly assembly("1");
    assembly.software_determined = true;
    assembly.software_name = "noebundle";
    assembly.oligomeric_count = numProtomer;
    assembly.oligomeric_details = oligomer_word(numProtomer);
    gemmi::Assembly::Gen gen;
    gen.subchains = {"A"};
    for (int p = 0; p < numProtomer; ++p) {
        // The turn the protomers are placed with, as the run computes it.
        const float turn[3] = {protomer_angle(p, numProtomer), 0, 0};
        const Rotation r = rotation_matrix(turn);
        gemmi::Assembly::Operator op;
        op.name = std::to_string(p + 1);
        op.type = p == 0 ? "identity operation" : "point symmetry operation";
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)  // + 0.0: no "-0" in the file
                op.transform.mat[i][j] = (p == 0 ? (i == j) : static_cast<double>(r.m[i][j])) + 0.0;
        gen.operators.push_back(op);
    }
    assembly.generators.push_back(gen);
    st.assemblies.push_back(assembly);
}

void add_author_names(gemmi::cif::Block& block) {
    gemmi::cif::Column site = block.find_loop("_atom_site.id");
    gemmi::cif::Loop* loop = site.get_loop();
    if (!loop) return;
    const int comp = loop->find_tag("_atom_site.label_comp_id"), atom = loop->find_tag("_atom_site.label_atom_id");
    const std::size_t width = loop->width();
    std::vector<std::string> values;
    values.reserve(loop->values.size() / width * (width + 2));
    for (std::size_t row = 0; row < loop->length(); ++row) {
        for (std::size_t k = 0; k < width; ++k) values.push_back(loop->values[row * width + k]);
        values.push_back(loop->values[row * width + comp]);
        values.push_back(loop->values[row * width + atom]);
    }
    loop->tags.push_back("_atom_site.auth_comp_id");
    loop->tags.push_back("_atom_site.auth_atom_id");
    loop->values = std::move(values);
}
