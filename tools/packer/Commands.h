// The commands of tsdpack. Each takes the arguments after its name and gives the exit code:
// 0 done, 1 refused or (verify) different, 2 the program file is damaged or not one at all.
#pragma once

#include <string>
#include <vector>

#include "tools/packer/Listing.h"
#include "tools/packer/StoredPayload.h"

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUnreadable = 2;

int PackCommand(const std::vector<std::string>& args);
int ListCommand(const std::vector<std::string>& args);
int VerifyCommand(const std::vector<std::string>& args);
int ExtractCommand(const std::vector<std::string>& args);

// Shared by the commands.
void Complain(const std::string& message);  // "tsdpack: MESSAGE" on stderr
// Reads --listing FILE and --set NAME=PATH from args[first...]; --out FILE too when out is given.
bool ParsePackOptions(const std::vector<std::string>& args, size_t first, PackOptions* options,
                      std::string* out, std::string* error);
// Reads a program file's payload; on failure says why and gives false (exit code 2).
bool LoadProgramPayload(const std::string& path, StoredPayload* payload);
