// Small text helpers shared by the readers and writers: column cuts, the C
// conversions made safe for any input, fixed-point formatting, and file
// access that never leaves a half-written file behind.
#pragma once
#include <cstdio>
#include <fstream>
#include <string>

// Characters [first, first + width) of a line, 0-based; shorter (or empty)
// where the line ends earlier.
std::string cut(const std::string& line, std::size_t first, std::size_t width);

// The text without the blanks (spaces only) at both ends.
std::string trim_blanks(const std::string& text);

// printf-style "%.*f" of a double, of any magnitude.
std::string decimals(double value, int places);

// atoi: leading white space, optional sign, decimal digits; 0 without digits.
// Values beyond the int range are clamped instead of being undefined.
int to_int(const std::string& text);

// atof narrowed to float by rounding to nearest; 0 without a number.
float to_float(const std::string& text);

// printf-style "%*.3f": fixed point, three decimals, right-aligned in width;
// the same characters as printf, made without it.
std::string fixed3(float value, int width);
void append_fixed3(std::string& out, float value, int width);
// Writes the same at p and returns its end; p needs room for the larger of
// width and 48 characters.
char* put_fixed3(char* p, float value, int width);
// The same in width 8 for the common case, from tables: writes exactly 8
// characters at p and returns true when the text takes 8 (a finite value
// below 9999.9995 in magnitude, 999.9995 when negative); false otherwise,
// leaving p untouched.
bool put_fixed3_8(char* p, float value);
// Three such fields in a row, 24 characters; false when any is wider (the
// characters at p are then unspecified).
bool put_fixed3_8x3(char* p, float x, float y, float z);

// printf-style "%*ld".
std::string padded(long value, int width);
void append_padded(std::string& out, long value, int width);
// p needs room for the larger of width and 21 characters.
char* put_padded(char* p, long value, int width);

// Writes line and a line feed to the stream and flushes it; false when any
// of it fails (a full disk, a closed pipe).
bool put_line(std::FILE* stream, const std::string& line);

// Opens a file for reading; false when it cannot be opened or is a directory.
bool open_input(std::ifstream& in, const std::string& path);

// Reads the whole file into text; false when it cannot be opened or read.
bool read_whole(const std::string& path, std::string& text);

// Replaces the file at path by content: written to a temporary file in the
// same directory, then renamed over the original, so that a reader never sees
// a truncated file. With durable set the data reach the disk before the
// rename. False when anything fails; the original is then untouched.
bool replace_file(const std::string& path, const std::string& content, bool durable);
// The first half of it: content written to PATH.PID.tmp beside path, with
// path's mode when it is there; false (and no such file) when that fails.
bool write_temporary_file(const std::string& path, const std::string& content, bool durable);
