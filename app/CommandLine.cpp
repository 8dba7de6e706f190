#include "app/CommandLine.h"

namespace {

bool IsBlank(char16_t c) { return c >= 1 && c <= 32; }

// The second character of a switch, upper-cased with the user's locale.
char16_t SwitchLetter(const plat::Wide& argument) {
    plat::Wide letter =
        plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapUppercase, argument.substr(1, 1));
    return letter.size() == 1 ? letter[0] : 0;
}

bool StartsLikeSwitch(const plat::Wide& argument) {
    return argument.size() >= 2 && (argument[0] == u'-' || argument[0] == u'/');
}

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

bool IsSilentSwitch(const plat::Wide& argument) {
    return argument.size() == 2 && StartsLikeSwitch(argument) && SwitchLetter(argument) == u'S';
}

bool IsDestinationSwitch(const plat::Wide& argument, plat::Wide* folder) {
    if (!StartsLikeSwitch(argument) || SwitchLetter(argument) != u'D') return false;
    *folder = argument.substr(2);
    return true;
}

bool HasSilentSwitch(const std::vector<plat::Wide>& arguments) {
    bool silent = false;
    for (size_t i = arguments.size(); i-- > 0;)
        if (IsSilentSwitch(arguments[i])) silent = true;
    return silent;
}

bool FindDestinationSwitch(const std::vector<plat::Wide>& arguments, plat::Wide* folder) {
    bool found = false;
    for (size_t i = arguments.size(); i-- > 0;) {
        plat::Wide candidate;
        if (IsDestinationSwitch(arguments[i], &candidate)) {
            *folder = candidate;
            found = true;
        }
    }
    return found;
}
