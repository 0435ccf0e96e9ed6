#include "run/oligomer.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "base/text.h"

Template parse_template(std::istream& in) {
    Template tmpl;
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 4, "ATOM") != 0) continue;
        if (line.size() < 78) line.resize(78, ' ');  // trailing blanks dropped by the writer
        tmpl.points.push_back(pdb_point(line));
        tmpl.lines.push_back(std::move(line));
    }
    return tmpl;
}

// Protomer 1, the source of every other protomer.
static std::vector<Point> place_first(const std::vector<Point>& points, const CandidateRow& row) {
    const int n = static_cast<int>(points.size());
    std::vector<Point> rotated(n), first(n);
    rotate_points(points.data(), &row[0], rotated.data(), n);
    const float shift[3] = {row[3], 0, 0};
    shift_points(rotated.data(), first.data(), shift, n);
    return first;
}

// Protomer p (from 1) turned from protomer 1 by p steps about z.
static void turn_copy(const std::vector<Point>& first, int p, int numProtomer, std::vector<Point>& out) {
    const float turn[3] = {protomer_angle(p, numProtomer), 0, 0};
    rotate_points(first.data(), turn, out.data(), static_cast<int>(first.size()));
}

std::vector<std::vector<Point>> place_oligomer(const std::vector<Point>& points, const CandidateRow& row,
                                               int numProtomer) {
    std::vector<std::vector<Point>> protomers;
    if (numProtomer < 1) return protomers;
    protomers.push_back(place_first(points, row));
    for (int p = 1; p < numProtomer; ++p) {
        protomers.emplace_back(points.size());
        turn_copy(protomers[0], p, numProtomer, protomers.back());
    }
    return protomers;
}

static char* put_text(char* p, const std::string& line, std::size_t first, std::size_t count) {
    std::memcpy(p, line.data() + first, count);
    return p + count;
}

// One atom line: columns 1 to 78 built in a buffer (wide enough for a serial
// and coordinates that outgrow their fields), then the template's own tail.
// Returns where its x field starts in out.
static std::size_t append_atom_line(std::string& out, const std::string& line, long serial, Point p,
                             int protomer) {
    char buffer[256];
    char* q = put_text(buffer, line, 0, 6);
    q = put_padded(q, serial, 5);
    q = put_text(q, line, 11, 10);
    *q++ = ' ';
    q = put_text(q, line, 22, 8);
    const std::size_t field = out.size() + static_cast<std::size_t>(q - buffer);
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
    return field;
}

void append_oligomer_pdb(std::string& out, const Template& tmpl, const CandidateRow& row, int numProtomer) {
    const int n = static_cast<int>(tmpl.points.size());
    std::size_t length = 4;
    for (const std::string& line : tmpl.lines) length += line.size() + 1;
    out.reserve(out.size() + length * std::max(numProtomer, 0));
    long serial = 0;
    if (numProtomer >= 1) {
        const std::vector<Point> first = place_first(tmpl.points, row);
        std::vector<Point> output = first;
        for (int p = 0; p < numProtomer; ++p) {
            if (p > 0) turn_copy(first, p, numProtomer, output);
            for (int j = 0; j < n; ++j) append_atom_line(out, tmpl.lines[j], ++serial, output[j], p);
        }
    }
    out += "END\n";
}

OligomerImage::OligomerImage(const Template& t, int protomers) : tmpl(t), numProtomer(protomers) {
    long serial = 0;
    for (int p = 0; p < numProtomer; ++p)
        for (const std::string& line : tmpl.lines) fields.push_back(append_atom_line(text, line, ++serial, {0, 0, 0}, p));
    text += "END\n";
}

const std::string& OligomerBuffer::make(const CandidateRow& row) {
    // The same arithmetic as append_oligomer_pdb, without its allocations.
    const int n = static_cast<int>(image_.tmpl.points.size());
    first_.resize(n);
    turned_.resize(n);
    rotate_points(image_.tmpl.points.data(), &row[0], first_.data(), n);
    const float shift[3] = {row[3], 0, 0};
    shift_points(first_.data(), first_.data(), shift, n);
    if (!laid_) text_ = image_.text;
    laid_ = fill_coordinates();
    if (!laid_) {
        text_.clear();
        append_oligomer_pdb(text_, image_.tmpl, row, image_.numProtomer);
    }
    return text_;
}

// Writes every coordinate into its field; false at the first that is wider.
bool OligomerBuffer::fill_coordinates() {
    const int n = static_cast<int>(first_.size());
    char* text = &text_[0];
    const std::size_t* field = image_.fields.data();
    for (int p = 0; p < image_.numProtomer; ++p) {
        if (p > 0) turn_copy(first_, p, image_.numProtomer, turned_);
        const Point* points = p == 0 ? first_.data() : turned_.data();
        for (int j = 0; j < n; ++j) {
            if (!put_fixed3_8x3(text + *field++, points[j].x, points[j].y, points[j].z)) return false;
        }
    }
    return true;
}

std::string oligomer_pdb(const Template& tmpl, const CandidateRow& row, int numProtomer) {
    std::string out;
    append_oligomer_pdb(out, tmpl, row, numProtomer);
    return out;
}

std::string aligned_template(const std::string& pdbText, const float center[3], const float angle[3]) {
    const Rotation r = rotation_matrix(angle);
    std::istringstream in(pdbText);
    std::string line, out, residue;
    std::vector<std::string> names;  // of the atoms of this residue met so far
    while (std::getline(in, line)) {
        if (line.compare(0, 4, "ATOM") != 0) continue;
        // One conformation: the first alternate location of each atom, as
        // a helix taken from a structure file keeps it.
        if (cut(line, 17, 10) != residue) residue = cut(line, 17, 10), names.clear();
        const std::string name = cut(line, 12, 4);
        if (line.size() > 16 && line[16] != ' ') {
            if (std::find(names.begin(), names.end(), name) != names.end()) continue;
            line[16] = ' ';
        }
        names.push_back(name);
        // The same operations as the alignment of the helix: centre, then turn.
        Point p = pdb_point(line);
        p = apply(r, {p.x - center[0], p.y - center[1], p.z - center[2]});
        std::string moved = cut(line, 0, 30);
        moved.resize(30, ' ');
        moved += fixed3(p.x, 8) + fixed3(p.y, 8) + fixed3(p.z, 8) + cut(line, 54, 26);
        moved.resize(80, ' ');
        out += moved + "\n";
    }
    out += std::string("END").append(77, ' ') + "\n";
    return out;
}
