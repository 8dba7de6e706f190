// tsdpack verify SETUP.exe --listing FILE [--set NAME=PATH]...: checks that the program file's
// payload holds exactly what packing with those options stores: the same entries in the same
// order with the same stamps and bytes. Each difference is one line on stdout.
#include <cstdio>
#include <map>

#include "tools/packer/Commands.h"
#include "tools/packer/Stamps.h"

namespace {

// Positions of the names, for the entries both sides hold.
std::map<std::string, size_t> Positions(const std::vector<std::string>& names) {
    std::map<std::string, size_t> at;
    for (size_t i = 0; i < names.size(); ++i) at.emplace(names[i], i);
    return at;
}

void Differences(const std::vector<StoredEntry>& want, const std::vector<StoredEntry>& got,
                 std::vector<std::string>* lines) {
    std::vector<std::string> wantNames, gotNames;
    for (const auto& e : want) wantNames.push_back(e.name);
    for (const auto& e : got) gotNames.push_back(e.name);
    auto wantAt = Positions(wantNames), gotAt = Positions(gotNames);

    std::map<std::string, int> seen;
    for (const auto& e : got)
        if (++seen[e.name] == 2) lines->push_back("stored more than once: " + e.name);
    for (const auto& e : want)
        if (!gotAt.count(e.name)) lines->push_back("missing: " + e.name);
    for (const auto& e : got)
        if (!wantAt.count(e.name)) lines->push_back("not in the listing: " + e.name);

    // The order of the entries that both hold.
    std::vector<std::string> wantCommon, gotCommon;
    for (const auto& n : wantNames)
        if (gotAt.count(n)) wantCommon.push_back(n);
    for (size_t i = 0; i < gotNames.size(); ++i)
        if (wantAt.count(gotNames[i]) && gotAt[gotNames[i]] == i) gotCommon.push_back(gotNames[i]);
    for (size_t i = 0; i < wantCommon.size() && i < gotCommon.size(); ++i)
        if (wantCommon[i] != gotCommon[i]) {
            lines->push_back("order: " + gotCommon[i] + " is stored where " + wantCommon[i] +
                             " belongs");
            break;  // one shift reorders everything after it
        }

    for (const auto& w : want) {
        auto g = gotAt.find(w.name);
        if (g == gotAt.end()) continue;
        const StoredEntry& e = got[g->second];
        if (e.time != w.time)
            lines->push_back("stamp: " + w.name + " is stamped " + FormatStamp(e.time) +
                             ", the listing says " + FormatStamp(w.time));
        if (e.data != w.data)
            lines->push_back("bytes: " + w.name + " holds " + std::to_string(e.data.size()) +
                             " bytes that differ from the " + std::to_string(w.data.size()) +
                             " bytes of its file");
    }
}

}  // namespace

int VerifyCommand(const std::vector<std::string>& args) {
    PackOptions options;
    std::string error;
    if (args.empty() || !ParsePackOptions(args, 1, &options, nullptr, &error)) {
        Complain((args.empty() ? std::string("no program file") : error) +
                 "; usage: tsdpack verify SETUP.exe --listing FILE [--set NAME=PATH]...");
        return kExitRefused;
    }
    StoredPayload payload;
    if (!LoadProgramPayload(args[0], &payload)) return kExitUnreadable;
    // The setup program would refuse the payload whole, whatever else it holds.
    std::string refused = RefusedName(payload.entries);
    if (!refused.empty()) {
        Complain(args[0] + ": its payload is damaged: " + refused);
        return kExitUnreadable;
    }
    std::vector<ListedEntry> listed;
    std::string raw;
    if (!ReadListing(options, &listed, &error) ||
        !BuildPayload(listed, options.listing, &raw, &error)) {
        Complain(error);
        return kExitRefused;
    }
    // The entries exactly as packing lays them out.
    std::vector<StoredEntry> want;
    EntriesOfBlock(raw, &want);
    std::vector<std::string> lines;
    Differences(want, payload.entries, &lines);
    for (const auto& line : lines) std::printf("%s\n", line.c_str());
    if (!lines.empty()) {
        std::printf("%zu differences\n", lines.size());
        return kExitRefused;
    }
    std::printf("%zu entries as listed\n", payload.entries.size());
    return kExitDone;
}
