#include "getpdb.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
    if (answered_standard_options(argc, argv, "noebundle", usage)) return 0;
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
    const float excess = d > upper ? d - upper : (d < lower ? d - lower : 0.0f);
    // The square of a float is exact in double, so squaring in double and
    // rounding to float is one rounding, the same as a float product.
    return excess * excess;
}

float root_mean(float sum, int count) {
    // A float square root equals the double one rounded to float.
    return std::sqrt(sum / static_cast<float>(count));
}

float restraint_score(const Restraint& res, const Point* model, const Point* turned) {
    float sum = 0;
    for (int r = 0; r < res.numRestraint; ++r) {
        float d1, d2;
        pair_distances(res, r, model, turned, d1, d2);
        sum = add_better_pairing(sum, d1, d2, res.lowerBound[r], res.upperBound[r]);
    }
    return root_mean(sum, res.numRestraint);
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

Scorer::Scorer(const Helix& aligned, const Restraint& res, int numProtomer) : count_(res.numRestraint) {
    const float step[3] = {step_angle(numProtomer), 0, 0};
    step_ = rotation_matrix(step);
    for (int r = 0; r < res.numRestraint; ++r) {
        const Point a = aligned.coord[end_point(res.resIndex1[r], res.atom1[r])];
        const Point b = aligned.coord[end_point(res.resIndex2[r], res.atom2[r])];
        ax_.push_back(a.x), ay_.push_back(a.y), az_.push_back(a.z);
        bx_.push_back(b.x), by_.push_back(b.y), bz_.push_back(b.z);
        lower_.push_back(res.lowerBound[r]);
        upper_.push_back(res.upperBound[r]);
    }
    // Whole groups of four for the vector loop; the padding is never added up.
    const std::size_t padded = (count_ + 3) / 4 * 4;
    for (std::vector<float>* v : {&ax_, &ay_, &az_, &bx_, &by_, &bz_, &lower_, &upper_}) v->resize(padded, 0.0f);
}

Scorer::Scratch Scorer::scratch() const {
    const std::vector<float> room(ax_.size());
    return Scratch{room, room, room, room, room, room, room, room, room};
}

namespace {
// Four lanes of float arithmetic. Every lane rounds as the scalar operation
// does, so the vector loop gives the bits of the point-by-point code: each
// placed point is ((m1 x + m2 y) + m3 z) + shift, its image is turned the same
// way, and each distance is the float root of (dx dx + dy dy) + dz dz.
#ifdef __SSE2__
struct Lanes {
    __m128 v;
};
inline Lanes lanes(float v) { return {_mm_set1_ps(v)}; }
inline Lanes load(const float* p) { return {_mm_loadu_ps(p)}; }
inline void store(float* p, Lanes a) { _mm_storeu_ps(p, a.v); }
inline Lanes operator+(Lanes a, Lanes b) { return {_mm_add_ps(a.v, b.v)}; }
inline Lanes operator-(Lanes a, Lanes b) { return {_mm_sub_ps(a.v, b.v)}; }
inline Lanes operator*(Lanes a, Lanes b) { return {_mm_mul_ps(a.v, b.v)}; }
inline Lanes root(Lanes a) { return {_mm_sqrt_ps(a.v)}; }
// a > b ? p : (a < c ? q : 0), lane by lane.
inline Lanes pick(Lanes a, Lanes b, Lanes p, Lanes c, Lanes q) {
    const __m128 above = _mm_cmpgt_ps(a.v, b.v), below = _mm_cmplt_ps(a.v, c.v);
    return {_mm_or_ps(_mm_and_ps(above, p.v), _mm_andnot_ps(above, _mm_and_ps(below, q.v)))};
}
// a < b ? a : b, lane by lane.
inline Lanes smaller(Lanes a, Lanes b) { return {_mm_min_ps(a.v, b.v)}; }
#else
struct Lanes {
    float v[4];
};
inline Lanes lanes(float v) { return {{v, v, v, v}}; }
inline Lanes load(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
inline void store(float* p, Lanes a) { std::copy(a.v, a.v + 4, p); }
template <class F>
inline Lanes each(Lanes a, Lanes b, F f) { return {{f(a.v[0], b.v[0]), f(a.v[1], b.v[1]), f(a.v[2], b.v[2]), f(a.v[3], b.v[3])}}; }
inline Lanes operator+(Lanes a, Lanes b) { return each(a, b, [](float x, float y) { return x + y; }); }
inline Lanes operator-(Lanes a, Lanes b) { return each(a, b, [](float x, float y) { return x - y; }); }
inline Lanes operator*(Lanes a, Lanes b) { return each(a, b, [](float x, float y) { return x * y; }); }
inline Lanes root(Lanes a) { return each(a, a, [](float x, float) { return std::sqrt(x); }); }
inline Lanes pick(Lanes a, Lanes b, Lanes p, Lanes c, Lanes q) {
    Lanes out;
    for (int i = 0; i < 4; ++i) out.v[i] = a.v[i] > b.v[i] ? p.v[i] : (a.v[i] < c.v[i] ? q.v[i] : 0.0f);
    return out;
}
inline Lanes smaller(Lanes a, Lanes b) { return each(a, b, [](float x, float y) { return x < y ? x : y; }); }
#endif

struct Points {
    Lanes x, y, z;
};

inline Points transform(const Rotation& r, const Points& p) {
    const auto& m = r.m;
    return {(lanes(m[0][0]) * p.x + lanes(m[0][1]) * p.y) + lanes(m[0][2]) * p.z,
            (lanes(m[1][0]) * p.x + lanes(m[1][1]) * p.y) + lanes(m[1][2]) * p.z,
            (lanes(m[2][0]) * p.x + lanes(m[2][1]) * p.y) + lanes(m[2][2]) * p.z};
}

inline Lanes gaps(const Points& p, const Points& q) {
    const Lanes dx = p.x - q.x, dy = p.y - q.y, dz = p.z - q.z;
    return root((dx * dx + dy * dy) + dz * dz);
}

// The violation of each distance, as violation() computes it.
inline Lanes violations(Lanes d, Lanes lower, Lanes upper) {
    const Lanes excess = pick(d, upper, d - upper, lower, d - lower);
    return excess * excess;
}
}  // namespace

void Scorer::rotate_ends(const Rotation& r, Scratch& s) const {
    for (std::size_t i = 0; i < ax_.size(); i += 4) {
        const Points a = transform(r, {load(&ax_[i]), load(&ay_[i]), load(&az_[i])});
        const Points b = transform(r, {load(&bx_[i]), load(&by_[i]), load(&bz_[i])});
        store(&s.ax[i], a.x), store(&s.ay[i], a.y), store(&s.az[i], a.z);
        store(&s.bx[i], b.x), store(&s.by[i], b.y), store(&s.bz[i], b.z);
    }
}

void Scorer::measure(const float shift[3], Scratch& s) const {
    const Lanes sx = lanes(shift[0]), sy = lanes(shift[1]), sz = lanes(shift[2]);
    for (std::size_t i = 0; i < ax_.size(); i += 4) {
        const Points a{load(&s.ax[i]) + sx, load(&s.ay[i]) + sy, load(&s.az[i]) + sz};
        const Points b{load(&s.bx[i]) + sx, load(&s.by[i]) + sy, load(&s.bz[i]) + sz};
        store(&s.d1[i], gaps(a, transform(step_, b)));
        store(&s.d2[i], gaps(transform(step_, a), b));
    }
}

float Scorer::score_rotated(const float shift[3], Scratch& s) const {
    measure(shift, s);
    for (std::size_t i = 0; i < ax_.size(); i += 4) {
        const Lanes lower = load(&lower_[i]), upper = load(&upper_[i]);
        store(&s.better[i], smaller(violations(load(&s.d2[i]), lower, upper),
                                    violations(load(&s.d1[i]), lower, upper)));
    }
    float sum = 0;  // in restraint order, as the plain loop adds
    for (std::size_t i = 0; i < count_; ++i) sum += s.better[i];
    return root_mean(sum, static_cast<int>(count_));
}

float Scorer::score(const CandidateRow& row, Scratch& s) const {
    rotate_ends(rotation_matrix(&row[0]), s);
    return score_rotated(&row[3], s);
}

void Scorer::flags(const CandidateRow& row, Scratch& s, int* flags) const {
    rotate_ends(rotation_matrix(&row[0]), s);
    measure(&row[3], s);
    for (std::size_t i = 0; i < count_; ++i) flags[i] = closer_side(s.d1[i], s.d2[i]);
}

// ---------------------------------------------------------------- threads

static int requestedWorkers = 0;

void set_worker_count(int count) { requestedWorkers = count; }

int worker_count() {
    if (requestedWorkers > 0) return requestedWorkers;
    unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min(cores, 64u));
}

void parallel_slices(std::size_t n, const std::function<void(std::size_t, std::size_t)>& body,
                     std::size_t grain) {
    const std::size_t workers = std::min<std::size_t>(worker_count(), std::max<std::size_t>(n / grain, 1));
    if (workers <= 1) {
        body(0, n);
        return;
    }
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
        threads.emplace_back(body, n * w / workers, n * (w + 1) / workers);
    body(0, n / workers);
    for (std::thread& t : threads) t.join();
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
    const Scorer scorer(helix, res, param.numProtomer);
    parallel_slices(n, [&](std::size_t first, std::size_t last) {
        Scorer::Scratch scratch = scorer.scratch();
        for (std::size_t i = first; i < last; ++i) inTableOrder[i] = scorer.score(table[i], scratch);
    });
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

static char* put_text(char* p, const std::string& line, std::size_t first, std::size_t count) {
    std::memcpy(p, line.data() + first, count);
    return p + count;
}

// One atom line: columns 1 to 78 built in a buffer (wide enough for a serial
// and coordinates that outgrow their fields), then the template's own tail.
static void append_atom_line(std::string& out, const std::string& line, long serial, Point p,
                             int protomer) {
    char buffer[256];
    char* q = put_text(buffer, line, 0, 6);
    q = put_padded(q, serial, 5);
    q = put_text(q, line, 11, 10);
    *q++ = ' ';
    q = put_text(q, line, 22, 8);
    q = put_fixed3(q, p.x, 8);
    q = put_fixed3(q, p.y, 8);
    q = put_fixed3(q, p.z, 8);
    q = put_text(q, line, 54, 18);
    *q++ = 'A';
    *q++ = 'N';
    *q++ = static_cast<char>('1' + protomer);
    q = put_text(q, line, 75, 2);
    *q++ = ' ';
    out.append(buffer, q);
    out.append(line, 78, std::string::npos);
    out += '\n';
}

void append_oligomer_pdb(std::string& out, const Template& tmpl, const CandidateRow& row, int numProtomer) {
    const int n = static_cast<int>(tmpl.points.size());
    std::vector<Point> first(n), output(n);
    Helix::rotate(tmpl.points.data(), &row[0], output.data(), n);
    const float shift[3] = {row[3], 0, 0};
    Helix::transit(output.data(), first.data(), shift, n);
    output = first;
    std::size_t length = 4;
    for (const std::string& line : tmpl.lines) length += line.size() + 1;
    out.reserve(out.size() + length * std::max(numProtomer, 0));
    long serial = 0;
    for (int p = 0; p < numProtomer; ++p) {
        for (int j = 0; j < n; ++j) append_atom_line(out, tmpl.lines[j], ++serial, output[j], p);
        if (p < numProtomer - 1) {
            const float turn[3] = {static_cast<float>((p + 1) * 6.283186 / numProtomer), 0, 0};
            Helix::rotate(first.data(), turn, output.data(), n);
        }
    }
    out += "END\n";
}

std::string oligomer_pdb(const Template& tmpl, const CandidateRow& row, int numProtomer) {
    std::string out;
    append_oligomer_pdb(out, tmpl, row, numProtomer);
    return out;
}

namespace {
// One structure file to write, or the wrong-format stop at that line.
struct Structure {
    std::string path;
    std::string text;
    bool badLine = false;
};

// Makes the structure files from the ranked candidate file, one by one.
class StructureMaker {
public:
    StructureMaker(std::istream& candidates, const Template& tmpl) : candidates_(candidates), tmpl_(tmpl) {}
    // Fills s with the next structure; false at the end of the file.
    bool next(Structure& s) {
        std::string line;
        if (!std::getline(candidates_, line)) return false;
        ++k_;
        s.path = param.workDir + "/" + param.proteinName + "_" + std::to_string(k_) + ".pdb";
        s.text.clear();
        s.badLine = line.size() < 30;
        if (!s.badLine) append_oligomer_pdb(s.text, tmpl_, parse_candidate_line(line), param.numProtomer);
        return true;
    }

private:
    std::istream& candidates_;
    const Template& tmpl_;
    long k_ = 0;
};

// Writes one structure file; false for a bad candidate line or a failed write.
bool write_structure(const Structure& s) { return !s.badLine && replace_file(s.path, s.text, false); }

// Ends the run for a structure that write_structure could not write.
[[noreturn]] void report(const Structure& s, const std::string& candidatePath) {
    fail(s.badLine ? wrong_format(candidatePath) : cannot_open(s.path));
}

// Makes structures on a second thread while this one writes them, through a
// ring of buffers; files are written in order, so a failure stops at the same
// file as a one-thread run.
void make_and_write(StructureMaker& maker, const std::string& candidatePath) {
    constexpr std::size_t ring = 4;
    std::vector<Structure> slots(ring);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t made = 0, written = 0;
    bool finished = false, stop = false;
    std::thread producer([&] {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return stop || made - written < ring; });
            if (stop) return;
            Structure& slot = slots[made % ring];
            lock.unlock();
            bool more = maker.next(slot);
            lock.lock();
            if (!more) finished = true;
            else ++made;
            changed.notify_all();
            if (!more) return;
        }
    });
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return finished || made > written; });
        if (made == written) break;
        const Structure& slot = slots[written % ring];
        lock.unlock();
        if (!write_structure(slot)) {
            lock.lock();
            stop = true;
            changed.notify_all();
            lock.unlock();
            producer.join();
            report(slot, candidatePath);
        }
        lock.lock();
        ++written;
        changed.notify_all();
    }
    producer.join();
}
}  // namespace

void Getpdb::write_pdb() {
    const std::string templatePath = param.workDir + "/origin.pdb";
    std::ifstream templateFile;
    if (!open_input(templateFile, templatePath)) fail(cannot_open(templatePath));
    const Template tmpl = parse_template(templateFile);
    const std::string path = candidate_path();
    std::ifstream candidates;
    if (!open_input(candidates, path)) fail(cannot_open(path));
    StructureMaker maker(candidates, tmpl);
    if (worker_count() > 1) {
        make_and_write(maker, path);
        return;
    }
    Structure s;
    while (maker.next(s))
        if (!write_structure(s)) report(s, path);
}

// ----------------------------------------------------------- the report

std::vector<int> restraint_votes(const CandidateTable& table) {
    const Scorer scorer(helix, res, param.numProtomer);
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
