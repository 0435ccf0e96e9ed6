#include "html/page_template.h"

#include <set>

#include "html/report_template.inc"
#include "html/viewer_licence.inc"
#include "html/viewer_script.inc"

namespace {

std::string_view view_of(const unsigned char* bytes, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(bytes), size);
}

bool is_name(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

}  // namespace

std::string_view report_template() { return view_of(report_template_bytes, report_template_bytes_size); }
std::string_view viewer_script() { return view_of(viewer_script_bytes, viewer_script_bytes_size); }
std::string_view viewer_licence() { return view_of(viewer_licence_bytes, viewer_licence_bytes_size); }

Status fill_template(std::string_view text, const std::map<std::string, std::string>& values, std::string& out) {
    out.clear();
    std::set<std::string> used;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find("{{", at);
        const std::size_t close = open == std::string_view::npos ? open : text.find("}}", open + 2);
        const std::string_view name =
            close == std::string_view::npos ? std::string_view() : text.substr(open + 2, close - open - 2);
        if (!is_name(name)) {
            const std::size_t end = open == std::string_view::npos ? text.size() : open + 2;
            out.append(text.substr(at, end - at));
            at = end;
            continue;
        }
        const auto value = values.find(std::string(name));
        if (value == values.end()) return Status::error("[Error] The page template names {{" + std::string(name) + "}}, which has no value");
        out.append(text.substr(at, open - at));
        out += value->second;
        used.insert(value->first);
        at = close + 2;
    }
    for (const auto& [name, value] : values)
        if (!used.count(name)) return Status::error("[Error] The page template has no place for {{" + name + "}}");
    return Status::fine();
}
