// The command-line splitter and both switches over arbitrary UTF-16 text: arguments hold no
// quote and, outside quotes, no blank; the silent switch is exactly two characters; the
// destination is the leftmost destination argument from its third character on.
#include "app/CommandLine.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/host/TestMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool started = (fake::Reset(), true);
    (void)started;
    plat::Wide text;
    for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    std::vector<plat::Wide> arguments = SplitCommandLine(text);
    plat::Wide leftmost;
    bool anyDestination = false, anySilent = false;
    for (const plat::Wide& argument : arguments) {
        FUZZ_REQUIRE(!argument.empty() || text.find(u'"') != plat::Wide::npos);
        FUZZ_REQUIRE(argument.find(u'"') == plat::Wide::npos);
        FUZZ_REQUIRE(argument.find(u'\0') == plat::Wide::npos);
        bool silent = IsSilentSwitch(argument);
        if (silent) FUZZ_REQUIRE(argument.size() == 2 && (argument[0] == u'-' || argument[0] == u'/'));
        anySilent = anySilent || silent;
        plat::Wide folder;
        if (IsDestinationSwitch(argument, &folder)) {
            FUZZ_REQUIRE(argument.size() >= 2 && folder == argument.substr(2));
            if (!anyDestination) leftmost = folder;
            anyDestination = true;
        }
    }
    FUZZ_REQUIRE(HasSilentSwitch(arguments) == anySilent);
    plat::Wide found;
    FUZZ_REQUIRE(FindDestinationSwitch(arguments, &found) == anyDestination);
    if (anyDestination) FUZZ_REQUIRE(found == leftmost);
    fake::SetCommandLine(text);
    std::vector<plat::Wide> program = ProgramArguments();
    FUZZ_REQUIRE(program.size() == (arguments.empty() ? 0 : arguments.size() - 1));
    return 0;
}
