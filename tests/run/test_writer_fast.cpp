// The fast structure writer: the bytes of the line-by-line one, whether the
// coordinates fit their fields or not, coordinates as printf writes them, and files used in the order taken.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "run/oligomer.h"
#include "run/parallel.h"
#include "base/text.h"
#include "support.h"

namespace {

TEST(OligomerBuffer, SameBytesAsLineByLineThroughWideValuesAndBack) {
    Template big = read_template(TEST_DATA "/template.pdb");
    const Template small = big;
    for (int copies = 0; copies < 430; ++copies) big.lines.insert(big.lines.end(), small.lines.begin(), small.lines.end());
    big.points.resize(big.lines.size(), Point{1.5f, -2.25f, 0.0f});
    // 1293 atoms in 78 protomers: serials beyond 99999 widen their field.
    for (const auto& [t, protomers] : {std::pair<const Template&, int>{small, 1}, {small, 10}, {big, 78}}) {
        const OligomerImage image(t, protomers);
        OligomerBuffer buffer(image);
        for (float radius : {8.0f, -1005.0f, 0.0f, 12345.0f, 9999.0f, NAN, 3.5f}) {
            const CandidateRow row{0.3f, 1.1f, -0.4f, radius, 0, 0};
            const std::string& made = buffer.make(row);
            EXPECT_EQ(made, oligomer_pdb(t, row, protomers)) << protomers << " " << radius;
            if (&t != &small) continue;
            // The coordinates against printf on the placed points, from column 31.
            const Oligomer placed = place_oligomer(t.points, row, protomers);
            std::size_t at = 0;
            for (int p = 0; p < protomers; ++p)
                for (const Point& q : placed[p]) {
                    char xyz[160];
                    std::snprintf(xyz, sizeof xyz, "%8.3f%8.3f%8.3f", double(q.x), double(q.y), double(q.z));
                    ASSERT_EQ(made.compare(at + 30, std::strlen(xyz), xyz), 0) << made.substr(at, 80);
                    at = made.find('\n', at) + 1;
                }
            EXPECT_EQ(made.substr(at), "END\n");
        }
    }
}

TEST(TakeMakeUse, UsesInOrderAndStopsAtTheFirstFailure) {
    for (int workers : {1, 2, 4}) {
        for (int failing : {37, -1}) {
            const std::size_t ring = workers + 2;
            int next = 0;
            std::vector<int> item(ring), made(ring), order;
            const bool complete = take_make_use(
                workers, ring, [&](std::size_t s) { return next < 100 ? (item[s] = next++, true) : false; },
                [&](std::size_t s) { made[s] = item[s] * 2; },
                [&](std::size_t s) {
                    order.push_back(made[s] / 2);
                    return item[s] != failing;
                });
            EXPECT_EQ(complete, failing < 0);
            ASSERT_EQ(order.size(), failing < 0 ? 100u : 38u) << workers;
            for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], static_cast<int>(i));
        }
    }
}

}  // namespace
