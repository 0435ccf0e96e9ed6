// What the build puts into the program for the analysis page: the page
// template (src/html/report_template.html) and the viewer script with its
// licence (third_party/3dmol), and the filling of the template's
// placeholders.
#pragma once
#include <map>
#include <string>
#include <string_view>

#include "base/status.h"

std::string_view report_template();
std::string_view viewer_script();   // 3Dmol.js, minified
std::string_view viewer_licence();  // its LICENSE file

// Replaces every {{NAME}} of text (NAME: capitals, digits and _) by
// values[NAME] in one pass, so values are never scanned for placeholders.
// A placeholder without a value, or a value without a placeholder, is an
// error: the template and the program must agree.
Status fill_template(std::string_view text, const std::map<std::string, std::string>& values, std::string& out);
