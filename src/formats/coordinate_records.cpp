#include "formats/coordinate_records.h"

#include <algorithm>
#include <cstring>

std::string coordinate_records(const std::string& text) {
    static const char* const kept[] = {"ATOM  ", "HETATM", "MODEL ", "ENDMDL", "TER", "END"};
    std::string out;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t feed = std::min(text.find('\n', start), text.size());
        for (const char* record : kept)
            if (text.compare(start, std::strlen(record), record) == 0) {
                const std::size_t zero = std::min(text.find('\0', start), feed);
                out.append(text, start, std::min<std::size_t>(zero - start, 80));
                if (feed < text.size()) out += '\n';
                break;
            }
        start = feed + 1;
    }
    return out;
}
