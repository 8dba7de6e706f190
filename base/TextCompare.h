// Comparison of 8-bit (UTF-8) texts by the user's locale, the order in which the logs keep their
// lines and the folder list shows its names.
#pragma once

#include <string>

// Without regard to case, by the user's locale, in string-sort order (so a hyphen or an
// apostrophe sorts as a character like any other). Less than, equal to or greater than 0.
int CompareTextIgnoreCase(const std::string& a, const std::string& b);
