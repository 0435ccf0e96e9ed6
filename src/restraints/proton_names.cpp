#include "restraints/proton_names.h"

#include <map>

const std::vector<std::string>& residue_protons(const std::string& residue) {
    static const std::map<std::string, std::vector<std::string>> table = {
        {"ALA", {"H", "HA", "HB1", "HB2", "HB3"}},
        {"ARG", {"H", "HA", "HB2", "HB3", "HG2", "HG3", "HD2", "HD3", "HE", "HH11", "HH12", "HH21", "HH22"}},
        {"ASN", {"H", "HA", "HB2", "HB3", "HD21", "HD22"}},
        {"ASP", {"H", "HA", "HB2", "HB3"}},
        {"CYS", {"H", "HA", "HB2", "HB3", "HG"}},
        {"GLN", {"H", "HA", "HB2", "HB3", "HG2", "HG3", "HE21", "HE22"}},
        {"GLU", {"H", "HA", "HB2", "HB3", "HG2", "HG3"}},
        {"GLY", {"H", "HA2", "HA3"}},
        {"HIS", {"H", "HA", "HB2", "HB3", "HD1", "HD2", "HE1", "HE2"}},
        {"ILE", {"H", "HA", "HB", "HG12", "HG13", "HG21", "HG22", "HG23", "HD11", "HD12", "HD13"}},
        {"LEU", {"H", "HA", "HB2", "HB3", "HG", "HD11", "HD12", "HD13", "HD21", "HD22", "HD23"}},
        {"LYS", {"H", "HA", "HB2", "HB3", "HG2", "HG3", "HD2", "HD3", "HE2", "HE3", "HZ1", "HZ2", "HZ3"}},
        {"MET", {"H", "HA", "HB2", "HB3", "HG2", "HG3", "HE1", "HE2", "HE3"}},
        {"PHE", {"H", "HA", "HB2", "HB3", "HD1", "HD2", "HE1", "HE2", "HZ"}},
        {"PRO", {"HA", "HB2", "HB3", "HG2", "HG3", "HD2", "HD3"}},
        {"SER", {"H", "HA", "HB2", "HB3", "HG"}},
        {"THR", {"H", "HA", "HB", "HG1", "HG21", "HG22", "HG23"}},
        {"TRP", {"H", "HA", "HB2", "HB3", "HD1", "HE1", "HE3", "HZ2", "HZ3", "HH2"}},
        {"TYR", {"H", "HA", "HB2", "HB3", "HD1", "HD2", "HE1", "HE2", "HH"}},
        {"VAL", {"H", "HA", "HB", "HG11", "HG12", "HG13", "HG21", "HG22", "HG23"}}};
    static const std::vector<std::string> none;
    const auto found = table.find(residue);
    return found == table.end() ? none : found->second;
}

bool minimal_name(const std::string& residue, const std::string& protonClass, MinimalName& out) {
    std::vector<std::string> protons;
    for (const std::string& name : residue_protons(residue))
        if (protonClass == "HN" ? name == "H" : name.compare(0, 2, protonClass) == 0) protons.push_back(name);
    if (protons.empty()) return false;
    std::string start = protons[0];
    for (const std::string& name : protons)
        while (name.compare(0, start.size(), start) != 0) start.pop_back();
    out.name = start;
    out.wildcard = protons.size() > 1;
    return true;
}
