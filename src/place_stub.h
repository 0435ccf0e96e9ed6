// Temporary: every protomer of an oligomer, placed as the structure files
// place it. Goes away when the oligomer module offers place_oligomer.
#pragma once
#include <vector>

#include "getpdb.h"

inline std::vector<std::vector<Point>> place_oligomer(const std::vector<Point>& points, const CandidateRow& row,
                                                      int numProtomer) {
    const int n = static_cast<int>(points.size());
    std::vector<Point> rotated(n), first(n);
    Helix::rotate(points.data(), &row[0], rotated.data(), n);
    const float shift[3] = {row[3], 0, 0};
    Helix::transit(rotated.data(), first.data(), shift, n);
    std::vector<std::vector<Point>> protomers(numProtomer > 0 ? numProtomer : 0);
    for (int p = 0; p < numProtomer; ++p) {
        if (p == 0) {
            protomers[p] = first;
            continue;
        }
        protomers[p].resize(n);
        const float turn[3] = {static_cast<float>((p) * 6.283186 / numProtomer), 0, 0};
        Helix::rotate(first.data(), turn, protomers[p].data(), n);
    }
    return protomers;
}
