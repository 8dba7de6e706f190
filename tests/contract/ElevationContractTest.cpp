// Elevation and the shells' starts where the tests run: no desktop shell window answers (Wine has
// none), and a program that does not exist is not started.
#include "tests/contract/ContractSupport.h"

namespace {

using plat::Wide;

TEST(ContractElevation, AMissingProgramIsNotStartedAndNotWaitedFor) {
    uint32_t code = 12345;
    Wide missing = plat::GetTempPathW() + u"no such program 5f3a.exe";
    EXPECT_FALSE(plat::ShellExecuteExW(u"open", missing, u"-x", plat::kSwShow, &code));
    EXPECT_EQ(plat::kErrorFileNotFound, plat::GetLastError());
}

TEST(ContractElevation, WithoutADesktopShellWindowNothingIsStartedThroughIt) {
    EXPECT_NE(0, plat::DesktopShellExecute(plat::GetTempPathW() + u"x.exe", u"", u"", u"open",
                                           plat::kSwShow));
}

}  // namespace
