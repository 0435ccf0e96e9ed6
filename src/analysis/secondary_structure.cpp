#include "analysis/secondary_structure.h"

namespace {

constexpr float maxBondLength = 3.6f;  // Angstrom between O and N

bool bonded(const BackboneNO& from, const BackboneNO& to) {
    return from.hasO && to.hasN && distance(from.o, to.n) <= maxBondLength;
}

}  // namespace

std::vector<HelixRange> alpha_helices(const std::vector<BackboneNO>& residues) {
    const int n = static_cast<int>(residues.size());
    std::vector<char> turn(n, 0), helical(n, 0);
    for (int i = 0; i + 4 < n; ++i) turn[i] = bonded(residues[i], residues[i + 4]);
    for (int i = 1; i + 4 < n; ++i)
        if (turn[i - 1] && turn[i])
            for (int k = i; k <= i + 3; ++k) helical[k] = 1;
    std::vector<HelixRange> out;
    for (int i = 0; i < n; ++i) {
        if (!helical[i]) continue;
        if (i > 0 && helical[i - 1]) out.back().last = i;
        else out.push_back({i, i});
    }
    return out;
}
