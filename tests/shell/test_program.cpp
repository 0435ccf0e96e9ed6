// The date written into exported files: SOURCE_DATE_EPOCH when it is a
// whole number of seconds from 1970 to 9999, else the epoch itself.
#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/program.h"

namespace {

TEST(Program, SourceDateFromTheEnvironment) {
    const char* const epoch = "1970-01-01T00:00:00";
    const std::pair<const char*, const char*> cases[] = {
        {"1700000000", "2023-11-14T22:13:20"}, {"253402300799", "9999-12-31T23:59:59"}, {"253402300800", epoch},
        {"-1", epoch}, {"17e8", epoch}, {"", epoch}};
    for (const auto& [value, date] : cases) {
        ::setenv("SOURCE_DATE_EPOCH", value, 1);
        EXPECT_EQ(source_date(), date) << value;
    }
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(source_date(), epoch);
}

}  // namespace
