#include "search/search_settings.h"

#include "model/helix_builder.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/text.h"
#include "run/parallel.h"
#include "search/contacts.h"

namespace {

bool to_number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' && std::isfinite(value);
}

bool to_count(const std::string& text, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0' && errno == 0 && value >= 0;
}

Status wrong_option(const std::string& option, const std::string& value) {
    return Status::error("[Error] Wrong option or value: " + option + " " + value);
}

// BEG:END:STEP, exactly three numbers.
bool parse_radius(const std::string& text, double& beg, double& end, double& step) {
    const std::size_t a = text.find(':'), b = a == std::string::npos ? a : text.find(':', a + 1);
    if (b == std::string::npos || text.find(':', b + 1) != std::string::npos) return false;
    return to_number(text.substr(0, a), beg) && to_number(text.substr(a + 1, b - a - 1), end) &&
           to_number(text.substr(b + 1), step);
}

std::string number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", v);
    return text;
}

std::string short_number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// A duration in the largest unit that keeps it above one.
std::string duration(double seconds) {
    const struct { double size; const char* name; } units[] = {
        {86400 * 365.25, "years"}, {86400, "days"}, {3600, "hours"}, {60, "minutes"}, {1, "seconds"}};
    for (const auto& u : units)
        if (seconds >= u.size || u.size == 1) return number(std::round(seconds / u.size * 10) / 10) + " " + u.name;
    return "";
}

// Steps within limits, radii that fit the columns, a range that runs upwards.
Status check_grid(const SearchOptions& o, const SearchSettings& s) {
    const std::string angleName = o.angleStep.empty() ? "ss_angle" : "--angle-step";
    const std::string rName = o.radius.empty() ? "ss_r" : "--radius";
    if (!(s.angleStep >= minAngleStep * (1 - 1e-6) && s.angleStep <= 360))
        return Status::error("[Error] " + angleName + " must lie between 0.06 and 360 degrees: finer angles than "
                             "0.001 radians are the same in the candidate file");
    if (!(s.rStep >= minRadiusStep * (1 - 1e-6)))
        return Status::error("[Error] The radius step (" + rName + ") must be at least 0.001 Angstrom: finer "
                             "steps are the same in the candidate file");
    const std::string names[2] = {o.radius.empty() ? "r_beg" : "--radius", o.radius.empty() ? "r_end" : "--radius"};
    const double values[2] = {s.rBeg, s.rEnd};
    for (int i = 0; i < 2; ++i)
        if (!(values[i] >= lowestRadius && values[i] <= highestRadius))
            return Status::error("[Error] The radius " + short_number(values[i]) + " (" + names[i] +
                                 ") does not fit the candidate file's columns: radii lie between -99999.999 and "
                                 "999999.999");
    if (!(s.rEnd >= s.rBeg))
        return Status::error("[Error] The radius range must run from its beginning up to its end in positive steps");
    return Status::fine();
}

// The placements and the memory the search needs, against the limits.
Status check_bounds(const SearchOptions& o, const SearchSettings& s) {
    double maxPlacements = 0, maxMemory = 0;
    if (!(to_number(o.maxPlacements, maxPlacements) && maxPlacements >= 1))
        return wrong_option("--max-placements", o.maxPlacements);
    if (!(to_number(o.maxMemory, maxMemory) && maxMemory >= 1)) return wrong_option("--max-memory", o.maxMemory);
    if (s.placements > maxPlacements)
        return Status::error("[Error] The grid has " + number(s.placements) + " placements, more than the limit of " +
                             number(maxPlacements) + " (about " + duration(s.placements / placementsPerSecond) +
                             " at 10 million a second); --max-placements " + number(s.placements) + " allows it");
    if (s.keep > s.placements)
        return Status::error("[Error] --keep " + std::to_string(s.keep) + " is more than the " + number(s.placements) +
                             " placements of the grid");
    // Every thread keeps its own best list and landscape; the kept lines are
    // then merged and written out as text (41 bytes a line).
    const double threads = worker_count(), kept = std::min<double>(s.keep, s.placements);
    const double nAngle = angle_count(s.angleStep), nTheta = theta_count(s.angleStep);
    const double cells = nTheta * radius_count(s.rBeg, s.rEnd, s.rStep);
    const double bytes = 4 * (2 * nAngle + cells / nTheta) + 4 * cells * (threads + 1) +
                         kept * (16 * (threads + 1) + 41) + (o.map.empty() ? 0 : 100 * cells);
    const double megabytes = std::ceil(bytes / 1048576);
    if (megabytes > maxMemory)
        return Status::error("[Error] The search would need about " + number(megabytes) + " MB (--keep " +
                             std::to_string(s.keep) + "), more than the limit of " + number(maxMemory) +
                             " MB; --max-memory " + number(megabytes) + " allows it");
    return Status::fine();
}

}  // namespace

double angle_count(double step) { return std::ceil((360.0 - 1e-9) / step); }
double theta_count(double step) { return std::min(angle_count(step), std::floor((180.0 + 1e-9) / step) + 1); }
double radius_count(double rBeg, double rEnd, double rStep) { return std::floor((rEnd + 1e-6 - rBeg) / rStep) + 1; }

bool built_search(const SearchOptions& o) { return o.hasSequence || o.asBuilt; }

std::string built_search_line(const SearchOptions& o) {
    if (!built_search(o)) return "";
    return std::string("Searched as a built helix (") + (o.hasSequence ? "the default with --sequence" : "--as-built") +
           "): side chains packed in the oligomer and placements refined off the grid (--refine), the helix also "
           "bent as a supercoil (--supercoil)";
}

// The helix from --sequence: alone, its letters and numbers checked.
Status settle_sequence(const SearchOptions& o, SearchSettings& s) {
    if (!o.hasSequence) {
        if (o.first.empty()) return Status::fine();
        return Status::error("[Error] --first numbers the residues that --sequence builds; give --sequence too");
    }
    if (!o.from.empty()) return Status::error("[Error] --sequence and --from both give the helix; give one of them");
    if (!o.chain.empty() || !o.residues.empty())
        return Status::error("[Error] --chain and --residues choose from the --from file; --sequence builds the helix");
    Status status = o.first.empty() ? Status::fine() : parse_first(o.first, s.first);
    return status.ok() ? check_sequence(o.sequence, s.first) : status;
}

Status settle_search(const SearchOptions& o, const Parameter& param, SearchSettings& s) {
    Status sequence = settle_sequence(o, s);
    if (!sequence.ok()) return sequence;
    s.choice.chain = o.chain;
    s.choice.model = o.model;
    if (!o.residues.empty() && !(s.choice.range = parse_range(o.residues, s.choice.first, s.choice.last)))
        return wrong_option("--residues", o.residues);
    s.angleStep = param.ss_angle;
    if (!o.angleStep.empty() && !to_number(o.angleStep, s.angleStep)) return wrong_option("--angle-step", o.angleStep);
    s.rBeg = param.r_beg, s.rEnd = param.r_end, s.rStep = param.ss_r;
    if (!o.radius.empty() && !parse_radius(o.radius, s.rBeg, s.rEnd, s.rStep)) return wrong_option("--radius", o.radius);
    if (!to_count(o.keep, s.keep)) return wrong_option("--keep", o.keep);
    if (s.keep == 0) return Status::error("[Error] --keep 0 keeps no placement; give at least 1");
    if (!to_number(o.cluster, s.clusterCutoff) || !(s.clusterCutoff > 0 && s.clusterCutoff <= 1e3))
        return wrong_option("--cluster", o.cluster);
    long threads = 0;
    if (!o.threads.empty() && !(to_count(o.threads, threads) && threads >= 1 && threads <= 256))
        return wrong_option("--threads", o.threads);
    set_worker_count(static_cast<int>(threads));
    Status status = check_grid(o, s);
    if (!status.ok()) return status;
    s.placements = angle_count(s.angleStep) * angle_count(s.angleStep) * theta_count(s.angleStep) *
                   radius_count(s.rBeg, s.rEnd, s.rStep);
    return check_bounds(o, s);
}

Status no_bundle_error(const Helix& aligned, int numProtomer, double rEnd) {
    double width = 0;
    for (int k = 0; k < aligned.numResidue; ++k) {
        const Point& ca = aligned.coord[2 * k];
        width = std::max(width, 2 * std::hypot(double(ca.x), double(ca.y)));
    }
    const double apart = numProtomer > 1 ? 2 * rEnd * std::sin(3.14159265358979 / numProtomer) : 0;
    std::string message = "[Error] Every placement searched has backbone atoms of two protomers " +
                          std::string(clashText) + ", so no bundle passes the steric rule; ";
    if (numProtomer > 1 && apart < width)
        return Status::error(message + "the radii searched are too small for " + std::to_string(numProtomer) +
                             " helices: at the largest, " + decimals(rEnd, 3) + " \u00c5, neighbouring axes lie " +
                             decimals(apart, 1) + " \u00c5 apart, less than the helix's width of " + decimals(width, 1) +
                             " \u00c5 (CA atoms); search larger radii (--radius, or r_beg to r_end)");
    return Status::error(message + "check numProtomer and the radii searched (--radius, or r_beg to r_end)");
}
