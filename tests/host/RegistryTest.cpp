// The saved choices and the uninstall entry, with their exact types and encodings.
#include <gtest/gtest.h>

#include "tests/host/TestMachine.h"
#include "wizard/engine/Registry.h"

namespace {

std::string Utf16(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes + std::string(2, '\0');
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { StartFreshProcess(); }
    fake::RegValue Value(plat::HKey root, const char* key, const char* name) {
        fake::RegValue v{0, ""};
        EXPECT_TRUE(fake::RegValueAt(root, key, name, &v)) << name;
        return v;
    }
};

TEST_F(Registry, NothingSavedGivesTheDefaults) {
    TSavedChoices saved = ReadSavedChoices();
    EXPECT_FALSE(saved.KeyExists);
    EXPECT_FALSE(saved.HasMainDir);
    EXPECT_TRUE(saved.InstallToAll && saved.DesktopShortcut && saved.Launch);
    EXPECT_FALSE(saved.HasUILang);
}

TEST_F(Registry, RecordsWithTheirTypesAndEncodings) {
    CurrentUILang = 0;  // German
    fake::PutFile(u"C:\\Programme\\Tessar\u00f6n\\tsd.exe", std::string(3000000, 'x'));
    WriteRegistryRecords({u"C:\\Programme\\Tessar\u00f6n", true, false, true, false});

    const char* saved = "Software\\Tessaron Word Processor\\Install";
    EXPECT_EQ(plat::kRegSz, Value(plat::kHKeyCurrentUser, saved, "MAINDIR").type);
    EXPECT_EQ(Utf16(u"C:\\Programme\\Tessar\u00f6n"), Value(plat::kHKeyCurrentUser, saved, "MAINDIR").bytes);
    EXPECT_EQ(plat::kRegDword, Value(plat::kHKeyCurrentUser, saved, "INSTALLTOALL").type);
    EXPECT_EQ(std::string("\1\0\0\0", 4), Value(plat::kHKeyCurrentUser, saved, "INSTALLTOALL").bytes);
    EXPECT_EQ(std::string("\0\0\0\0", 4), Value(plat::kHKeyCurrentUser, saved, "DSKSHORTCUT").bytes);
    EXPECT_EQ(std::string("\1\0\0\0", 4), Value(plat::kHKeyCurrentUser, saved, "LAUNCH").bytes);
    EXPECT_EQ(Utf16(u"de"), Value(plat::kHKeyCurrentUser, saved, "UILANG").bytes);

    const char* uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaron Word Processor";
    auto at = [&](const char* name) { return Value(plat::kHKeyLocalMachine, uninstall, name); };
    EXPECT_EQ(Utf16(u"C:\\Programme\\Tessar\u00f6n\\tsd.exe"), at("DisplayIcon").bytes);
    EXPECT_EQ(Utf16(u"Tessaron-Textverarbeitungsprogramm"), at("DisplayName").bytes);
    EXPECT_EQ(Utf16(u"4.4.3.8"), at("DisplayVersion").bytes);
    EXPECT_EQ(plat::kRegDword, at("EstimatedSize").type);
    EXPECT_EQ(std::string("\x71\x0B\0\0", 4), at("EstimatedSize").bytes) << "2929 = 3,000,000 / 1024";
    EXPECT_EQ(Utf16(u"The Tessaron Word Processor Team"), at("Publisher").bytes);
    EXPECT_EQ(Utf16(u"\"C:\\Programme\\Tessar\u00f6n\\tsd.exe\" -ui"), at("UninstallString").bytes);
    EXPECT_EQ(0, fake::OpenKeyCount());
}

TEST_F(Registry, MissingExecutableGivesSizeZeroAndQuotesPathsWithoutBlanks) {
    WriteRegistryRecords({u"D:\\Apps", true, true, true, false});
    const char* uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaron Word Processor";
    EXPECT_EQ(std::string("\0\0\0\0", 4), Value(plat::kHKeyLocalMachine, uninstall, "EstimatedSize").bytes);
    EXPECT_EQ(Utf16(u"\"D:\\Apps\\tsd.exe\" -ui"), Value(plat::kHKeyLocalMachine, uninstall, "UninstallString").bytes);
}

TEST_F(Registry, SavedChoicesReadBack) {
    CurrentUILang = 3;
    WriteRegistryRecords({u"C:\\Tools\\Tessaron", false, false, true, false});
    CurrentUILang = 1;
    TSavedChoices saved = ReadSavedChoices();
    EXPECT_TRUE(saved.KeyExists);
    EXPECT_EQ(u"C:\\Tools\\Tessaron", saved.MainDir);
    EXPECT_FALSE(saved.InstallToAll);
    EXPECT_FALSE(saved.DesktopShortcut);
    EXPECT_TRUE(saved.Launch);
    EXPECT_EQ(u"fr", saved.UILang);
}

TEST_F(Registry, BooleansReadFourBytesOfAnyType) {
    // Every choice defaults to true, so a value that reads false is the one that shows it was
    // read; a value that reads true shows that any non-zero byte counts, not its text.
    const struct {
        const char* what;
        uint32_t type;
        std::string bytes;
        bool expected;
    } cases[] = {
        {"a DWORD 0", plat::kRegDword, std::string("\0\0\0\0", 4), false},
        {"a DWORD 1", plat::kRegDword, std::string("\1\0\0\0", 4), true},
        {"a byte in the fourth place", plat::kRegBinary, std::string("\0\0\0\1", 4), true},
        {"a fifth byte is not read", plat::kRegBinary, std::string("\0\0\0\0\1", 5), false},
        {"the text '0' is not a zero byte", plat::kRegSz, std::string("0\0", 2), true},
        {"an empty text", plat::kRegSz, std::string("\0", 1), false},
    };
    for (const char* name : {"INSTALLTOALL", "DSKSHORTCUT", "LAUNCH"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(name) + ": " + c.what);
            StartFreshProcess();
            plat::HKey key = 0;
            ASSERT_EQ(0, plat::RegCreateKeyExA(plat::kHKeyCurrentUser, kSavedChoicesKey, plat::kKeyAllAccess, &key));
            plat::RegSetValueExA(key, name, c.type, c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
            plat::RegCloseKey(key);
            TSavedChoices saved = ReadSavedChoices();
            const std::string read = name;
            EXPECT_EQ(read == "INSTALLTOALL" ? c.expected : true, saved.InstallToAll);
            EXPECT_EQ(read == "DSKSHORTCUT" ? c.expected : true, saved.DesktopShortcut);
            EXPECT_EQ(read == "LAUNCH" ? c.expected : true, saved.Launch);
            EXPECT_FALSE(saved.HasMainDir);
        }
    }
}

TEST_F(Registry, AKeyThatCannotBeOpenedIsNotReported) {
    fake::DenyRegistryKey(plat::kHKeyLocalMachine,
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaron Word Processor");
    WriteRegistryRecords({u"C:\\T", true, true, true, false});
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
    EXPECT_EQ(0, fake::OpenKeyCount());
}

TEST_F(Registry, APortableCopyWritesNoUninstallEntry) {
    WriteRegistryRecords({u"E:\\T", true, true, true, true});
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
}

}  // namespace
