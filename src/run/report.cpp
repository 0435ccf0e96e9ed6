#include "run/report.h"

#include <mutex>

#include "run/parallel.h"
#include "run/score.h"
#include "base/text.h"

std::string table_row(std::size_t rank, float score) {
    return padded(static_cast<long>(rank), 4) + fixed3(score, 9);
}

std::string done_line(std::size_t count, const std::string& workDir) {
    return "[Done] " + std::to_string(count) + (count > 1 ? " structures " : " structure ") +
           "can be found in '" + workDir + "'";
}

std::vector<int> restraint_votes(const Helix& aligned, const Restraint& res, int numProtomer,
                                 const CandidateTable& table) {
    const Scorer scorer(aligned, res, numProtomer);
    const int m = res.numRestraint;
    std::vector<int> sums(m, 0);
    std::mutex merge;
    parallel_slices(table.size(), [&](std::size_t first, std::size_t last) {
        Scorer::Scratch scratch = scorer.scratch();
        std::vector<int> flags(m), partial(m, 0);
        for (std::size_t c = first; c < last; ++c) {
            scorer.flags(table[c], scratch, flags.data());
            for (int i = 0; i < m; ++i) partial[i] += flags[i];
        }
        std::lock_guard<std::mutex> lock(merge);
        for (int i = 0; i < m; ++i) sums[i] += partial[i];
    });
    return sums;
}

static std::string right_aligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string report_line(const Restraint& res, int i, const std::vector<int>& resNum, int sum,
                        int numProtomer) {
    std::string neighbour = sum < 0 ? "(AN2," : "(AN" + std::to_string(numProtomer) + ",";
    return "(AN1," + padded(resNum[res.resIndex1[i]], 4) + "," + right_aligned(res.proton1[i], 3) +
           ") - " + neighbour + padded(resNum[res.resIndex2[i]], 4) + "," +
           right_aligned(res.proton2[i], 3) + ")";
}
