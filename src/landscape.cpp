#include "landscape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

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
