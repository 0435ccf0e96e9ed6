// Text from users' files made safe for the analysis page: HTML text and
// attribute values, JSON strings that may stand inside a <script> element,
// and base64 for data: addresses.
#pragma once
#include <string>

// & < > " ' as character references, so the text can stand in element
// content and in quoted attribute values alike.
std::string html_escaped(const std::string& text);

// A quoted JSON string. Besides what JSON requires, <, > and & are written
// as \u escapes, so that no "</script" or "<!--" can end or confuse the
// script element the data stands in, and U+2028 and U+2029 likewise.
std::string json_string(const std::string& text);

// Standard base64 with padding.
std::string base64(const std::string& bytes);
