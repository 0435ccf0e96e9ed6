#include "restraints/xplor_selection.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

// Nesting deeper than this is surely not a restraint table, and would only
// deepen the recursion.
constexpr int maxDepth = 64;
// A selection with more alternatives cannot stand for one proton anyway.
constexpr std::size_t maxChoices = 256;

struct Choices {
    std::vector<AtomChoice> list;
    std::string problem;
};

bool has_wildcard(const std::string& s) { return s.find_first_of("*#%+") != std::string::npos; }

// The narrower of two patterns for one field; false when they allow no common value.
bool narrow(std::string& a, const std::string& b) {
    if (b.empty() || a == b) return true;
    if (a.empty() || (!has_wildcard(b) && wildcard_match(a, b))) {
        a = b;
        return true;
    }
    return !has_wildcard(a) && wildcard_match(b, a);
}

bool intersect(AtomChoice& a, const AtomChoice& b) {
    if (b.residueGiven) {
        if (a.residueGiven) {
            a.firstResidue = std::max(a.firstResidue, b.firstResidue);
            a.lastResidue = std::min(a.lastResidue, b.lastResidue);
            if (a.firstResidue > a.lastResidue) return false;
        } else {
            a.residueGiven = true, a.firstResidue = b.firstResidue, a.lastResidue = b.lastResidue;
        }
    }
    return narrow(a.chain, b.chain) && narrow(a.name, b.name);
}

Choices both(const Choices& x, const Choices& y) {
    Choices out;
    out.problem = !x.problem.empty() ? x.problem : y.problem;
    for (const AtomChoice& a : x.list)
        for (const AtomChoice& b : y.list) {
            AtomChoice c = a;
            if (!intersect(c, b)) continue;
            if (out.list.size() == maxChoices) {
                if (out.problem.empty()) out.problem = "allows more than 256 alternatives";
                return out;
            }
            out.list.push_back(c);
        }
    return out;
}

class Parser {
public:
    Parser(const std::vector<XplorToken>& t, std::size_t& p, const std::string& path) : t_(t), pos_(p), path_(path) {}

    Status group(Choices& out, int depth) {
        if (depth > maxDepth) return syntax_error(path_, t_[pos_], "a selection nested less deeply");
        if (t_[pos_].kind != XplorToken::Open) return syntax_error(path_, t_[pos_], "'(' to open a selection");
        ++pos_;
        if (t_[pos_].kind == XplorToken::Close)
            return Status::error("[Error] '" + path_ + "', line " + std::to_string(t_[pos_].line) +
                                 ": expected a selection between '(' and ')', found an empty one");
        Status s = either(out, depth);
        if (!s.ok()) return s;
        if (t_[pos_].kind != XplorToken::Close) return syntax_error(path_, t_[pos_], "'and', 'or' or ')'");
        ++pos_;
        return Status::fine();
    }

private:
    const std::vector<XplorToken>& t_;
    std::size_t& pos_;
    const std::string& path_;

    bool word_is(const char* keyword) const {
        return t_[pos_].kind == XplorToken::Word && !t_[pos_].quoted && is_keyword(t_[pos_].text, keyword);
    }

    Status either(Choices& out, int depth) {
        Status s = all_of(out, depth);
        while (s.ok() && word_is("or")) {
            ++pos_;
            Choices more;
            s = all_of(more, depth);
            for (const AtomChoice& c : more.list)
                if (out.list.size() < maxChoices) out.list.push_back(c);
                else if (out.problem.empty()) out.problem = "allows more than 256 alternatives";
            if (out.problem.empty()) out.problem = more.problem;
        }
        return s;
    }

    Status all_of(Choices& out, int depth) {
        Status s = single(out, depth);
        while (s.ok() && word_is("and")) {
            ++pos_;
            Choices more;
            s = single(more, depth);
            out = both(out, more);
        }
        return s;
    }

    Status value(std::string& text, const char* after) {
        if (t_[pos_].kind != XplorToken::Word)
            return syntax_error(path_, t_[pos_], std::string("a value after '") + after + "'");
        text = t_[pos_++].text;
        return Status::fine();
    }

    // A residue number or range; anything else is kept as the end's problem.
    Status residues(AtomChoice& c, std::string& problem) {
        std::string first, last;
        Status s = value(first, "resid");
        if (s.ok() && t_[pos_].kind == XplorToken::Colon) {
            ++pos_;
            s = value(last, ":");
        }
        if (!s.ok()) return s;
        if (first == "*" && last.empty()) return Status::fine();
        c.residueGiven = true;
        for (const std::string* text : {&first, &last}) {
            if (text->empty()) continue;
            char* end = nullptr;
            long n = std::strtol(text->c_str(), &end, 10);
            if (end == text->c_str() || *end != '\0' || n < -99999 || n > 999999) {
                if (problem.empty()) problem = "names residue '" + *text + "', not a number";
                n = 0;
            }
            (text == &first ? c.firstResidue : c.lastResidue) = int(n);
        }
        if (last.empty()) c.lastResidue = c.firstResidue;
        return Status::fine();
    }

    Status single(Choices& out, int depth) {
        if (depth > maxDepth) return syntax_error(path_, t_[pos_], "a selection nested less deeply");
        out = Choices{{AtomChoice()}, ""};
        AtomChoice& c = out.list[0];
        if (t_[pos_].kind == XplorToken::Open) return group(out, depth + 1);
        if (word_is("not")) {
            ++pos_;
            Status s = single(out, depth + 1);
            out = Choices{{AtomChoice()}, "uses 'not'"};
            return s;
        }
        std::string upper;
        Status s = Status::fine();
        if (word_is("segidentifier") || word_is("chain")) {
            ++pos_;
            s = value(c.chain, "segid");
        } else if (word_is("residue")) {
            ++pos_;
            s = residues(c, out.problem);
        } else if (word_is("resname")) {
            ++pos_;
            s = value(upper, "resname");  // the residue's name adds nothing without a structure
        } else if (word_is("name")) {
            ++pos_;
            s = value(c.name, "name");
        } else if (word_is("atom")) {
            ++pos_;
            s = value(c.chain, "atom");
            if (s.ok()) s = residues(c, out.problem);
            if (s.ok()) s = value(c.name, "atom");
        } else if (word_is("all")) {
            ++pos_;
        } else {
            return syntax_error(path_, t_[pos_], "segid, chain, resid, resname, name, atom, all, not or '('");
        }
        for (char& ch : c.name) ch = char(std::toupper(static_cast<unsigned char>(ch)));
        if (c.chain == "*") c.chain.clear();
        if (c.name == "*") c.name.clear();
        return s;
    }
};

}  // namespace

bool wildcard_match(const std::string& pattern, const std::string& text) {
    // matched[j]: whether the pattern so far matches the first j characters.
    std::vector<char> matched(text.size() + 1, 0), next(text.size() + 1);
    matched[0] = 1;
    for (char p : pattern) {
        std::fill(next.begin(), next.end(), 0);
        for (std::size_t j = 0; j <= text.size(); ++j) {
            if (p == '*' || p == '#') {
                const bool any = p == '*' || (j > 0 && std::isdigit(static_cast<unsigned char>(text[j - 1])));
                next[j] = matched[j] || (j > 0 && next[j - 1] && any);
            } else if (j > 0 && matched[j - 1]) {
                const char t = text[j - 1];
                next[j] = p == '%' || (p == '+' && std::isdigit(static_cast<unsigned char>(t))) || p == t;
            }
        }
        matched.swap(next);
    }
    return matched[text.size()] != 0;
}

Status parse_selection(const std::vector<XplorToken>& tokens, std::size_t& pos, const std::string& path,
                       RestraintEnd& end) {
    Choices choices;
    Parser parser(tokens, pos, path);
    Status s = parser.group(choices, 0);
    if (!s.ok()) return s;
    end.choices = choices.list;
    end.problem = choices.problem;
    if (end.problem.empty() && end.choices.empty()) end.problem = "selects nothing";
    return Status::fine();
}
