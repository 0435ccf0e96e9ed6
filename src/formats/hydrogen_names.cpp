#include "formats/hydrogen_names.h"

#include <algorithm>

bool is_alpha_proton_name(const std::string& name) {
    static const char* const names[] = {"HA", "HA1", "HA2", "HA3", "1HA", "2HA", "3HA"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

bool names_pdb_alpha_protons(const std::vector<std::string>& names) {
    const auto has = [&names](const char* n) { return std::find(names.begin(), names.end(), n) != names.end(); };
    return has("HA2") && !has("HA1");
}
