// The oligomer PDB text: columns, widths and the protomer character.
#include <gtest/gtest.h>


#include "run/oligomer.h"
#include "base/text.h"
#include "support.h"

namespace {

Template small_template() {  // ATOM lines among other records, one of them short
    return read_template(TEST_DATA "/template.pdb");
}

TEST(OligomerPdb, ColumnsOfOneProtomer) {
    EXPECT_EQ(oligomer_pdb(small_template(), CandidateRow{0, 0, 0, 0, 0, 0}, 1),
              "ATOM      1  N   ALA    12       0.000   0.000   0.000  1.00  0.00      AN1X    XY\n"
              "ATOM      2  CA  ALA    12      -0.000   2.000  -3.000  1.00  0.00      AN1   \n"
              "ATOM      3  CB  ALA    12       1.000   0.000  10.000                  AN1   \n"
              "END\n");
    EXPECT_EQ(lines_of(oligomer_pdb(small_template(), CandidateRow{0, 0, 0, 2.5f, 0, 0}, 1))[1].substr(30, 24),
              "   2.500   2.000  -3.000");
    EXPECT_EQ(lines_of(oligomer_pdb(small_template(), CandidateRow{0, 0, 0, 12345.0f, 0, 0}, 1))[0].substr(30, 25),
              "12345.000   0.000   0.000");  // wide values widen their field
}

TEST(OligomerPdb, SeventyEightProtomersEachWithItsCharacterAndSerials) {
    const std::vector<std::string> lines = lines_of(oligomer_pdb(small_template(), {0.3f, 1.1f, -0.4f, 8, 0, 0}, 78));
    ASSERT_EQ(lines.size(), 3u * 78 + 1);
    for (int p = 0; p < 78; ++p) {
        EXPECT_EQ(lines[3 * p + 2].substr(6, 5), padded(3 * p + 3, 5));
        EXPECT_EQ(lines[3 * p + 2].substr(72, 3), std::string("AN") + char('1' + p));  // ':' for the tenth
    }
    EXPECT_EQ(lines[3 * 77].substr(72, 3), "AN~");
    EXPECT_EQ(lines.back(), "END");
}

}  // namespace
