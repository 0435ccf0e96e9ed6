// The parameter file: which lines count, how values convert, the messages.
#include <gtest/gtest.h>

#include <sstream>

#include "parameter.h"
#include "support.h"

namespace {

const char* const allKeys =
    "proteinName=abc\nworkDir=/data/run1\npdbFile=/data/run1/helix.pdb\nnoeFile=/data/run1/noe.txt\n"
    "memFile=/data/run1/mem.txt\nnumProtomer=5\nmemResFlag=0\nss_angle=5\nr_beg=3\nr_end=15\nss_r=0.5\n"
    "uncertainty=1.5\n";

Status parse(const std::string& text, Parameter& p) {
    std::istringstream in(text);
    return parse_param(in, "run.param", p);
}

std::string without_line(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line))
        if (line.compare(0, key.size() + 1, key + "=") != 0) out += line + "\n";
    return out;
}

TEST(ParameterFile, AllTwelveKeysFillTheRecordAndTheLogPath) {
    Parameter p;
    ASSERT_TRUE(parse(allKeys, p).ok());
    EXPECT_EQ(p.proteinName, "abc");
    EXPECT_EQ(p.workDir, "/data/run1");
    EXPECT_EQ(p.noeFile, "/data/run1/noe.txt");
    EXPECT_EQ(p.numProtomer, 5);
    EXPECT_EQ(p.ss_r, 0.5f);
    EXPECT_EQ(p.logFile, "/data/run1/abc.log");
    EXPECT_EQ(p.pairDistance[2], 7.28f);
    EXPECT_EQ(p.pairTolerance[0], 1.7f);
}

TEST(ParameterFile, ElevenRecognisedLinesAreEnoughAndAMissingKeyKeepsItsDefault) {
    Parameter p;
    ASSERT_TRUE(parse(without_line(allKeys, "r_end"), p).ok());
    EXPECT_EQ(p.r_end, 15.0f);
    Parameter q;
    ASSERT_TRUE(parse(without_line(allKeys, "memFile"), q).ok());
    EXPECT_EQ(q.memFile, "");
}

TEST(ParameterFile, TenKeysAreAWrongFormatWhateverElseTheFileHolds) {
    std::string text = without_line(without_line(allKeys, "r_end"), "ss_r");
    for (int i = 0; i < 20; ++i) text += "# comment " + std::to_string(i) + "\nunknown=1\n";
    Parameter p;
    EXPECT_EQ(parse(text, p).message, "[Error] 'run.param' has a wrong format");
    EXPECT_EQ(parse("", p).message, "[Error] 'run.param' has a wrong format");
}

TEST(ParameterFile, DuplicatesCountAndTheLastOneWins) {
    std::string text;
    for (int i = 1; i <= 11; ++i) text += "numProtomer=" + std::to_string(i) + "\n";
    Parameter p;
    ASSERT_TRUE(parse(text, p).ok());
    EXPECT_EQ(p.numProtomer, 11);
    EXPECT_EQ(p.workDir, "");
    EXPECT_EQ(p.logFile, "/.log");
}

TEST(ParameterFile, KeysMatchExactly) {
    // A blank before "=" makes another key, so numProtomer stays 0 and the line is not counted.
    std::string text = without_line(allKeys, "numProtomer") + "numProtomer =4\nnumprotomer=4\n";
    Parameter p;
    EXPECT_FALSE(parse(text, p).ok());
    EXPECT_EQ(p.numProtomer, 0);
}

TEST(ParameterFile, ValuesAreTakenVerbatim) {
    Parameter p;
    std::string text = std::string(allKeys) + "workDir= /w=x\r\n";
    ASSERT_TRUE(parse(text, p).ok());
    EXPECT_EQ(p.workDir, " /w=x\r");
    EXPECT_EQ(p.logFile, " /w=x\r/abc.log");
}

TEST(ParameterFile, CrlfLinesKeepTheCarriageReturnInStringsButNumbersConvert) {
    std::string text;
    for (char c : std::string(allKeys)) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Parameter p;
    ASSERT_TRUE(parse(text, p).ok());
    EXPECT_EQ(p.proteinName, "abc\r");
    EXPECT_EQ(p.numProtomer, 5);
    EXPECT_EQ(p.uncertainty, 1.5f);
}

TEST(ParameterFile, NumbersConvertLikeAtoiAndAtof) {
    Parameter p;
    std::string text = std::string(allKeys) +
                       "r_end=1e1\nss_angle=abc\nnumProtomer=  4 helices\nr_beg=0.1\nmemResFlag=99999999999\n";
    ASSERT_TRUE(parse(text, p).ok());
    EXPECT_EQ(p.r_end, 10.0f);
    EXPECT_EQ(p.ss_angle, 0.0f);
    EXPECT_EQ(p.numProtomer, 4);
    EXPECT_EQ(p.r_beg, static_cast<float>(0.1));
    EXPECT_EQ(p.memResFlag, 2147483647);  // clamped, not undefined
}

TEST(ParameterFile, ALineWithoutEqualsSignIsItsOwnKey) {
    // Its value is the line without its last two characters, and it counts.
    Parameter p;
    ASSERT_TRUE(parse(without_line(allKeys, "ss_r") + "ss_r\n", p).ok());
    EXPECT_EQ(p.ss_r, 0.0f);
}

TEST(ParameterFile, ProtomerCountsOutsideOneTo78AreAWrongFormat) {
    Parameter ok;
    EXPECT_TRUE(parse(std::string(allKeys) + "numProtomer=78\n", ok).ok());
    for (const char* value : {"0", "-3", "two", "79", "99999999999"}) {
        Parameter p;
        EXPECT_EQ(parse(std::string(allKeys) + "numProtomer=" + value + "\n", p).message,
                  "[Error] 'run.param' has a wrong format");
    }
}

TEST(ParameterFile, AMissingFileOrADirectoryCannotBeOpened) {
    TempDir dir;
    Parameter p;
    EXPECT_EQ(load_param(dir.file("none.param"), p).message,
              "[Error] Can not open the file '" + dir.file("none.param") + "'");
    EXPECT_EQ(load_param(dir.path().string(), p).message,
              "[Error] Can not open the file '" + dir.path().string() + "'");
}

}  // namespace
