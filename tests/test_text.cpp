// Number formatting and conversion: the same characters as printf and the C
// conversions, on every kind of value.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "text.h"

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
        float value;
        if (i % 2) {
            std::uint32_t bits = rng();  // every magnitude, NaN and infinities included
            std::memcpy(&value, &bits, sizeof value);
        } else {
            value = std::uniform_real_distribution<float>(-20000, 20000)(rng);
        }
        int width = i % 3 == 0 ? 8 : (i % 3 == 1 ? 9 : 10);
        if (fixed3(value, width) != with_printf(value, width)) {
            ++mismatches;
            ADD_FAILURE() << value << ": " << fixed3(value, width) << " vs " << with_printf(value, width);
        }
    }
}

TEST(Fixed3, TiesRoundToEvenAndNegativeZerosKeepTheirSign) {
    // k/16 with k odd: exactly halfway between two thousandths.
    for (int k = -4000; k <= 4000; ++k) {
        float value = k / 16.0f;
        ASSERT_EQ(fixed3(value, 8), with_printf(value, 8)) << value;
    }
    EXPECT_EQ(fixed3(0.0625f, 8), "   0.062");
    EXPECT_EQ(fixed3(0.1875f, 8), "   0.188");
    EXPECT_EQ(fixed3(-0.0004f, 8), "  -0.000");
    EXPECT_EQ(fixed3(-0.0f, 8), "  -0.000");
    EXPECT_EQ(fixed3(-12345.678f, 8), "-12345.678");
    EXPECT_EQ(fixed3(FLT_MAX, 8), with_printf(FLT_MAX, 8));
    EXPECT_EQ(fixed3(NAN, 8), with_printf(NAN, 8));
    EXPECT_EQ(fixed3(-INFINITY, 10), with_printf(-INFINITY, 10));
    EXPECT_EQ(fixed3(1.5f, 60), with_printf(1.5f, 60));  // any width
}

TEST(Padded, MatchesPrintf) {
    for (long v : {0L, 7L, -7L, 99999L, 100000L, -1000L, 2147483647L, -2147483648L}) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%5ld", v);
        EXPECT_EQ(padded(v, 5), buffer);
    }
}

TEST(Conversions, LikeAtoiAndAtofButSafe) {
    EXPECT_EQ(to_int("  -12abc"), -12);
    EXPECT_EQ(to_int("x12"), 0);
    EXPECT_EQ(to_int("99999999999999999999"), 2147483647);
    EXPECT_EQ(to_int("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(to_float(" 1.5e1x"), 15.0f);
    EXPECT_EQ(to_float("1e300"), INFINITY);
    EXPECT_TRUE(std::isnan(to_float("nan")));
    EXPECT_EQ(to_float(std::string("4\0" "5", 3)), 4.0f);
    EXPECT_EQ(cut("abcdef", 4, 10), "ef");
    EXPECT_EQ(cut("abc", 5, 2), "");
}

}  // namespace
