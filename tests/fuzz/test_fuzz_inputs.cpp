// Every saved fuzzer input, seeds and findings alike, through the same
// entries the fuzzers use: they must all return, under the sanitizers too.
#include <gtest/gtest.h>

#include <map>

#include "fuzz/targets.h"
#include "support.h"

TEST(FuzzInputs, EverySavedInputRuns) {
    const std::map<std::string, void (*)(const std::uint8_t*, std::size_t)> targets{
        {"parameter_file", fuzz_parameter_file}, {"helix_files", fuzz_helix_files},
        {"restraint_file", fuzz_restraint_file}, {"candidate_file", fuzz_candidate_file},
        {"template", fuzz_template}, {"xplor_restraints", fuzz_xplor_restraints},
        {"nef_restraints", fuzz_nef_restraints}, {"prepare", fuzz_prepare},
        {"allowed_set", fuzz_allowed_set}};
    int inputs = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path top = fs::path(TEST_DATA) / ".." / "fuzz" / kind;
        for (const auto& folder : fs::exists(top) ? fs::directory_iterator(top) : fs::directory_iterator()) {
            const auto target = targets.at(folder.path().filename().string());
            for (const auto& file : fs::directory_iterator(folder.path())) {
                SCOPED_TRACE(file.path().string());
                const std::string bytes = read_text(file.path().string());
                target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
                ++inputs;
            }
        }
    }
    EXPECT_GE(inputs, 5);
}
