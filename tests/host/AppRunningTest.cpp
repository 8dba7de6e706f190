// Recognising a running copy of the application by its window mark.
#include <gtest/gtest.h>

#include "platform/fake/fake.h"
#include "wizard/engine/AppRunning.h"

namespace {

class AppRunning : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(AppRunning, FoundOnlyByANonZeroMark) {
    EXPECT_FALSE(IsAppRunning());
    plat::WindowHandle other = fake::AddWindow();
    fake::SetWindowProp(other, u"Another Mark", 1);
    plat::WindowHandle zero = fake::AddWindow();
    fake::SetWindowProp(zero, kRunningMark, 0);
    EXPECT_FALSE(IsAppRunning());
    plat::WindowHandle app = fake::AddWindow();
    fake::SetWindowProp(app, kRunningMark, 0x1234);
    EXPECT_TRUE(IsAppRunning());
    fake::RemoveWindow(app);
    EXPECT_FALSE(IsAppRunning());
}

TEST_F(AppRunning, AFailedEnumerationLetsTheInstallationProceed) {
    fake::SetWindowProp(fake::AddWindow(), kRunningMark, 1);
    fake::FailWindowEnumeration();
    EXPECT_FALSE(IsAppRunning());
}

}  // namespace
