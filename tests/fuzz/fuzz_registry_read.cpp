// TRegistry reads of values of any type and size: the saved choices are read from values of
// arbitrary types and bytes without reading past them, a text holds no NUL, and the keys are
// closed again.
#include "base/Utf8.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const kNames[] = {"MAINDIR", "INSTALLTOALL", "DSKSHORTCUT", "LAUNCH", "UILANG"};
    static bool started = (fake::Reset(), true);
    (void)started;
    std::vector<std::string> parts = FuzzParts(data, size, 5);
    plat::HKey key = 0;
    FUZZ_REQUIRE(plat::RegCreateKeyExA(plat::kHKeyCurrentUser, kSavedChoicesKey, plat::kKeyAllAccess, &key) == 0);
    // The values of the input before, gone.
    for (const char* name : kNames) plat::RegDeleteValueA(key, name);
    for (size_t i = 0; i < 5; ++i) {
        const std::string& part = parts[i];
        if (part.empty()) continue;  // the value is missing
        // The first byte picks the type: a text, binary data, a number, none, or another.
        uint32_t types[] = {plat::kRegSz, plat::kRegBinary, plat::kRegDword, plat::kRegNone, 2, 7, 11};
        uint32_t type = types[static_cast<uint8_t>(part[0]) % 7];
        // An exact copy, so that a read past the bytes given is caught.
        std::vector<char> bytes(part.begin() + 1, part.end());
        if (static_cast<uint8_t>(part[0]) & 0x80)
            plat::RegSetValueExA(key, kNames[i], type, bytes.data(), static_cast<uint32_t>(bytes.size()));
        else
            plat::RegSetValueExW(key, WideOfUtf8(kNames[i]), type, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    plat::RegCloseKey(key);

    TSavedChoices saved = ReadSavedChoices();
    FUZZ_REQUIRE(saved.KeyExists);
    FUZZ_REQUIRE(saved.MainDir.find(u'\0') == plat::Wide::npos);
    FUZZ_REQUIRE(saved.UILang.find(u'\0') == plat::Wide::npos);
    FUZZ_REQUIRE(saved.HasMainDir == !parts[0].empty());
    {
        TRegistry registry;
        FUZZ_REQUIRE(registry.OpenKey(kSavedChoicesKey, false));
        for (const char* name : kNames) {
            Wide text = registry.ReadString(name);
            FUZZ_REQUIRE(text.find(u'\0') == plat::Wide::npos);
            registry.ReadBool(name);
        }
    }
    FUZZ_REQUIRE(fake::OpenKeyCount() == 0);
    return 0;
}
