// tsdpack list SETUP.exe: the program file's payload entries in stored order, one per line
// "size<TAB>YYYY-MM-DD HH:MM:SS<TAB>name", then the count and the inflated and stored sizes.
#include <cstdio>

#include "tools/packer/Commands.h"
#include "tools/packer/Stamps.h"

namespace {

// A hostile name must not forge lines: control characters are shown as \xNN.
std::string Shown(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c < 0x20 || c == 0x7F ? std::string(hex) : std::string(1, static_cast<char>(c));
    }
    return out;
}

}  // namespace

int ListCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        Complain("usage: tsdpack list SETUP.exe");
        return kExitRefused;
    }
    StoredPayload payload;
    if (!LoadProgramPayload(args[0], &payload)) return kExitUnreadable;
    for (const auto& e : payload.entries)
        std::printf("%zu\t%s\t%s\n", e.data.size(), FormatStamp(e.time).c_str(),
                    Shown(e.name).c_str());
    std::printf("%zu entries, %zu bytes inflated, %zu bytes stored\n", payload.entries.size(),
                payload.inflated, payload.stored);
    return kExitDone;
}
