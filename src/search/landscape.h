// The score landscape as an SVG heat map: radius across, tilt up, the best
// placement marked.
#pragma once
#include <string>

#include "search/search.h"

std::string landscape_svg(const Grid& grid, const SearchResult& result);
