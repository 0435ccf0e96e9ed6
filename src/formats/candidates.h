// The candidate file: one placement a line, phi, theta, psi (radians) and the
// radius (Angstrom) in four columns of ten characters, three decimals each.
#pragma once
#include <array>
#include <istream>
#include <string>
#include <vector>

#include "base/status.h"

// phi, theta, psi (radians), then the shift radius, shift_y, shift_z (Angstrom).
using CandidateRow = std::array<float, 6>;
using CandidateTable = std::vector<CandidateRow>;

// Every line a candidate is taken from has at least this many characters.
constexpr std::size_t candidateLineLength = 30;

// One candidate line: four 10-character columns; shift_y and shift_z are 0.
CandidateRow parse_candidate_line(const std::string& line);
// Reads every line; a line shorter than 30 characters is a wrong format.
Status parse_candidates(std::istream& in, const std::string& path, CandidateTable& table);
// Opens the file at path and reads it as above.
Status load_candidates(const std::string& path, CandidateTable& table);
// The written form: phi, theta, psi, radius as %10.3f, no line feed.
std::string candidate_line(const CandidateRow& row);
