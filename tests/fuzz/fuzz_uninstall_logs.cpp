// The stand-in's removal ("tsd.exe -ui") reading arbitrary Install.log and Update.log files: it
// ends, and whatever the logs hold (paths elsewhere, "..", ".", forward slashes, "\\?\" and "\\.\"
// prefixes, other drives, names ending in dots or blanks), it deletes nothing outside the
// installation folder, the product's data folder and the product's own shortcuts, and no
// registry key but the product's.
#include <set>

#include "base/Utf8.h"
#include "standin/Uninstall.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/Registry.h"

namespace {

const plat::Wide kMainFolder = u"C:\\Program Files\\Tessaron\\";
const plat::Wide kDataFolder = u"C:\\ProgramData\\Tessaron\\";

// An installed copy among files and folders of others, some of them empty.
void PutMachine() {
    fake::Reset();
    fake::DriveInfo d;
    fake::AddDrive('D', d);
    for (const char16_t* file :
         {u"C:\\Program Files\\Tessaron\\tsd.exe", u"C:\\Program Files\\Tessaron\\License.txt",
          u"C:\\Program Files\\Tessaron\\My Notes.txt",
          u"C:\\ProgramData\\Tessaron\\Public\\Templates\\Letters\\Letter.rtf",
          u"C:\\ProgramData\\Tessaron\\tsd_common.dat", u"C:\\ProgramData\\Tessaron\\Hidden\\install_stamp",
          u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tessaron Word Processor.lnk",
          u"C:\\Users\\Public\\Desktop\\Tessaron Word Processor.lnk",
          // Not the installation's:
          u"C:\\Windows\\System32\\kernel32.dll", u"C:\\Windows\\win.ini",
          u"C:\\Program Files\\Other\\other.exe", u"C:\\Program Files\\Tessaron Extra\\extra.exe",
          u"C:\\ProgramData\\Other\\settings.dat", u"C:\\ProgramData\\Tessaron.bak\\copy.dat",
          u"C:\\Users\\User\\Documents\\Thesis.doc", u"C:\\Users\\User\\Desktop\\Notes.lnk",
          u"C:\\Users\\User\\Desktop\\Tessaron Word Processor.txt", u"D:\\Program Files\\Tessaron\\tsd.exe",
          u"D:\\data.txt", u"C:\\Install.log", u"C:\\tsd.exe"})
        fake::PutFile(file, "bytes");
    for (const char16_t* folder : {u"C:\\Program Files\\Empty", u"C:\\Users\\User\\Documents\\Empty",
                                   u"C:\\ProgramData\\Empty", u"D:\\Empty"})
        fake::PutFolder(folder);
    for (auto [root, key] : {std::pair{plat::kHKeyCurrentUser, kSavedChoicesKey},
                             std::pair{plat::kHKeyLocalMachine, kUninstallKey},
                             std::pair{plat::kHKeyCurrentUser, "Software\\Other"},
                             std::pair{plat::kHKeyLocalMachine,
                                       "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"}}) {
        plat::HKey handle;
        plat::RegCreateKeyExA(root, key, plat::kKeyAllAccess, &handle);
        plat::RegCloseKey(handle);
    }
}

bool Inside(const plat::Wide& path, const plat::Wide& folder) {
    return path.size() >= folder.size() && plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapUppercase, path.substr(0, folder.size())) ==
                                               plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapUppercase, folder);
}

// Whether removing this file or folder (relative to C:\ or D:\, folders ending in "\") is the
// installation's to do.
bool Allowed(const plat::Wide& full) {
    plat::Wide bare = full.back() == u'\\' ? full.substr(0, full.size() - 1) : full;
    if (Inside(full, kMainFolder) || Inside(full, kDataFolder)) return true;
    if (bare + u"\\" == kMainFolder || bare + u"\\" == kDataFolder) return true;
    return full == u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tessaron Word Processor.lnk" ||
           full == u"C:\\Users\\Public\\Desktop\\Tessaron Word Processor.lnk";
}

std::set<plat::Wide> Everything() {
    std::set<plat::Wide> all;
    for (char16_t drive : {u'C', u'D'}) {
        plat::Wide root = plat::Wide(1, drive) + u":\\";
        for (const plat::Wide& name : fake::ListTree(root)) all.insert(root + name);
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The machine is prepared once and restored for every input.
    static const std::set<plat::Wide> before = [] {
        PutMachine();
        fake::PutFile(kMainFolder + u"Install.log", "");
        fake::PutFile(kDataFolder + u"Update.log", "");
        fake::SaveMachine();
        return Everything();
    }();
    std::vector<std::string> parts = FuzzParts(data, size, 2);
    fake::RestoreMachine();
    fake::PutFile(kMainFolder + u"Install.log", parts[0]);
    fake::PutFile(kDataFolder + u"Update.log", parts[1]);

    TUninstallOptions options;
    options.ProgramPath = kMainFolder + u"tsd.exe";
    options.Silent = true;
    // The finishing copy runs once the program has ended: here, straight away.
    options.StartFinish = [](const plat::Wide& folder) {
        FinishUninstall(folder);
        return true;
    };
    Uninstall(options);

    std::set<plat::Wide> after = Everything();
    for (const plat::Wide& item : before) {
        if (after.count(item)) continue;
        if (!Allowed(item)) {
            std::fprintf(stderr, "deleted outside the installation: %s\n", Utf8Of(item).c_str());
            FUZZ_REQUIRE(Allowed(item));
        }
    }
    FUZZ_REQUIRE(fake::RegKeyExists(plat::kHKeyCurrentUser, "Software\\Other"));
    FUZZ_REQUIRE(fake::RegKeyExists(plat::kHKeyLocalMachine,
                                    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"));
    FUZZ_REQUIRE(fake::OpenHandleCount() == 0);
    return 0;
}
