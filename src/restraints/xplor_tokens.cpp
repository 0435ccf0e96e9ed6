#include "restraints/xplor_tokens.h"

#include <cctype>
#include <cstring>

namespace {

bool starts_with_text(const std::string& line, const char* text) {
    std::size_t first = line.find_first_not_of(" \t");
    return first != std::string::npos && line.compare(first, std::strlen(text), text) == 0;
}

// Splits the text into lines and blanks out the archive's wrapping, which is not
// XPLOR syntax: the '*' header lines before anything else and the table of
// hydrogen names that the archive appends after the restraints.
std::vector<std::string> unwrapped_lines(const std::string& text, std::vector<SkippedSection>& sections) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    std::size_t header = 0;
    while (header < lines.size() && !lines[header].empty() && lines[header][0] == '*') lines[header++].clear();
    if (header > 0) sections.push_back({1, int(header), "archive header"});
    for (std::size_t i = header; i < lines.size(); ++i)
        if (starts_with_text(lines[i], "Entry H atom name")) {
            sections.push_back({int(i + 1), int(lines.size()), "table of hydrogen names"});
            lines.resize(i);
            break;
        }
    return lines;
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

std::string describe(const XplorToken& token) {
    if (token.kind == XplorToken::End) return "the end of the file";
    return "'" + token.text + "'";
}

Status syntax_error(const std::string& path, const XplorToken& at, const std::string& expected) {
    return Status::error("[Error] '" + path + "', line " + std::to_string(at.line) + ": expected " + expected +
                         ", found " + describe(at));
}

bool is_keyword(const std::string& word, const char* keyword) {
    const std::size_t n = std::strlen(keyword);
    if (word.size() > n || (word.size() < 4 && word.size() != n)) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(word[i])) != keyword[i]) return false;
    return true;
}

Status tokenize_xplor(const std::string& text, const std::string& path, std::vector<XplorToken>& tokens,
                      std::vector<SkippedSection>& sections) {
    const std::vector<std::string> lines = unwrapped_lines(text, sections);
    int braces = 0, braceLine = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& s = lines[n];
        const int line = int(n + 1);
        for (std::size_t i = 0; i < s.size();) {
            const char c = s[i];
            if (braces > 0) {
                braces += c == '{' ? 1 : (c == '}' ? -1 : 0);
                ++i;
            } else if (c == '{') {
                braces = 1, braceLine = line, ++i;
            } else if (c == '!') {
                break;
            } else if (is_space(c)) {
                ++i;
            } else if (c == '(' || c == ')' || c == ':') {
                tokens.push_back({c == '(' ? XplorToken::Open : c == ')' ? XplorToken::Close : XplorToken::Colon,
                                  std::string(1, c), line});
                ++i;
            } else if (c == '"') {
                std::size_t end = s.find('"', i + 1);
                if (end == std::string::npos)
                    return Status::error("[Error] '" + path + "', line " + std::to_string(line) +
                                         ": expected a closing '\"'");
                std::string word = s.substr(i + 1, end - i - 1);
                while (!word.empty() && word.back() == ' ') word.pop_back();
                tokens.push_back({XplorToken::Word, word, line, true});
                i = end + 1;
            } else {
                std::size_t end = i;
                while (end < s.size() && !is_space(s[end]) && !std::strchr("(){}!:=\"", s[end])) ++end;
                if (end == i) ++end;  // a lone "=" between a setting and its value
                tokens.push_back({XplorToken::Word, s.substr(i, end - i), line});
                i = end;
            }
        }
    }
    if (braces > 0)
        return Status::error("[Error] '" + path + "', line " + std::to_string(braceLine) +
                             ": the comment opened with '{' is not closed");
    tokens.push_back({XplorToken::End, "", int(lines.size())});
    return Status::fine();
}
