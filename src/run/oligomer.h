// The template (the ATOM lines of origin.pdb) and the PDB text of a placed
// oligomer: protomer 1 is the template rotated by phi, theta, psi and moved
// by the radius along x; protomer p is protomer 1 turned by p steps about z.
// For writing many oligomers fast, a reusable buffer in which only the
// coordinates change. Also the template itself, written from a helix in the
// aligned frame.
#pragma once
#include <istream>
#include <string>
#include <vector>

#include "formats/candidates.h"
#include "geometry/geometry.h"

// The ATOM lines of origin.pdb (padded to 78 characters) and their points.
struct Template {
    std::vector<std::string> lines;
    std::vector<Point> points;
};
Template parse_template(std::istream& in);

// One array of points per protomer, protomer 1 first, each in template order.
using Oligomer = std::vector<std::vector<Point>>;

// Every protomer's points, placed as the structure files place them.
Oligomer place_oligomer(const std::vector<Point>& points, const CandidateRow& row,
                                               int numProtomer);

// The whole PDB text of one oligomer placed by phi, theta, psi and radius.
std::string oligomer_pdb(const Template& tmpl, const CandidateRow& row, int numProtomer);
void append_oligomer_pdb(std::string& out, const Template& tmpl, const CandidateRow& row, int numProtomer);

// The text every oligomer of one template and protomer count shares: all but
// the coordinates (left at zero), laid once per run.
struct OligomerImage {
    OligomerImage(const Template& tmpl, int numProtomer);
    const Template& tmpl;
    int numProtomer;
    std::string text;
    std::vector<std::size_t> fields;  // where each atom's 24 characters of x, y, z start
};

// One oligomer's text at a time, the bytes of oligomer_pdb. While the
// coordinates fit their 8-character fields only they are rewritten; an
// oligomer with a wider value is made line by line instead.
class OligomerBuffer {
public:
    explicit OligomerBuffer(const OligomerImage& image) : image_(image) {}
    const std::string& make(const CandidateRow& row);
    const std::string& text() const { return text_; }

private:
    bool fill_coordinates();
    const OligomerImage& image_;
    std::string text_;
    bool laid_ = false;  // text_ holds the image's layout
    std::vector<Point> first_, turned_;
};

// The ATOM lines of a helix file moved into the aligned frame of the helix
// (centre subtracted, then the rotation of the angle triple), 80 characters
// each, and an END line. Of atoms in alternate locations only the first is
// kept, its location column blank.
std::string aligned_template(const std::string& pdbText, const float center[3], const float angle[3]);
