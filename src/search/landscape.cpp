#include "search/landscape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "base/text.h"

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


// The colour scale is logarithmic above a hundredth of an Angstrom and
// starts at 0: scores near the best, which matter, get most of the colours.
const double scaleKnee = 0.01;
double scale_of(double v, double high) {
    return std::log1p(std::max(v, 0.0) / scaleKnee) / std::log1p(high / scaleKnee);
}

double degrees(float radians) { return radians * 180.0 / M_PI; }
}  // namespace

std::string landscape_svg(const Grid& grid, const SearchResult& result) {
    // Only the searched half of the tilts: the other half holds the mirror twins.
    std::size_t nTheta = 0;
    while (nTheta < grid.theta.size() && grid.one_twin(0, nTheta)) ++nTheta;
    const std::size_t nRadius = grid.radius.size();
    // Whole-pixel cells, so that neighbouring cells meet without seams.
    const int cellW = std::max(4, int(480 / std::max<std::size_t>(nRadius, 1)));
    const int cellH = std::max(4, int(360 / std::max<std::size_t>(nTheta, 1)));
    const int left = 70, top = 40, width = cellW * int(nRadius), height = cellH * int(nTheta);
    double high = 0;
    for (std::size_t i = 0; i < nTheta * nRadius; ++i)
        if (std::isfinite(result.landscape[i])) high = std::max(high, double(result.landscape[i]));
    if (!(high > 0)) high = 1;
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << left + width + 150 << "\" height=\""
        << top + height + 70 << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"" << left << "\" y=\"22\" font-size=\"14\">Best score (\u00c5) over phi and psi</text>\n"
        << "<g shape-rendering=\"crispEdges\">\n";
    for (std::size_t t = 0; t < nTheta; ++t)
        for (std::size_t r = 0; r < nRadius; ++r) {
            const float v = result.landscape[t * nRadius + r];
            svg << "<rect x=\"" << left + int(r) * cellW << "\" y=\"" << top + height - int(t + 1) * cellH
                << "\" width=\"" << cellW << "\" height=\"" << cellH << "\" fill=\""
                << (std::isfinite(v) ? colour(scale_of(v, high)) : std::string("#cccccc")) << "\"/>\n";
        }
    // Axes with ticks: about a dozen on each.
    svg << "<rect x=\"" << left << "\" y=\"" << top << "\" width=\"" << width << "\" height=\"" << height
        << "\" fill=\"none\" stroke=\"black\"/>\n";
    const std::size_t rStep = (nRadius + 12) / 13, tStep = (nTheta + 9) / 10;
    for (std::size_t r = 0; r < nRadius; r += std::max<std::size_t>(rStep, 1)) {
        const double x = left + (r + 0.5) * cellW;
        svg << "<line x1=\"" << x << "\" x2=\"" << x << "\" y1=\"" << top + height << "\" y2=\"" << top + height + 4
            << "\" stroke=\"black\"/>\n<text x=\"" << x << "\" y=\"" << top + height + 16
            << "\" text-anchor=\"middle\">" << decimals(grid.radius[r], 1) << "</text>\n";
    }
    for (std::size_t t = 0; t < nTheta; t += std::max<std::size_t>(tStep, 1)) {
        const double y = top + height - (t + 0.5) * cellH;
        svg << "<line x1=\"" << left - 4 << "\" x2=\"" << left << "\" y1=\"" << y << "\" y2=\"" << y
            << "\" stroke=\"black\"/>\n<text x=\"" << left - 6 << "\" y=\"" << y + 4 << "\" text-anchor=\"end\">"
            << decimals(degrees(grid.theta[t]), 0) << "</text>\n";
    }
    svg << "</g>\n<text x=\"" << left + width / 2 << "\" y=\"" << top + height + 36
        << "\" text-anchor=\"middle\">radius (\u00c5)</text>\n"
        << "<text transform=\"translate(" << 24 << "," << top + height / 2
        << ") rotate(-90)\" text-anchor=\"middle\">theta (degrees)</text>\n";
    // The colour scale, labelled at 0 and at 1, 2 and 5 times powers of ten.
    const int barX = left + width + 30, steps = std::max(height, 1);
    svg << "<g shape-rendering=\"crispEdges\">\n";
    for (int i = 0; i < steps; ++i)
        svg << "<rect x=\"" << barX << "\" y=\"" << top + height - i - 1 << "\" width=\"16\" height=\"1\" fill=\""
            << colour((i + 0.5) / steps) << "\"/>\n";
    svg << "</g>\n";
    auto label = [&](double v, int places) {
        const double y = top + height - scale_of(v, high) * height;
        svg << "<line x1=\"" << barX + 16 << "\" x2=\"" << barX + 20 << "\" y1=\"" << y << "\" y2=\"" << y
            << "\" stroke=\"black\"/>\n<text x=\"" << barX + 23 << "\" y=\"" << y + 4 << "\">" << decimals(v, places)
            << "</text>\n";
    };
    label(0, 0);
    for (double decade = 0.01; decade <= high; decade *= 10)
        for (double m : {1.0, 2.0, 5.0})
            if (m * decade <= high) label(m * decade, std::max(0, int(std::ceil(-std::log10(decade * m) - 1e-9))));
    svg << "<text x=\"" << barX << "\" y=\"" << top - 8 << "\">score (\u00c5)</text>\n";
    // The best placement.
    if (!result.best.empty()) {
        const Hit& best = result.best.front();
        const std::size_t r = best.index % nRadius, t = best.index / nRadius / grid.psi.size() % grid.theta.size();
        const CandidateRow& row = result.rows.front();
        const double cx = left + (r + 0.5) * cellW, cy = top + height - (t + 0.5) * cellH;
        svg << "<circle cx=\"" << decimals(cx, 1) << "\" cy=\"" << decimals(cy, 1) << "\" r=\""
            << decimals(std::max(cellW, cellH) * 0.8, 1) << "\" fill=\"none\" stroke=\"red\" stroke-width=\"2\"/>\n"
            << "<text x=\"" << left << "\" y=\"" << top + height + 56 << "\" fill=\"red\">best: score "
            << decimals(best.score, 3) << " \u00c5 at phi " << decimals(degrees(row[0]), 0) << "\u00b0, theta "
            << decimals(degrees(row[1]), 0) << "\u00b0, psi " << decimals(degrees(row[2]), 0) << "\u00b0, radius "
            << decimals(row[3], 1) << " \u00c5</text>\n";
    }
    svg << "</svg>\n";
    return svg.str();
}
