// tsdpack: builds the setup program's payload at build time, and inspects the payload of a built
// program file without Windows.
//
//   tsdpack --listing FILE --out FILE [--set NAME=PATH]...     pack (see Listing.h)
//   tsdpack list SETUP.exe                                     the stored entries
//   tsdpack verify SETUP.exe --listing FILE [--set NAME=PATH]...
//                                                              compare with what packing stores
//   tsdpack extract SETUP.exe DIR                              write the entries under DIR
//
// Exit codes: 0 done; 1 refused (bad options or listing, a file that cannot be written, verify
// found differences); 2 the program file is damaged, not a Windows program, or has no payload.
#include <string>
#include <vector>

#include "tools/packer/Commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string command = args.empty() ? "" : args[0];
    std::vector<std::string> rest(args.empty() ? args.end() : args.begin() + 1, args.end());
    if (command == "list") return ListCommand(rest);
    if (command == "verify") return VerifyCommand(rest);
    if (command == "extract") return ExtractCommand(rest);
    return PackCommand(args);
}
