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

// noeModel=upper is suggested once one kept restraint in ten has an upper bound below its class's lower bound.
TEST(RestraintReport, SuggestsUpperForCloseProtons) {
    for (int close : {0, 1, 2}) {
        std::string table;
        for (int i = 0; i < 12; ++i)
            table += "assign (segid A and resid " + std::to_string(i + 1) + " and name HA) (segid B and resid 8 and name HA) " +
                     (i < close ? "2.0 0.2 0.5\n" : "5.0 0.2 0.5\n");
        Conversion c;
        ASSERT_TRUE(read_xplor(table, "t", c.input).ok());
        map_restraints(ConvertOptions(), c);
        EXPECT_EQ(model_suggestion(c).rfind("Suggestion: noeModel=upper. 2 of 12 kept", 0) == 0, close == 2) << close;
    }
}

}  // namespace
