// Installs every payload entry of its own resources into the folder given as its argument with
// the real platform, then reads each file back: bytes, size and the time stamp through the same
// date conversion the installer compares with. Prints one line per problem and a summary; exit
// code 0 when everything matched.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/CommandLine.h"
#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"

int main() {
    std::vector<plat::Wide> args = ProgramArguments();
    if (args.size() != 1) {
        std::printf("usage: payload_install_check FOLDER\n");
        return 2;
    }
    plat::ResolveSHGetFolderPathW();
    Silent = true;
    TAttachedFiles files;
    if (!files.Loaded()) {
        std::printf("payload not loaded\n");
        return 1;
    }
    StartInstallLog(args[0], false);
    int problems = 0;
    for (auto& entry : files.Entries) {
        plat::Wide path = JoinPath(args[0], entry->Name);
        if (!files.InstallFile(entry.get(), "", path)) {
            std::printf("cannot write %s\n", Utf8Of(path).c_str());
            ++problems;
            continue;
        }
        std::string back;
        if (!ReadBytesOfFile(path, &back) || back.size() != static_cast<size_t>(entry->Size) ||
            std::memcmp(back.data(), entry->Data, back.size()) != 0) {
            std::printf("bytes differ: %s\n", Utf8Of(path).c_str());
            ++problems;
        }
        if (FileDateOf(path) != entry->Time) {
            std::printf("time differs: %s (%.9f, stored %.9f)\n", Utf8Of(path).c_str(),
                        FileDateOf(path), entry->Time);
            ++problems;
        }
    }
    SaveInstallLog();
    std::printf("%zu entries installed, %d problems, %zu log lines\n", files.Entries.size(),
                problems, LogList->size());
    return problems == 0 ? 0 : 1;
}
