#include "base/Arguments.h"

namespace {

bool IsBlank(char16_t c) { return c >= 1 && c <= 32; }

}  // namespace

std::vector<plat::Wide> SplitCommandLine(const plat::Wide& commandLine) {
    std::vector<plat::Wide> arguments;
    size_t end = commandLine.find(u'\0');
    if (end == plat::Wide::npos) end = commandLine.size();
    size_t i = 0;
    for (;;) {
        while (i < end && IsBlank(commandLine[i])) ++i;
        if (i == end) break;
        plat::Wide argument;
        bool quoted = false;
        while (i < end && (quoted || !IsBlank(commandLine[i]))) {
            if (commandLine[i] == u'"')
                quoted = !quoted;
            else
                argument += commandLine[i];
            ++i;
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::vector<plat::Wide> ProgramArguments() {
    std::vector<plat::Wide> all = SplitCommandLine(plat::GetCommandLineW());
    if (!all.empty()) all.erase(all.begin());
    return all;
}
