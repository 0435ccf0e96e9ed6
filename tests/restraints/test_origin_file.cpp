// The origin file read back as written, and refused once either file changed.
#include <gtest/gtest.h>

#include "restraints/origin_file.h"
#include "support.h"

namespace {

TEST(OriginFile, ReadsBackWhatItWroteAndNoticesAnEdit) {
    TempDir dir;
    Conversion c;
    c.path = dir.file("list.tbl");
    c.input.format = "XPLOR/CNS";
    InputRestraint r;
    r.origin = "line 12";
    r.hasTarget = r.hasUpper = true, r.target = 4.25f, r.upper = 0.1f;  // no lower bound given
    r.terms = "4.25 1.8 0.1";
    r.end1.choices = {{"A", true, 27, 27, "HN", 1}, {"", false, 0, 0, "", 2}};  // any atom of any residue
    r.end2.choices = {{"B", true, 9, 12, "HG#", 1}};
    c.input.restraints = {InputRestraint{}, r};
    c.kept.push_back({1, {}, {}, 0});
    const std::string restraintText = "assign (resid 27 and name HN) (resid 9 and name HG) 4.25 1.8 0.1\n";
    const std::string path = dir.file("list.noe");
    write_text(origin_path(path), origin_text(c, restraintText, origin_path(path)));

    RestraintOrigin read;
    ASSERT_TRUE(read_origin(path, restraintText, read).ok());
    EXPECT_EQ(read.format + " " + read.source, "XPLOR/CNS " + dir.path().lexically_normal().generic_string() + "/list.tbl");
    ASSERT_EQ(read.restraints.size(), 1u);
    const InputRestraint& back = read.restraints[0];
    EXPECT_EQ(back.origin + "|" + back.terms, "line 12|4.25 1.8 0.1");
    EXPECT_TRUE(back.hasTarget && !back.hasLower && back.hasUpper && back.target == 4.25f && back.upper == 0.1f);
    std::vector<std::string> atoms;
    for (const RestraintEnd* end : {&back.end1, &back.end2})
        for (const AtomChoice& a : end->choices)
            atoms.push_back(a.chain + (a.residueGiven ? " given " : " any ") + std::to_string(a.firstResidue) + "-" +
                            std::to_string(a.lastResidue) + " " + a.name + " " + std::to_string(a.pair));
    EXPECT_EQ(atoms, (std::vector<std::string>{"A given 27-27 HN 1", " any 0-0  2", "B given 9-12 HG# 1"}));

    // A restraint line more, or one edited, or a distance edited in the origin file, no longer matches.
    EXPECT_FALSE(read_origin(path, restraintText + restraintText, read).ok());
    std::string edited = restraintText;
    edited[edited.find("4.25")] = '5';
    EXPECT_EQ(read_origin(path, edited, read).message,
              "the origin file '" + origin_path(path) + "' does not match '" + path +
                  "' (one of them changed since the conversion)");
    std::string origin = read_text(origin_path(path));
    write_text(origin_path(path), origin.insert(origin.find("\ndistances ") + 11, "9"));
    EXPECT_FALSE(read_origin(path, restraintText, read).ok());
}

}  // namespace
