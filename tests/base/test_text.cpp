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

// Every width through put_fixed3, the writer's own entry: width 8 takes the
// digit tables for values from -999.9995 to 9999.9995, the others the
// general path.
TEST(Fixed3, MatchesPrintfOnMillionsOfFloatsInEveryWidth) {
    std::mt19937 rng(2024);
    int mismatches = 0;
    for (int i = 0; i < 3000000 && mismatches < 10; ++i) {
        float value = i % 4 == 0 ? std::uniform_real_distribution<float>(-1200, 12000)(rng)
                                 : std::uniform_real_distribution<float>(-150, 150)(rng);
        if (i % 4 == 3) {
            const std::uint32_t bits = rng();  // every magnitude, NaN and infinities included
            std::memcpy(&value, &bits, sizeof value);
        }
        const int width = i % 5 == 4 ? i % 13 : 8;
        char written[64] = {};
        const std::string got(written, put_fixed3(written, value, width) - written);
        if (got != with_printf(value, width))
            ADD_FAILURE() << ++mismatches << ": " << got << " vs " << with_printf(value, width);
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
    EXPECT_EQ(to_int("  -12abc"), -12);
    EXPECT_EQ(to_int("x12"), 0);
    EXPECT_EQ(to_int("99999999999999999999"), 2147483647);
    EXPECT_EQ(to_int("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(to_float(" 1.5e1x"), 15.0f);
    EXPECT_EQ(to_float(std::string("4\0" "5", 3)), 4.0f);
    EXPECT_EQ(to_float("1e300"), INFINITY);
    EXPECT_TRUE(std::isnan(to_float("nan")));
    EXPECT_EQ(cut("abcdef", 4, 10), "ef");
    EXPECT_EQ(cut("abc", 5, 2), "");
}

}  // namespace
