#include "restraints/xplor.h"

#include <cmath>
#include <cstdlib>

#include "restraints/xplor_selection.h"
#include "restraints/xplor_tokens.h"

namespace {

// Settings inside restraint blocks: each takes the rest of its line.
const char* const settings[] = {"class", "nrestraints", "ceiling", "averaging", "potential", "scale",
                                "sqconstant", "sqexponent", "soexponent", "sqoffset", "rswitch",
                                "asymptote", "monomers", "ncount", "temperature", "print", "reset",
                                "mode", "coefficients", "forceconstant", "type", "sort"};
// Statements that open a block closed by 'end'.
const char* const blocks[] = {"noe", "restraints", "sanisotropy", "danisotropy", "xdipolar", "coupling",
                              "carbon", "protons", "vean", "tensor", "harmonic"};

bool to_number(const XplorToken& t, float& value) {
    if (t.kind != XplorToken::Word || t.quoted || t.text.empty()) return false;
    char* end = nullptr;
    const double d = std::strtod(t.text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(d) || std::fabs(d) > 1e30) return false;
    value = float(d);
    return true;
}

class Reader {
public:
    Reader(const std::vector<XplorToken>& t, const std::string& path, RestraintInput& out)
        : t_(t), path_(path), out_(out) {}

    Status statements() {
        while (t_[pos_].kind != XplorToken::End) {
            const XplorToken& t = t_[pos_];
            if (t.kind != XplorToken::Word || t.quoted) return syntax_error(path_, t, "a statement such as 'assign'");
            Status s = statement(t);
            if (!s.ok()) return s;
        }
        return Status::fine();
    }

private:
    const std::vector<XplorToken>& t_;
    std::size_t pos_ = 0;
    const std::string& path_;
    RestraintInput& out_;

    void skip_line(int line) {
        while (t_[pos_].kind != XplorToken::End && t_[pos_].line == line) ++pos_;
    }

    Status statement(const XplorToken& t) {
        const std::string& w = t.text;
        ++pos_;
        if (is_keyword(w, "assign")) return assign(t.line);
        if (is_keyword(w, "end")) return Status::fine();
        if (is_keyword(w, "remarks")) {
            skip_line(t.line);
            out_.count_skipped("remarks");
            return Status::fine();
        }
        if (is_keyword(w, "set")) {
            while (t_[pos_].kind != XplorToken::End && !is_keyword(t_[pos_].text, "end")) ++pos_;
            if (t_[pos_].kind == XplorToken::End) return syntax_error(path_, t_[pos_], "'end' to close 'set'");
            ++pos_;
            out_.count_skipped("set");
            return Status::fine();
        }
        for (const char* block : blocks)
            if (is_keyword(w, block)) {
                if (is_keyword(w, "restraints") && t_[pos_].kind == XplorToken::Word) ++pos_;  // its kind
                return Status::fine();
            }
        for (const char* setting : settings)
            if (is_keyword(w, setting)) {
                skip_line(t.line);
                out_.count_skipped(is_keyword(w, "class") ? "class" : "setting");
                return Status::fine();
            }
        --pos_;
        return syntax_error(path_, t, "a statement such as 'assign'");
    }

    Status numbers(std::vector<float>& values, std::string& terms) {
        float v;
        while (to_number(t_[pos_], v)) {
            values.push_back(v);
            terms += (terms.empty() ? "" : " ") + t_[pos_].text;
            ++pos_;
        }
        return Status::fine();
    }

    Status assign(int line) {
        std::vector<RestraintEnd> ends;
        while (t_[pos_].kind == XplorToken::Open) {
            ends.emplace_back();
            Status s = parse_selection(t_, pos_, path_, ends.back());
            if (!s.ok()) return s;
        }
        if (ends.empty()) return syntax_error(path_, t_[pos_], "'(' to open the first selection of 'assign'");
        std::vector<float> values;
        std::string terms;
        numbers(values, terms);
        if (ends.size() != 2) {
            if (values.empty()) return syntax_error(path_, t_[pos_], "a number after the selections");
            out_.count_skipped(ends.size() == 4 ? "dihedral restraint" : ends.size() == 6 ? "orientation restraint"
                                                                     : "restraint of other kind");
            return Status::fine();
        }
        if (values.size() != 3) {
            const XplorToken& next = t_[pos_];
            return Status::error("[Error] '" + path_ + "', line " + std::to_string(line) +
                                 ": expected three numbers (distance, minus, plus) after the selections, found " +
                                 std::to_string(values.size()) + " before " + describe(next) +
                                 (next.kind == XplorToken::End ? "" : " on line " + std::to_string(next.line)));
        }
        InputRestraint r;
        r.origin = "line " + std::to_string(line);
        r.end1 = ends[0], r.end2 = ends[1];
        r.terms = terms;
        r.hasTarget = r.hasLower = r.hasUpper = true;
        r.target = values[0], r.lower = values[0] - values[1], r.upper = values[0] + values[2];
        // Pairs given as alternatives after the numbers: "... 1.0 or (sel) (sel)".
        for (int pair = 1; t_[pos_].kind == XplorToken::Word && !t_[pos_].quoted && is_keyword(t_[pos_].text, "or");
             ++pair) {
            ++pos_;
            for (RestraintEnd* end : {&r.end1, &r.end2}) {
                RestraintEnd more;
                Status s = parse_selection(t_, pos_, path_, more);
                if (!s.ok()) return s;
                for (AtomChoice& c : more.choices) c.pair = pair;
                end->choices.insert(end->choices.end(), more.choices.begin(), more.choices.end());
                if (end->problem.empty()) end->problem = more.problem;
            }
        }
        out_.restraints.push_back(r);
        return Status::fine();
    }
};

}  // namespace

Status read_xplor(const std::string& text, const std::string& path, RestraintInput& out) {
    out.format = "XPLOR/CNS";
    std::vector<XplorToken> tokens;
    Status s = tokenize_xplor(text, path, tokens, out.sections);
    if (!s.ok()) return s;
    return Reader(tokens, path, out).statements();
}
