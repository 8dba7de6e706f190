// Comparison of 8-bit (UTF-8) texts by the user's locale, the order in which the logs keep their
// lines and the folder list shows its names.
#pragma once

#include <string>

// Without regard to case, by the user's locale, in string-sort order (so a hyphen or an
// apostrophe sorts as a character like any other). Less than, equal to or greater than 0.
int CompareTextIgnoreCase(const std::string& a, const std::string& b);
// The key by which texts sort as CompareTextIgnoreCase orders them: compared as byte strings
// (std::string's own order), two keys give that function's answer.
std::string TextKeyIgnoreCase(const std::string& text);
