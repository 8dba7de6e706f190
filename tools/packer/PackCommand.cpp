// tsdpack --listing FILE --out FILE [--set NAME=PATH]...: packs the payload the listing names.
// Names that could not be installed safely or unambiguously are refused, and nothing is written.
#include <cstdio>

#include "tools/packer/Commands.h"
#include "tools/packer/Files.h"

int PackCommand(const std::vector<std::string>& args) {
    PackOptions options;
    std::string output, error;
    if (!ParsePackOptions(args, 0, &options, &output, &error)) {
        Complain(error + "; usage: tsdpack --listing FILE --out FILE [--set NAME=PATH]...");
        return kExitRefused;
    }
    std::vector<ListedEntry> entries;
    std::string raw, packed;
    if (!ReadListing(options, &entries, &error) ||
        !BuildPayload(entries, options.listing, &raw, &error)) {
        Complain(error);
        return kExitRefused;
    }
    if (!CompressPayload(raw, &packed)) {
        Complain("zlib could not compress the payload");
        return kExitRefused;
    }
    if (!ReplaceFile(output, packed)) {
        Complain("cannot write " + output);
        return kExitRefused;
    }
    std::printf("tsdpack: %zu entries, %zu bytes, %zu bytes packed\n", entries.size(), raw.size(),
                packed.size());
    return kExitDone;
}
