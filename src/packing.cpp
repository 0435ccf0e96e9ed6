#include "packing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string columns(const std::string& line, std::size_t first, std::size_t width) {
    return first < line.size() ? line.substr(first, width) : std::string();
}

// Atoms of every protomer but the first, sorted into cubic-ish cells at least
// as wide as the search radius, so that a query looks at 27 cells.
class CellGrid {
public:
    CellGrid(const Oligomer& o, const std::vector<char>& mask, float radius) {
        float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
        bool any = false;
        for (std::size_t p = 1; p < o.size(); ++p)
            for (std::size_t i = 0; i < o[p].size(); ++i) {
                if (!usable(o[p][i], mask, i)) continue;
                const float c[3] = {o[p][i].x, o[p][i].y, o[p][i].z};
                for (int k = 0; k < 3; ++k) {
                    low[k] = any ? std::min(low[k], c[k]) : c[k];
                    high[k] = any ? std::max(high[k], c[k]) : c[k];
                }
                any = true;
            }
        for (int k = 0; k < 3; ++k) {
            low_[k] = low[k];
            // At most 128 cells along an axis, whatever the spread of the atoms.
            size_[k] = std::max(static_cast<double>(radius), (static_cast<double>(high[k]) - low[k]) / 127.0);
            count_[k] = static_cast<int>((static_cast<double>(high[k]) - low[k]) / size_[k]) + 1;
        }
        start_.assign(static_cast<std::size_t>(count_[0]) * count_[1] * count_[2] + 1, 0);
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 1) {
                for (std::size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
                atoms_.resize(start_.back());
            }
            std::vector<std::size_t> fill(start_.begin(), start_.end() - 1);
            for (std::size_t p = 1; p < o.size(); ++p)
                for (std::size_t i = 0; i < o[p].size(); ++i) {
                    if (!usable(o[p][i], mask, i)) continue;
                    const std::size_t c = cell_index(o[p][i]);
                    if (pass == 0) ++start_[c + 1];
                    else atoms_[fill[c]++] = o[p][i];
                }
        }
    }

    static bool usable(const Point& q, const std::vector<char>& mask, std::size_t i) {
        return i < mask.size() && mask[i] && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
    }

    // Calls visit(d) for each atom of the grid nearer than radius to q, in a fixed order.
    template <class Visit>
    void near(const Point& q, float radius, Visit visit) const {
        int at[3];
        cell_of(q, at);
        for (int a = std::max(at[0] - 1, 0); a <= std::min(at[0] + 1, count_[0] - 1); ++a)
            for (int b = std::max(at[1] - 1, 0); b <= std::min(at[1] + 1, count_[1] - 1); ++b)
                for (int c = std::max(at[2] - 1, 0); c <= std::min(at[2] + 1, count_[2] - 1); ++c) {
                    const std::size_t cell = (static_cast<std::size_t>(a) * count_[1] + b) * count_[2] + c;
                    for (std::size_t k = start_[cell]; k < start_[cell + 1]; ++k) {
                        const float d = distance(q, atoms_[k]);
                        if (d < radius) visit(d);
                    }
                }
    }

private:
    void cell_of(const Point& q, int at[3]) const {
        const float c[3] = {q.x, q.y, q.z};
        for (int k = 0; k < 3; ++k) {
            const double v = std::floor((static_cast<double>(c[k]) - low_[k]) / size_[k]);
            at[k] = static_cast<int>(std::max(-2.0, std::min(v, static_cast<double>(count_[k]) + 1)));
        }
    }
    std::size_t cell_index(const Point& q) const {
        int at[3];
        cell_of(q, at);
        return (static_cast<std::size_t>(at[0]) * count_[1] + at[1]) * count_[2] + at[2];
    }

    double low_[3], size_[3];
    int count_[3];
    std::vector<std::size_t> start_;  // atoms of cell c: [start_[c], start_[c + 1])
    std::vector<Point> atoms_;
};

}  // namespace

AtomKinds atom_kinds(const std::vector<std::string>& atomLines) {
    AtomKinds kinds;
    for (const std::string& line : atomLines) {
        const std::string name = trimmed(columns(line, 12, 4));
        std::string element = trimmed(columns(line, 76, 2));
        if (element.empty()) {
            const std::size_t letter = name.find_first_not_of("0123456789");
            element = letter == std::string::npos ? std::string() : name.substr(letter, 1);
        }
        const bool hydrogen = element == "H" || element == "D" || element == "h" || element == "d";
        const bool backbone = name == "N" || name == "CA" || name == "C" || name == "O";
        kinds.backbone.push_back(backbone ? 1 : 0);
        kinds.heavy.push_back(hydrogen ? 0 : 1);
        if (!hydrogen && !backbone && name != "CB" && !name.empty()) kinds.side_chains = true;
    }
    return kinds;
}

float closest_below(const Oligomer& o, const std::vector<char>& mask, float limit) {
    if (o.size() < 2) return limit;
    const CellGrid grid(o, mask, limit);
    float best = limit;
    for (std::size_t i = 0; i < o[0].size(); ++i)
        if (CellGrid::usable(o[0][i], mask, i))
            grid.near(o[0][i], best, [&](float d) { best = std::min(best, d); });
    return best;
}

float closest_backbone(const Oligomer& o, const AtomKinds& kinds) {
    const float infinity = std::numeric_limits<float>::infinity();
    if (o.size() < 2) return infinity;
    // Widen the search until a pair turns up; past 1e38 only infinite gaps remain.
    for (float limit = 5.0f; limit < 1e38f; limit *= 2.0f) {
        const float d = closest_below(o, kinds.backbone, limit);
        if (d < limit) return d;
    }
    return infinity;
}

double packing_energy(const Oligomer& o, const AtomKinds& kinds) {
    if (o.size() < 2) return 0.0;
    const CellGrid grid(o, kinds.heavy, 5.0f);
    double overlap = 0.0;
    long contacts = 0;
    for (std::size_t i = 0; i < o[0].size(); ++i) {
        if (!CellGrid::usable(o[0][i], kinds.heavy, i)) continue;
        grid.near(o[0][i], 5.0f, [&](float d) {
            ++contacts;
            if (d < 3.25f) {
                const double gap = 3.25 - static_cast<double>(d);
                overlap += gap * gap;
            }
        });
    }
    return 100.0 * overlap - static_cast<double>(contacts);
}
