// The packer's file access: whole files in, whole files out.
#pragma once

#include <string>

bool ReadWholeFile(const std::string& path, std::string* bytes);
// Writes through a temporary file beside it and renames, so a failed run leaves no half file.
bool ReplaceFile(const std::string& path, const std::string& bytes);

// Writes ROOT/RELATIVE ("/" between folders), making its folders, and sets its last-write time.
// Refuses to go through a symbolic link, so that nothing lands outside ROOT even where ROOT
// already holds links.
bool WriteFileUnder(const std::string& root, const std::string& relative, const std::string& bytes,
                    long long unixTime, std::string* error);
