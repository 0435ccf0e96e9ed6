// The page's text safety and its template: escaping, the one-pass filling,
// the command line as typed, and the embedded viewer script.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "html/escape.h"
#include "html/page_template.h"
#include "html/run_words.h"

namespace {

struct Case {
    std::string in, out;
};

TEST(Escape, HtmlText) {
    const Case cases[] = {{"plain 5-30", "plain 5-30"},
                          {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
                          {"a&amp;\"b\"", "a&amp;amp;&quot;b&quot;"},
                          {"\xC3\x85ngstr\xC3\xB6m", "\xC3\x85ngstr\xC3\xB6m"}};
    for (const Case& c : cases) EXPECT_EQ(html_escaped(c.in), c.out) << c.in;
    EXPECT_EQ(base64("fo") + base64("<svg/>\xFF"), "Zm8=PHN2Zy8+/w==");  // the landscape's data address
}

TEST(Escape, JsonStringCannotLeaveItsScript) {
    const Case cases[] = {{"HG", "\"HG\""},
                          {"</script><script>x()", "\"\\u003c/script\\u003e\\u003cscript\\u003ex()\""},
                          {"<!-- a & b", "\"\\u003c!-- a \\u0026 b\""},
                          {"say \"hi\" \\ now", "\"say \\\"hi\\\" \\\\ now\""},
                          {std::string("tab\tnul") + '\0' + "\r\n", "\"tab\\u0009nul\\u0000\\u000d\\u000a\""},
                          {"line\xE2\x80\xA8para\xE2\x80\xA9", "\"line\\u2028para\\u2029\""},
                          {"\xE2\x80\x94 dash", "\"\xE2\x80\x94 dash\""}};
    for (const Case& c : cases) EXPECT_EQ(json_string(c.in), c.out) << c.in;
}

TEST(PageTemplate, FillsOnceAndChecksEveryName) {
    std::string out;
    ASSERT_TRUE(fill_template("<h1>{{A}}</h1>{{B_2}}{{A}}", {{"A", "{{B_2}}"}, {"B_2", "x"}}, out).ok());
    EXPECT_EQ(out, "<h1>{{B_2}}</h1>x{{B_2}}");  // a value is never filled in turn
    ASSERT_TRUE(fill_template("{{ not a name }} {{lower}} {{", {}, out).ok());
    EXPECT_EQ(out, "{{ not a name }} {{lower}} {{");
    EXPECT_EQ(fill_template("{{MISSING}}", {}, out).message,
              "[Error] The page template names {{MISSING}}, which has no value");
    EXPECT_EQ(fill_template("text", {{"EXTRA", ""}}, out).message,
              "[Error] The page template has no place for {{EXTRA}}");
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

TEST(PageTemplate, EmbeddedFilesCanStandInThePage) {
    // The script and the licence are inlined raw: nothing in them may end
    // the script element or the comment the licence stands in.
    const std::string script = lower(viewer_script()), licence = lower(viewer_licence());
    EXPECT_GT(script.size(), 100000u);
    EXPECT_EQ(script.find("</script"), std::string::npos);
    EXPECT_EQ(script.find("<!--"), std::string::npos);
    EXPECT_EQ(licence.find("*/"), std::string::npos);
    EXPECT_EQ(licence.find("</"), std::string::npos);
    EXPECT_NE(licence.find("bsd-3-clause"), std::string::npos);
    EXPECT_EQ(report_template().substr(0, 15), "<!DOCTYPE html>");
}

TEST(RunWords, CommandLineAsTyped) {
    const Case cases[] = {{"", "''"}, {"run/bm2.param", "run/bm2.param"}, {"--residues=5-30", "--residues=5-30"},
                          {"my run/x.param", "'my run/x.param'"}, {"it's", "'it'\\''s'"}, {"$HOME", "'$HOME'"}};
    for (const Case& c : cases) EXPECT_EQ(shell_words({c.in}), c.out) << c.in;
    EXPECT_EQ(shell_words({"noebundle-analyze", "a b", "--top", "3"}), "noebundle-analyze 'a b' --top 3");
}

TEST(RunWords, SequenceOneLetterPerResidue) {
    auto atom = [](const std::string& name, const std::string& residue, int number, char insertion = ' ') {
        std::string line = "ATOM      1  CA  " + residue + " A" + std::string(4 - std::to_string(number).size(), ' ') +
                           std::to_string(number) + insertion;
        return line + std::string(78 - line.size(), ' ') + name;
    };
    EXPECT_EQ(one_letter_sequence({atom("N", "LEU", 1), atom("CA", "LEU", 1), atom("N", "GLY", 2), atom("N", "GLY", 3),
                                   atom("N", "HSD", 3, 'A'), atom("N", "XYZ", 4)}),
              "LGGHX");
}

}  // namespace
