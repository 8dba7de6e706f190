// The rules a payload entry's name must keep, for packing and for extracting alike: the setup
// program joins the name to a destination folder, so it must stay inside that folder, be a plain
// Windows file name, and be readable by the setup's UTF-8 decoder.
#pragma once

#include <string>

// Why the name cannot be stored or extracted ("is absolute", ...), or "" when it is sound.
std::string NameProblem(const std::string& name);

// The name as the setup program compares names: without regard to letter case.
std::u16string FoldCase(const std::string& name);
