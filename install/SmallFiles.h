// Small files written whole: the data files and the logs.
#pragma once

#include <string>

#include "platform/platform.h"

using plat::Wide;

// Creates or replaces the file with exactly these bytes; nothing is reported. An existing file is
// replaced whole or kept as it was.
void WriteBytesToFile(const Wide& path, const std::string& bytes);
