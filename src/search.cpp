#include "search.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <sstream>
#include <thread>

#include "text.h"

void count_helix(const std::string& pdbText, int& residues, int& atoms) {
    residues = atoms = 0;
    std::istringstream in(pdbText);
    std::string line;
    int current = 0;
    while (std::getline(in, line)) {
        if (line.compare(0, 4, "ATOM") != 0) continue;
        int number = to_int(cut(line, 22, 4));
        if (atoms == 0 || number != current) ++residues;
        current = number;
        ++atoms;
    }
}

std::string aligned_template(const std::string& pdbText, const float center[3], const float angle[3]) {
    const Rotation r = rotation_matrix(angle);
    std::istringstream in(pdbText);
    std::string line, out;
    while (std::getline(in, line)) {
        if (line.compare(0, 4, "ATOM") != 0) continue;
        // The same operations as the alignment of the helix: centre, then turn.
        Point p{to_float(cut(line, 30, 8)), to_float(cut(line, 38, 8)), to_float(cut(line, 46, 8))};
        p = apply(r, {p.x - center[0], p.y - center[1], p.z - center[2]});
        std::string moved = cut(line, 0, 30);
        moved.resize(30, ' ');
        moved += fixed3(p.x, 8) + fixed3(p.y, 8) + fixed3(p.z, 8) + cut(line, 54, 26);
        moved.resize(80, ' ');
        out += moved + "\n";
    }
    out += std::string("END").append(77, ' ') + "\n";
    return out;
}

// ------------------------------------------------------------------ grid

float as_written(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return to_float(text);
}

CandidateRow Grid::row(std::uint64_t i) const {
    const std::size_t r = i % radius.size();
    i /= radius.size();
    const std::size_t s = i % psi.size();
    i /= psi.size();
    const std::size_t t = i % theta.size();
    return {phi[i / theta.size()], theta[t], psi[s], radius[r], 0, 0};
}

Grid make_grid(double angleStep, double rBeg, double rEnd, double rStep) {
    const double degree = M_PI / 180.0;
    Grid g;
    for (long k = 0; k * angleStep < 360.0 - 1e-9; ++k) {
        g.phi.push_back(as_written(k * angleStep * degree));
        if (k * angleStep <= 180.0 + 1e-9) g.theta.push_back(as_written(k * angleStep * degree));
    }
    g.psi = g.phi;
    for (long k = 0; rBeg + k * rStep <= rEnd + 1e-6; ++k) g.radius.push_back(as_written(rBeg + k * rStep));
    return g;
}

// ---------------------------------------------------------------- search

bool better(const Hit& a, const Hit& b) {
    const bool aNumber = !std::isnan(a.score), bNumber = !std::isnan(b.score);
    if (aNumber != bNumber) return aNumber;
    if (aNumber && a.score != b.score) return a.score < b.score;
    return a.index < b.index;
}

namespace {
// The best hits seen so far, at most keep of them.
class BestList {
public:
    explicit BestList(std::size_t keep) : keep_(keep) {}
    void offer(const Hit& h) {
        if (keep_ == 0) return;
        if (heap_.size() < keep_) {
            heap_.push_back(h);
            std::push_heap(heap_.begin(), heap_.end(), better);
        } else if (better(h, heap_.front())) {
            std::pop_heap(heap_.begin(), heap_.end(), better);
            heap_.back() = h;
            std::push_heap(heap_.begin(), heap_.end(), better);
        }
    }
    const std::vector<Hit>& hits() const { return heap_; }

private:
    std::size_t keep_;
    std::vector<Hit> heap_;  // the worst kept hit on top
};

// The sines and cosines of each angle value, computed once for the whole grid.
std::vector<SinCos> sin_cos_of(const std::vector<float>& angles) {
    std::vector<SinCos> t;
    for (float a : angles) t.push_back(sin_cos(a));
    return t;
}

bool lower_landscape(float a, float b) { return !std::isnan(a) && (std::isnan(b) || a < b); }
}  // namespace

SearchResult search(const Scorer& scorer, const Grid& grid, std::size_t keep,
                    const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
    const std::vector<SinCos> phi = sin_cos_of(grid.phi), theta = sin_cos_of(grid.theta), psi = sin_cos_of(grid.psi);
    const std::size_t nTheta = grid.theta.size(), nRadius = grid.radius.size();
    const std::size_t tasks = grid.phi.size() * nTheta;  // one (phi, theta) pair each
    SearchResult result;
    result.searched = grid.size();
    result.landscape.assign(nTheta * nRadius, NAN);
    std::vector<Hit> merged;
    std::mutex merge;
    std::atomic<std::size_t> done{0};
    parallel_slices(tasks, [&](std::size_t first, std::size_t last) {
        BestList best(keep);
        std::vector<float> landscape(nTheta * nRadius, NAN);
        Scorer::Scratch scratch = scorer.scratch();
        for (std::size_t task = first; task < last; ++task) {
            const std::size_t p = task / nTheta, t = task % nTheta;
            for (std::size_t s = 0; s < psi.size(); ++s) {
                scorer.rotate_ends(rotation_matrix(phi[p], theta[t], psi[s]), scratch);
                const std::uint64_t base = (std::uint64_t(task) * psi.size() + s) * nRadius;
                for (std::size_t r = 0; r < nRadius; ++r) {
                    const float shift[3] = {grid.radius[r], 0, 0};
                    const Hit hit{scorer.score_rotated(shift, scratch), base + r};
                    best.offer(hit);
                    float& cell = landscape[t * nRadius + r];
                    if (lower_landscape(hit.score, cell)) cell = hit.score;
                }
            }
            std::size_t finished = ++done;
            if (progress && first == 0) progress(std::uint64_t(finished) * psi.size() * nRadius, grid.size());
        }
        std::lock_guard<std::mutex> lock(merge);
        merged.insert(merged.end(), best.hits().begin(), best.hits().end());
        for (std::size_t i = 0; i < landscape.size(); ++i)
            if (lower_landscape(landscape[i], result.landscape[i])) result.landscape[i] = landscape[i];
    }, 1);
    std::sort(merged.begin(), merged.end(), better);
    if (merged.size() > keep) merged.resize(keep);
    result.best = merged;
    return result;
}

// --------------------------------------------------------------- picture

namespace {
// A colour from dark blue (0) through green to yellow (1).
std::string colour(double t) {
    static const double stops[5][3] = {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}};
    t = std::min(1.0, std::max(0.0, t)) * 4;
    int i = std::min(3, static_cast<int>(t));
    double f = t - i;
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", int(stops[i][0] + f * (stops[i + 1][0] - stops[i][0])),
                  int(stops[i][1] + f * (stops[i + 1][1] - stops[i][1])),
                  int(stops[i][2] + f * (stops[i + 1][2] - stops[i][2])));
    return text;
}

std::string number(double v, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}
}  // namespace

std::string landscape_svg(const Grid& grid, const SearchResult& result) {
    const std::size_t nTheta = grid.theta.size(), nRadius = grid.radius.size();
    const double cellW = std::max(4.0, 480.0 / nRadius), cellH = std::max(3.0, 360.0 / nTheta);
    const double left = 70, top = 40, width = cellW * nRadius, height = cellH * nTheta;
    float low = NAN, high = NAN;
    for (float v : result.landscape)
        if (std::isfinite(v)) {
            low = std::isnan(low) ? v : std::min(low, v);
            high = std::isnan(high) ? v : std::max(high, v);
        }
    const double span = high > low ? high - low : 1.0;
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << left + width + 130 << "\" height=\""
        << top + height + 70 << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"" << left << "\" y=\"22\" font-size=\"14\">Best score (\u00c5) over phi and psi</text>\n";
    for (std::size_t t = 0; t < nTheta; ++t)
        for (std::size_t r = 0; r < nRadius; ++r) {
            const float v = result.landscape[t * nRadius + r];
            const double y = top + height - (t + 1) * cellH;  // theta grows upwards
            svg << "<rect x=\"" << number(left + r * cellW, 1) << "\" y=\"" << number(y, 1) << "\" width=\""
                << number(cellW + 0.3, 1) << "\" height=\"" << number(cellH + 0.3, 1) << "\" fill=\""
                << (std::isfinite(v) ? colour((v - low) / span) : std::string("#cccccc")) << "\"/>\n";
        }
    // Axes with a few labelled ticks.
    svg << "<rect x=\"" << left << "\" y=\"" << top << "\" width=\"" << width << "\" height=\"" << height
        << "\" fill=\"none\" stroke=\"black\"/>\n";
    const std::size_t rStep = std::max<std::size_t>(1, nRadius / 6), tStep = std::max<std::size_t>(1, nTheta / 6);
    for (std::size_t r = 0; r < nRadius; r += rStep)
        svg << "<text x=\"" << number(left + (r + 0.5) * cellW, 1) << "\" y=\"" << top + height + 16
            << "\" text-anchor=\"middle\">" << number(grid.radius[r], 1) << "</text>\n";
    for (std::size_t t = 0; t < nTheta; t += tStep)
        svg << "<text x=\"" << left - 6 << "\" y=\"" << number(top + height - (t + 0.5) * cellH + 4, 1)
            << "\" text-anchor=\"end\">" << number(grid.theta[t] * 180.0 / M_PI, 0) << "</text>\n";
    svg << "<text x=\"" << left + width / 2 << "\" y=\"" << top + height + 36
        << "\" text-anchor=\"middle\">radius (\u00c5)</text>\n"
        << "<text transform=\"translate(" << 24 << "," << top + height / 2
        << ") rotate(-90)\" text-anchor=\"middle\">theta (degrees)</text>\n";
    // Colour scale.
    const double barX = left + width + 30;
    for (int i = 0; i < 50; ++i)
        svg << "<rect x=\"" << barX << "\" y=\"" << number(top + height - (i + 1) * height / 50, 1)
            << "\" width=\"16\" height=\"" << number(height / 50 + 0.3, 1) << "\" fill=\"" << colour(i / 49.0)
            << "\"/>\n";
    svg << "<text x=\"" << barX + 22 << "\" y=\"" << top + height << "\">" << number(low, 2) << "</text>\n"
        << "<text x=\"" << barX + 22 << "\" y=\"" << top + 10 << "\">" << number(high, 2) << "</text>\n"
        << "<text x=\"" << barX << "\" y=\"" << top - 8 << "\">score</text>\n";
    // The best placement.
    if (!result.best.empty()) {
        const Hit& best = result.best.front();
        const std::size_t r = best.index % nRadius, t = best.index / nRadius / grid.psi.size() % nTheta;
        const CandidateRow row = grid.row(best.index);
        const double cx = left + (r + 0.5) * cellW, cy = top + height - (t + 0.5) * cellH;
        svg << "<circle cx=\"" << number(cx, 1) << "\" cy=\"" << number(cy, 1) << "\" r=\""
            << number(std::max(cellW, cellH) * 0.8, 1) << "\" fill=\"none\" stroke=\"red\" stroke-width=\"2\"/>\n"
            << "<text x=\"" << left << "\" y=\"" << top + height + 56 << "\" fill=\"red\">best: score "
            << number(best.score, 3) << " at phi " << number(row[0], 3) << ", theta " << number(row[1], 3)
            << ", psi " << number(row[2], 3) << ", radius " << number(row[3], 3) << "</text>\n";
    }
    svg << "</svg>\n";
    return svg.str();
}
