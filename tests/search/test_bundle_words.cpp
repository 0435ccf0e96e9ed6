// The best placement's geometry in words: the handedness follows the sign
// of the crossing angle as printed, and a crossing that prints 0.0 has none.
#include <gtest/gtest.h>

#include "search/bundle_words.h"

namespace {

TEST(BundleWords, HandednessOfTheCrossingAsPrinted) {
    const std::pair<double, const char*> cases[] = {{-35.7, "-35.7\u00b0 (right-handed)"},
                                                    {0.5, "0.5\u00b0 (left-handed)"},
                                                    {-0.5, "-0.5\u00b0 (right-handed)"},
                                                    {0.04, "0.0\u00b0, axes"},
                                                    {-0.04, "-0.0\u00b0, axes"}};
    for (const auto& [crossing, words] : cases) {
        BundleGeometry g{};
        g.crossingAngle = crossing;
        EXPECT_NE(geometry_words(g).find(words), std::string::npos) << geometry_words(g);
    }
}

}  // namespace
