#include "analysis/analysis_memory.h"

#include <cmath>
#include <string>

Status check_analysis_memory(std::size_t top, int restraints, double maxMemory) {
    const double pairs = static_cast<double>(top) * restraints;
    const double megabytes = std::ceil((pairs * analysisBytesPerPair) / 1048576 + 64);
    if (megabytes <= maxMemory) return Status::fine();
    const auto whole = [](double v) { return std::to_string(static_cast<long long>(v)); };
    return Status::error("[Error] The analysis of the best " + std::to_string(top) + " structures against " +
                         std::to_string(restraints) + " restraints would need about " + whole(megabytes) +
                         " MB, more than the limit of " + whole(maxMemory) + " MB; --max-memory " + whole(megabytes) +
                         " allows it, a smaller --top needs less");
}
