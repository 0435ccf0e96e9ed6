// allowed.csv written and read back; files that disagree with themselves refused.
#include <gtest/gtest.h>

#include <sstream>

#include "formats/allowed_set.h"

namespace {

TEST(AllowedSet, ReadsBackWhatItWritesAndRefusesWhatDoesNotAddUp) {
    AllowedSet set;
    set.allowed = 7;
    set.clusters = {{5, 0.0f, {2.443f, 0.436f, 3.142f, 7.5f, 0, 0}, -162.809, 1.734, 0},
                    {2, 0.012f, {1.0f, 0.2f, 0.5f, 12.25f, 0, 0}, 3.5, 0, 4.125}};
    const std::string text = allowed_set_text(set);
    AllowedSet back;
    std::istringstream in(text);
    ASSERT_TRUE(parse_allowed_set(in, "a.csv", back).ok());
    EXPECT_EQ(allowed_set_text(back), text);
    EXPECT_EQ(back.clusters[1].row, set.clusters[1].row);
    const std::string line2 = "2,2,0.012,1.000,0.200,0.500,12.250,3.500,0.000,4.125\n";
    ASSERT_NE(text.find(line2), std::string::npos) << text;
    for (const std::string& broken : {text.substr(0, text.find(line2)),                      // populations short of 7
                                      text.substr(text.find('\n') + 1),                       // a comment line lost
                                      text.substr(0, text.size() - 1) + ",9\n",               // a field too many
                                      text.substr(0, text.find(line2)) + "3" + line2.substr(1)}) {  // numbered wrong
        std::istringstream bad(broken);
        EXPECT_EQ(parse_allowed_set(bad, "a.csv", back).message, "[Error] 'a.csv' has a wrong format") << broken;
    }
}

}  // namespace
