// Number formatting and conversion: the same characters as printf and the C
// conversions, on every kind of value.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>

#include "base/text.h"

namespace {

std::string with_printf(float value, int width) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%*.3f", width, static_cast<double>(value));
    return buffer;
}

TEST(Fixed3, MatchesPrintfOnMillionsOfFloats) {
    std::mt19937 rng(2024);
    int mismatches = 0;
    for (int i = 0; i < 3000000 && mismatches < 10; ++i) {
        float value = std::uniform_real_distribution<float>(-20000, 20000)(rng);
        if (i % 2) {
            const std::uint32_t bits = rng();  // every magnitude, NaN and infinities included
            std::memcpy(&value, &bits, sizeof value);
        }
        const int width = 8 + i % 3;
        if (fixed3(value, width) != with_printf(value, width))
            ADD_FAILURE() << ++mismatches << ": " << fixed3(value, width) << " vs " << with_printf(value, width);
    }
}

TEST(Fixed3, TiesNegativeZerosAndExtremes) {
    for (int k = -4000; k <= 4000; ++k) ASSERT_EQ(fixed3(k / 16.0f, 8), with_printf(k / 16.0f, 8));  // halfway cases
    for (float v : {-0.0004f, -0.0f, -12345.678f, FLT_MAX, NAN, -INFINITY}) EXPECT_EQ(fixed3(v, 10), with_printf(v, 10));
    EXPECT_EQ(fixed3(0.0625f, 8), "   0.062");
    EXPECT_EQ(fixed3(1.5f, 60), with_printf(1.5f, 60));  // any width
    for (long v : {0L, -7L, 99999L, 100000L, 2147483647L, -2147483648L}) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%5ld", v);
        EXPECT_EQ(padded(v, 5), buffer);
    }
}

TEST(Conversions, LikeAtoiAndAtofButSafe) {
    EXPECT_EQ(to_int("  -12abc") + to_int("x12"), -12);
    EXPECT_EQ(to_int("99999999999999999999"), 2147483647);
    EXPECT_EQ(to_int("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(to_float(" 1.5e1x") + to_float(std::string("4\0" "5", 3)), 19.0f);
    EXPECT_EQ(to_float("1e300"), INFINITY);
    EXPECT_TRUE(std::isnan(to_float("nan")));
    EXPECT_EQ(cut("abcdef", 4, 10) + cut("abc", 5, 2), "ef");
}

}  // namespace
