#include "analysis/reference.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include <gemmi/gz.hpp>
#include <gemmi/mmread.hpp>

namespace {

// The CA of each residue number of a chain (first alternate location).
std::map<int, Point> chain_ca(const gemmi::Chain& chain) {
    std::map<int, Point> out;
    for (const gemmi::Residue& r : chain.residues)
        if (const gemmi::Atom* a = r.find_atom("CA", '*'))
            out.emplace(r.seqid.num.value, Point{static_cast<float>(a->pos.x), static_cast<float>(a->pos.y),
                                                 static_cast<float>(a->pos.z)});
    return out;
}

// Each chain that holds several segments split into chains named by them,
// unless a name would then be empty, repeated or taken (by another chain
// or this one): the chain is then left as read.
void split_segments(gemmi::Model& model) {
    std::vector<gemmi::Chain> chains;
    for (gemmi::Chain& chain : model.chains) {
        std::vector<gemmi::Chain> parts;
        for (gemmi::Residue& r : chain.residues) {
            const std::string name = gemmi::trim_str(r.segment);
            if (parts.empty() || parts.back().name != name) parts.emplace_back(name);
            parts.back().residues.push_back(std::move(r));
        }
        std::vector<std::string> names;
        for (const gemmi::Chain& part : parts) names.push_back(part.name);
        std::sort(names.begin(), names.end());
        const bool distinct = std::adjacent_find(names.begin(), names.end()) == names.end();
        const bool named = parts.size() > 1 && distinct && !names.front().empty();
        bool taken = false;
        for (const std::string& name : names) taken = taken || model.find_chain(name) != nullptr;
        if (named && !taken) {
            for (gemmi::Chain& part : parts) chains.push_back(std::move(part));
            continue;
        }
        chain.residues.clear();  // put back as read
        for (gemmi::Chain& part : parts)
            for (gemmi::Residue& r : part.residues) chain.residues.push_back(std::move(r));
        chains.push_back(std::move(chain));
    }
    model.chains = std::move(chains);
}

}  // namespace

bool parse_chain_list(const std::string& text, std::vector<std::string>& chains) {
    chains.clear();
    std::size_t pos = 0;
    for (;;) {
        const std::size_t comma = text.find(',', pos);
        const std::string name = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        if (name.empty()) return false;
        chains.push_back(name);
        if (comma == std::string::npos) return true;
        pos = comma + 1;
    }
}

Status read_structure_model(const std::string& path, int model, gemmi::Structure& st) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return Status::error(cannot_open(path));
    try {
        st = gemmi::read_structure(gemmi::MaybeGzipped(path));
    } catch (const std::exception&) {
        return Status::error(wrong_format(path));
    }
    if (model < 1 || model > static_cast<int>(st.models.size()))
        return Status::error("[Error] Model " + std::to_string(model) + " is not in '" + path + "'");
    split_segments(st.models[model - 1]);
    return Status::fine();
}

Status load_reference(const std::string& path, const ReferenceChoice& choice, int numProtomer,
                      const std::vector<int>& residueOf, const std::vector<char>& caOf, Reference& out) {
    gemmi::Structure st;
    const Status read = read_structure_model(path, choice.model, st);
    if (!read.ok()) return read;
    const gemmi::Model& model = st.models[choice.model - 1];

    std::vector<std::map<int, Point>> chains;
    out.chains.clear();
    if (choice.chains.empty()) {
        for (const gemmi::Chain& c : model.chains) {
            std::map<int, Point> ca = chain_ca(c);
            if (ca.empty() || static_cast<int>(chains.size()) == numProtomer) continue;
            chains.push_back(std::move(ca));
            out.chains.push_back(c.name);
        }
    } else {
        if (static_cast<int>(choice.chains.size()) != numProtomer) {
            std::string asked, there;
            for (const std::string& name : choice.chains) asked += (asked.empty() ? "" : ",") + name;
            for (const gemmi::Chain& c : model.chains)
                if (!chain_ca(c).empty()) there += (there.empty() ? "" : ",") + c.name;
            return Status::error("[Error] --chains names " + std::to_string(choice.chains.size()) + " chains (" + asked +
                                 ") but the oligomer has " + std::to_string(numProtomer) + " protomers: name " +
                                 std::to_string(numProtomer) + " of the chains with CA atoms in model " +
                                 std::to_string(choice.model) + " of '" + path + "' (" + there + ")");
        }
        for (const std::string& name : choice.chains) {
            const gemmi::Chain* c = model.find_chain(name);
            if (c == nullptr)
                return Status::error("[Error] Chain " + name + " is not in model " + std::to_string(choice.model) +
                                     " of '" + path + "'");
            chains.push_back(chain_ca(*c));
            out.chains.push_back(name);
        }
    }
    if (static_cast<int>(chains.size()) != numProtomer)
        return Status::error("[Error] '" + path + "' has " + std::to_string(chains.size()) +
                             (chains.size() == 1 ? " chain" : " chains") + " with CA atoms; the oligomer has " +
                             std::to_string(numProtomer) + " protomers");

    out.residues.clear();
    out.templateIndex.clear();
    out.ca.assign(chains.size(), {});
    for (std::size_t i = 0; i < caOf.size(); ++i) {
        const int number = residueOf[i];
        if (!caOf[i] || (choice.range && (number < choice.first || number > choice.last))) continue;
        bool everywhere = true;
        for (const auto& c : chains) everywhere = everywhere && c.count(number) > 0;
        if (!everywhere) continue;
        out.residues.push_back(number);
        out.templateIndex.push_back(static_cast<int>(i));
        for (std::size_t k = 0; k < chains.size(); ++k) out.ca[k].push_back(chains[k].at(number));
    }
    if (out.residues.size() < 3)
        return Status::error("[Error] '" + path + "' shares fewer than 3 CA residues with the helix in every chain");
    return Status::fine();
}

Assignment compare_to_reference(const Reference& ref, const Oligomer& placed) {
    return best_assignment(ref.ca, select_points(placed, ref.templateIndex));
}
