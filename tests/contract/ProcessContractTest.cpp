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
