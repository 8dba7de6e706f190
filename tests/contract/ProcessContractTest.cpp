// Process, own resources and top-level windows.
#include "tests/contract/ContractSupport.h"

namespace contract {
namespace {

using namespace plat;

TEST(ContractProcess, LastErrorIsKept) {
    SetLastError(12345);
    EXPECT_EQ(GetLastError(), 12345u);
    SetLastError(0);
    EXPECT_EQ(GetLastError(), 0u);
}

TEST(ContractProcess, ProgramFileAndCommandLine) {
    Wide program = GetModuleFileNameW();
    ASSERT_GE(program.size(), 7u);
    EXPECT_EQ(program.substr(1, 2), u":\\");
    EXPECT_EQ(LCMapStringW(kLocaleUserDefault, kLcmapLowercase, program.substr(program.size() - 4)),
              u".exe");
    EXPECT_FALSE(GetCommandLineW().empty());
}

TEST(ContractProcess, EnvironmentVariables) {
    // Every Windows sets SystemRoot, in any case of its name; an unset name gives an empty text.
    Wide root = GetEnvironmentVariableW(u"SystemRoot");
    ASSERT_GE(root.size(), 3u);
    EXPECT_EQ(root.substr(1, 2), u":\\");
    EXPECT_EQ(root, GetEnvironmentVariableW(u"SYSTEMROOT"));
    EXPECT_EQ(Wide(), GetEnvironmentVariableW(u"TESSARON_NO_SUCH_VARIABLE_4438"));
}

TEST(ContractProcess, TheProgramFilesFoldersOfBothViews) {
    // A 32-bit program on 64-bit Windows sees "Program Files (x86)" by both CSIDLs and the native
    // folder only in the environment; elsewhere ProgramW6432, where set, is the CSIDL's folder.
    ASSERT_TRUE(ResolveSHGetFolderPathW());
    Wide own, x86;
    ASSERT_EQ(0, SHGetFolderPathW(kCsidlProgramFiles, &own));
    ASSERT_EQ(0, SHGetFolderPathW(kCsidlProgramFilesX86, &x86));
    own.resize(own.find(u'\0') == Wide::npos ? own.size() : own.find(u'\0'));
    x86.resize(x86.find(u'\0') == Wide::npos ? x86.size() : x86.find(u'\0'));
    Wide native = GetEnvironmentVariableW(u"ProgramW6432");
    if (sizeof(void*) == 4 && !native.empty() && native != own) {
        EXPECT_EQ(own, x86) << "WOW64: both CSIDLs give the 32-bit folder";
    } else if (!native.empty()) {
        EXPECT_EQ(native, own);
    } else {
        EXPECT_EQ(own, x86) << "32-bit Windows has one program files folder";
    }
}

TEST(ContractProcess, MissingResourcesAreNotFound) {
    const void* data = nullptr;
    uint32_t size = 0;
    EXPECT_FALSE(LoadOwnResource("TESSARON-NONE", "#9999", &data, &size));
    EXPECT_EQ(LoadIconW(9999), 0u);
}

TEST(ContractProcess, SystemLibrariesStillLoadAfterTheSearchIsRestricted) {
    // Both programs restrict the search first and only then look up the shell's folder service,
    // which the platform loads from the system folder by its full path.
    EXPECT_TRUE(RestrictLibrarySearch()) << "Windows 7 with its update and later have it";
    ASSERT_TRUE(ResolveSHGetFolderPathW());
    Wide programFiles;
    EXPECT_EQ(0, SHGetFolderPathW(kCsidlProgramFiles, &programFiles));
    EXPECT_EQ(programFiles.substr(1, 2), u":\\");
}

TEST(ContractWindows, EnumerationVisitsUntilTheVisitorStops) {
    int visited = 0;
    EXPECT_TRUE(EnumWindows([&](WindowHandle) {
        ++visited;
        return true;
    }));
    int stopped = 0;
    EXPECT_TRUE(EnumWindows([&](WindowHandle) {
        ++stopped;
        return false;
    })) << "a visitor that stops the enumeration is no failure";
    EXPECT_LE(stopped, 1);
    EXPECT_EQ(stopped, visited > 0 ? 1 : 0);
}

}  // namespace
}  // namespace contract
