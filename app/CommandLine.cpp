#include "app/CommandLine.h"

namespace {

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

TRunSwitches ReadRunSwitches(const std::vector<plat::Wide>& arguments) {
    TRunSwitches switches;
    switches.Silent = HasSilentSwitch(arguments);
    switches.HasDestination = FindDestinationSwitch(arguments, &switches.Destination);
    return switches;
}
