// The report of a conversion: what the user reads about each kept restraint.
#include <gtest/gtest.h>

#include <map>

#include "restraints/xplor.h"
#include "restraints/restraint_convert.h"
#include "restraints/restraint_report.h"

namespace {

// The class the report names is the one noebundle scores with: CB stands in
// for protons from HG on, CA for HN, HA and HB.
TEST(RestraintReport, NamesTheClassOfEachPair) {
    const std::map<std::string, std::string> classes{
        {"HN", "CA-CA"}, {"HA", "CA-CA"}, {"HB#", "CA-CA"}, {"HG", "CA-CB"}, {"HD#", "CA-CB"}, {"HE", "CA-CB"}};
    for (const auto& [name, pairClass] : classes) {
        Conversion c;
        c.path = "t";
        ASSERT_TRUE(read_xplor("assign (segid A and resid 9 and name " + name +
                                   ") (segid B and resid 8 and name HA) 4.0 2.2 1.0", "t", c.input).ok());
        map_restraints(ConvertOptions(), c);
        const std::string report = conversion_report(c);
        EXPECT_NE(report.find("  " + pairClass + " "), std::string::npos) << name << "\n" << report;
    }
}

}  // namespace
