#include "base/shell_words.h"

#include <cctype>
#include <cstring>

std::string shell_words(const std::vector<std::string>& args) {
    std::string out;
    for (const std::string& arg : args) {
        bool plain = !arg.empty();
        for (char c : arg)
            if (!(std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_./=,:@%+-", c))) plain = false;
        std::string word = "'";
        for (char c : arg) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
        out += (out.empty() ? "" : " ") + (plain ? arg : word + "'");
    }
    return out;
}
