#include "getpdb.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "text.h"

// Defined in this order, so constructed in this order.
Parameter param;
Helix helix;
Helix helix2;
Restraint res;
Getpdb getpdb;

bool fequal(float a, float b) {
    float difference = a - b;
    return 1e-6 > std::fabs(static_cast<double>(difference));
}

int acompare(const void* p, const void* q) {
    float x = *static_cast<const float*>(p);
    float y = *static_cast<const float*>(q);
    if (x > y) return 1;
    if (fequal(x, y)) return 0;
    return -1;
}

static std::string candidate_path() { return param.workDir + "/" + param.proteinName + ".cs"; }

// ------------------------------------------------------------- entry point

static const char* const usage =
    "Usage: noebundle PARAMETER_FILE\n"
    "Scores candidate placements of one helix in a symmetric oligomer against\n"
    "inter-protomer distance restraints, ranks them, and writes every\n"
    "candidate's oligomer as a PDB file. All settings are in PARAMETER_FILE.";

int noebundle_main(int argc, char** argv) {
    if (argc < 2 || argv[1] == nullptr) fail("[Error] Usage: noebundle PARAMETER_FILE");
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        print_line(usage);
        return 0;
    }
    if (first == "--version") {
        print_line(std::string("noebundle ") + NOEBUNDLE_VERSION);
        return 0;
    }
    param.read_param(argv[1]);
    helix.read_pdb();
    helix.move_zaxis();
    helix2.read_pdb();
    res.read_restraint();
    getpdb.get_structure();
    return 0;
}

// ------------------------------------------------------------- candidates

CandidateRow parse_candidate_line(const std::string& line) {
    CandidateRow row{};
    for (int k = 0; k < 4; ++k) row[k] = to_float(cut(line, 10 * k, 10));
    return row;
}

Status parse_candidates(std::istream& in, const std::string& path, CandidateTable& table) {
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 30) return Status::error(wrong_format(path));
        table.push_back(parse_candidate_line(line));
    }
    return Status::fine();
}

std::string candidate_line(const CandidateRow& row) {
    return fixed3(row[0], 10) + fixed3(row[1], 10) + fixed3(row[2], 10) + fixed3(row[3], 10);
}

void Getpdb::read_cs(const std::string& path, CandidateTable& table) {
    std::ifstream in;
    if (!open_input(in, path)) fail(cannot_open(path));
    check(parse_candidates(in, path, table));
}

// ---------------------------------------------------------------- scoring

float violation(float d, float lower, float upper) {
    float excess;
    if (d > upper) excess = d - upper;
    else if (d < lower) excess = d - lower;
    else return 0;
    return static_cast<float>(static_cast<double>(excess) * static_cast<double>(excess));
}

float restraint_score(const Restraint& res, const Point* model, const Point* turned) {
    float sum = 0;
    for (int r = 0; r < res.numRestraint; ++r) {
        float d1, d2;
        pair_distances(res, r, model, turned, d1, d2);
        float u1 = violation(d1, res.lowerBound[r], res.upperBound[r]);
        float u2 = violation(d2, res.lowerBound[r], res.upperBound[r]);
        sum += u2 < u1 ? u2 : u1;
    }
    float mean = sum / static_cast<float>(res.numRestraint);
    return static_cast<float>(std::sqrt(static_cast<double>(mean)));
}

float scoring_function(const CandidateRow& row) {
    static std::vector<Point> rotated, model, turned;  // scratch, reused
    const int n = helix.numPoint();
    rotated.resize(n);
    model.resize(n);
    turned.resize(n);
    helix.rotate(&row[0], rotated.data());
    helix.transit(rotated.data(), model.data(), &row[3]);
    std::copy(model.begin(), model.end(), helix2.coord.begin());
    const float step[3] = {step_angle(param.numProtomer), 0, 0};
    helix2.rotate(step, turned.data());
    return restraint_score(res, model.data(), turned.data());
}

// --------------------------------------------------------------- ranking

namespace {
// Minimum of row numbers over a range of positions, with removal.
class MinTree {
public:
    explicit MinTree(const std::vector<int>& rows) : size_(1) {
        while (size_ < rows.size()) size_ *= 2;
        tree_.assign(2 * size_, INT_MAX);
        for (std::size_t i = 0; i < rows.size(); ++i) tree_[size_ + i] = rows[i];
        for (std::size_t i = size_ - 1; i > 0; --i) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
    }
    int min(std::size_t lo, std::size_t hi) const {  // over [lo, hi)
        int best = INT_MAX;
        for (lo += size_, hi += size_; lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1) best = std::min(best, tree_[lo++]);
            if (hi & 1) best = std::min(best, tree_[--hi]);
        }
        return best;
    }
    void remove(std::size_t position) {
        std::size_t i = position + size_;
        tree_[i] = INT_MAX;
        for (i /= 2; i > 0; i /= 2) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
    }

private:
    std::size_t size_;
    std::vector<int> tree_;
};
}  // namespace

std::vector<int> rank_map(const std::vector<float>& scores, const std::vector<float>& sorted) {
    const std::size_t n = scores.size();
    // The rows whose score fequals s form one range when rows are ordered by
    // score, because the float difference grows with the score. A NaN score
    // fequals nothing.
    std::vector<int> order;
    for (std::size_t j = 0; j < n; ++j)
        if (!std::isnan(scores[j])) order.push_back(static_cast<int>(j));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return scores[a] < scores[b]; });
    std::vector<std::size_t> positionOf(n);
    for (std::size_t i = 0; i < order.size(); ++i) positionOf[order[i]] = i;
    MinTree untaken(order);

    std::vector<int> map(n, -1);
    std::vector<char> taken(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const float s = sorted[i];
        if (!std::isfinite(s)) continue;
        auto below = [&](int j) { return static_cast<double>(scores[j] - s) <= -1e-6; };
        auto notAbove = [&](int j) { return static_cast<double>(scores[j] - s) < 1e-6; };
        std::size_t lo = std::partition_point(order.begin(), order.end(), below) - order.begin();
        std::size_t hi = std::partition_point(order.begin(), order.end(), notAbove) - order.begin();
        int row = untaken.min(lo, hi);
        if (row == INT_MAX) continue;
        map[i] = row;
        taken[row] = 1;
        untaken.remove(positionOf[row]);
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (map[i] >= 0) continue;
        while (taken[next]) ++next;
        map[i] = static_cast<int>(next);
        taken[next] = 1;
    }
    return map;
}

void Getpdb::sort_csv(const CandidateTable& table, std::vector<float>& scores) {
    const std::size_t n = table.size();
    std::vector<float> inTableOrder(n);
    for (std::size_t i = 0; i < n; ++i) inTableOrder[i] = scoring_function(table[i]);
    std::vector<float> sorted = inTableOrder;
    if (n > 0) std::qsort(sorted.data(), n, sizeof(float), acompare);
    std::vector<int> map = rank_map(inTableOrder, sorted);

    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        scores.push_back(sorted[i]);
        text += candidate_line(table[map[i]]);
        text += '\n';
    }
    const std::string path = candidate_path();
    if (!replace_file(path, text, true)) fail(cannot_open(path));
}

// ------------------------------------------------------------- structures

Template parse_template(std::istream& in) {
    Template tmpl;
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 4, "ATOM") != 0) continue;
        if (line.size() < 78) line.resize(78, ' ');  // trailing blanks dropped by the writer
        tmpl.points.push_back(
            {to_float(cut(line, 30, 8)), to_float(cut(line, 38, 8)), to_float(cut(line, 46, 8))});
        tmpl.lines.push_back(std::move(line));
    }
    return tmpl;
}

static void append_atom_line(std::string& out, const std::string& line, long serial, Point p,
                             int protomer) {
    out.append(line, 0, 6);
    out += padded(serial, 5);
    out.append(line, 11, 10);
    out += ' ';
    out.append(line, 22, 8);
    out += fixed3(p.x, 8);
    out += fixed3(p.y, 8);
    out += fixed3(p.z, 8);
    out.append(line, 54, 18);
    out += "AN";
    out += static_cast<char>('1' + protomer);
    out.append(line, 75, 2);
    out += ' ';
    out.append(line, 78, std::string::npos);
    out += '\n';
}

std::string oligomer_pdb(const Template& tmpl, const CandidateRow& row, int numProtomer) {
    const int n = static_cast<int>(tmpl.points.size());
    std::vector<Point> rotated(n), first(n), output(n);
    Helix::rotate(tmpl.points.data(), &row[0], rotated.data(), n);
    const float shift[3] = {row[3], 0, 0};
    Helix::transit(rotated.data(), output.data(), shift, n);
    first = output;
    std::string out;
    long serial = 0;
    for (int p = 0; p < numProtomer; ++p) {
        for (int j = 0; j < n; ++j) append_atom_line(out, tmpl.lines[j], ++serial, output[j], p);
        if (p < numProtomer - 1) {
            const float turn[3] = {static_cast<float>((p + 1) * 6.283186 / numProtomer), 0, 0};
            Helix::rotate(first.data(), turn, output.data(), n);
        }
    }
    out += "END\n";
    return out;
}

void Getpdb::write_pdb() {
    const std::string templatePath = param.workDir + "/origin.pdb";
    std::ifstream templateFile;
    if (!open_input(templateFile, templatePath)) fail(cannot_open(templatePath));
    const Template tmpl = parse_template(templateFile);
    const std::string path = candidate_path();
    std::ifstream candidates;
    if (!open_input(candidates, path)) fail(cannot_open(path));
    std::string line;
    for (long k = 1; std::getline(candidates, line); ++k) {
        if (line.size() < 30) fail(wrong_format(path));
        const std::string out = param.workDir + "/" + param.proteinName + "_" + std::to_string(k) + ".pdb";
        if (!replace_file(out, oligomer_pdb(tmpl, parse_candidate_line(line), param.numProtomer), false))
            fail(cannot_open(out));
    }
}

// ----------------------------------------------------------- the report

std::vector<int> restraint_votes(const CandidateTable& table) {
    const int n = helix.numPoint();
    std::vector<Point> rotated(n), model(n);
    std::vector<int> sums(res.numRestraint, 0), flags(res.numRestraint);
    for (const CandidateRow& row : table) {
        helix.rotate(&row[0], rotated.data());
        helix.transit(rotated.data(), model.data(), &row[3]);
        std::fill(flags.begin(), flags.end(), 0);
        check_restraint(model.data(), flags.data());
        for (int i = 0; i < res.numRestraint; ++i) sums[i] += flags[i];
    }
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

// Writes a line to the log and then to standard output, flushing both.
static void log_and_print(std::FILE* log, const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), log);
    std::fputc('\n', log);
    std::fflush(log);
    print_line(line);
}

static std::FILE* open_log() {
    std::FILE* log = std::fopen(param.logFile.c_str(), "a");
    if (log == nullptr) fail(cannot_open(param.logFile));
    return log;
}

void Getpdb::determine_direction(const CandidateTable& table) {
    const std::vector<int> sums = restraint_votes(table);
    std::FILE* log = open_log();
    log_and_print(log, "Predicted unambiguous restraints:");
    for (int i = 0; i < res.numRestraint; ++i)
        if (sums[i] != 0) log_and_print(log, report_line(res, i, helix.resNum, sums[i], param.numProtomer));
    std::fclose(log);
}

// ------------------------------------------------------------- the driver

std::string table_row(std::size_t rank, float score) {
    return padded(static_cast<long>(rank), 4) + fixed3(score, 9);
}

std::string done_line(std::size_t count, const std::string& workDir) {
    return "[Done] " + std::to_string(count) + (count > 1 ? " structures " : " structure ") +
           "can be found in '" + workDir + "'";
}

void Getpdb::get_structure() {
    CandidateTable table;
    std::vector<float> scores;
    read_cs(candidate_path(), table);
    sort_csv(table, scores);
    write_pdb();
    std::FILE* log = open_log();
    log_and_print(log, std::to_string(table.size()) + " structures are calculated:");
    log_and_print(log, "  ID    Delta");
    for (std::size_t i = 0; i < scores.size(); ++i) log_and_print(log, table_row(i + 1, scores[i]));
    std::fclose(log);
    if (param.numProtomer > 2) determine_direction(table);
    print_line(done_line(table.size(), param.workDir));
}
