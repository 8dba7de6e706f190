// The update log: "Update.log" in the product's all-users data folder lists, run by run, the
// shared templates and clip library items that installations placed there. Each run's group
// starts with a marker line "*" + the 16 hexadecimal digits of its install stamp's 8 bytes.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// The marker line of a run.
std::string UpdateLogMarker(double installStamp);

// Merges a run's lines into the existing file's lines: the run's files are listed only under its
// new marker, empty lines go, and markers left without lines are dropped.
std::vector<std::string> MergeUpdateLog(std::vector<std::string> existing,
                                        std::vector<std::string> runLines, double installStamp);

// Merges the run's lines into the file at path. Nothing happens for a run without lines. False
// when an existing file cannot be read or the file cannot be written; the file is then left as
// it was.
bool WriteUpdateLog(const plat::Wide& path, const std::vector<std::string>& runLines,
                    double installStamp);
