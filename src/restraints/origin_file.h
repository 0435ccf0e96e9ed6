// The origin file beside a converted restraint file (its name and
// ".origin"): for each line of the restraint file, the restraint as the
// user's list gave it, with its line or id, its atoms and its distances, so
// that an export gives the user's own restraint back. It names the list it
// came from and ends in a checksum of the restraint file's text and of its
// own, by which either changed since the conversion is told apart.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "restraints/restraint_convert.h"

struct RestraintOrigin {
    std::string source, format;              // the list converted and its format
    std::vector<InputRestraint> restraints;  // line i + 1 of the restraint file is restraint i
};

std::string origin_path(const std::string& restraintFile);

// 64-bit FNV-1a of the text.
std::uint64_t text_checksum(const std::string& text);

// The origin file, to be written at originFile, of the kept restraints of c,
// whose restraint file holds restraintText; it names the list converted
// from its own folder, and read_origin names it as the user does.
std::string origin_text(const Conversion& c, const std::string& restraintText, const std::string& originFile);

// The origin of the restraint file at restraintFile, which holds
// restraintText. Fails, with a sentence naming the origin file, when it is
// missing, unreadable, or not written with this restraint file.
Status read_origin(const std::string& restraintFile, const std::string& restraintText, RestraintOrigin& out);
