// tsdpack extract SETUP.exe DIR: writes the payload's entries under DIR with their stamps.
// Every name is checked first by the rules the setup program keeps, so that a hostile payload
// ("..", an absolute name, a drive, two names for one file) writes nothing at all, and never
// outside DIR.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <set>

#include "tools/packer/Commands.h"
#include "tools/packer/Files.h"
#include "tools/packer/Names.h"
#include "tools/packer/Stamps.h"

namespace {

// Why the payload cannot be extracted as a whole, or "".
std::string ExtractProblem(const std::vector<StoredEntry>& entries) {
    std::string refused = RefusedName(entries);
    if (!refused.empty()) return refused;
    std::map<std::u16string, size_t> files;
    std::set<std::u16string> folders;
    for (size_t i = 0; i < entries.size(); ++i) {
        const StoredEntry& e = entries[i];
        std::string where = "entry " + std::to_string(i + 1) + " \"" + e.name + "\" ";
        long long seconds;
        if (!UnixTimeOfStamp(e.time, &seconds)) return where + "has no valid stamp";
        std::u16string folded = FoldCase(e.name);
        if (files.count(folded))
            return where + "names the file of entry " + std::to_string(files[folded] + 1) +
                   " again";
        files[folded] = i;
        for (size_t slash = folded.find(u'\\'); slash != std::u16string::npos;
             slash = folded.find(u'\\', slash + 1))
            folders.insert(folded.substr(0, slash));
    }
    for (const auto& f : files)
        if (folders.count(f.first))
            return "entry " + std::to_string(f.second + 1) + " \"" + entries[f.second].name +
                   "\" is a file and a folder of another entry at once";
    return "";
}

}  // namespace

int ExtractCommand(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[1].empty()) {
        Complain("usage: tsdpack extract SETUP.exe DIR");
        return kExitRefused;
    }
    StoredPayload payload;
    if (!LoadProgramPayload(args[0], &payload)) return kExitUnreadable;
    std::string problem = ExtractProblem(payload.entries);
    if (!problem.empty()) {
        Complain(args[0] + ": its payload cannot be extracted safely: " + problem);
        return kExitUnreadable;
    }
    const std::string& dir = args[1];
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        Complain("cannot make the folder " + dir);
        return kExitRefused;
    }
    for (const auto& e : payload.entries) {
        std::string relative = e.name;
        for (auto& c : relative)
            if (c == '\\') c = '/';
        long long seconds = 0;
        UnixTimeOfStamp(e.time, &seconds);
        std::string error;
        if (!WriteFileUnder(dir, relative, e.data, seconds, &error)) {
            Complain(error);
            return kExitRefused;
        }
    }
    std::printf("tsdpack: %zu entries written under %s\n", payload.entries.size(), dir.c_str());
    return kExitDone;
}
