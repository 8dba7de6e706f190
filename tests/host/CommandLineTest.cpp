// Splitting the command line and recognising the silent and destination switches.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "platform/fake/fake.h"

namespace {

using plat::Wide;
using Args = std::vector<Wide>;

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(CommandLine, SplitsAtBlanksAndControlCharacters) {
    EXPECT_EQ((Args{u"setup.exe", u"-S", u"/Dx"}), SplitCommandLine(u"setup.exe  -S\t/Dx\r\n"));
    EXPECT_EQ((Args{u"a", u"b"}), SplitCommandLine(u"\x01" u"a\x1f" u"b "));
    EXPECT_EQ(Args{}, SplitCommandLine(u"   "));
    EXPECT_EQ((Args{u"a"}), SplitCommandLine(Wide(u"a\0b c", 5))) << "a NUL ends the text";
}

TEST_F(CommandLine, QuotesGroupAndAreDropped) {
    EXPECT_EQ((Args{u"C:\\Program Files\\setup.exe", u"/DC:\\My Apps\\Tessaron"}),
              SplitCommandLine(u"\"C:\\Program Files\\setup.exe\" /D\"C:\\My Apps\\Tessaron\""));
    EXPECT_EQ((Args{u"ab cd", u"e"}), SplitCommandLine(u"a\"b c\"d e"));
    EXPECT_EQ((Args{u"x", u"open quote runs on"}),
              SplitCommandLine(u"x \"open quote runs on"));
    EXPECT_EQ((Args{u"", u"y"}), SplitCommandLine(u"\"\" y"));
}

TEST_F(CommandLine, OnlyExactlyTwoCharacterSilentSwitchesCount) {
    for (Wide yes : {u"-S", u"/S", u"-s", u"/s"}) EXPECT_TRUE(IsSilentSwitch(yes)) << "yes";
    for (Wide no : {u"-S1", u"--S", u"S", u"/Silent", u"-", u"\\S", u"-D", u""})
        EXPECT_FALSE(IsSilentSwitch(no));
    EXPECT_TRUE(HasSilentSwitch({u"/Dc:\\x", u"other", u"-s", u"more"}));
    EXPECT_FALSE(HasSilentSwitch({u"/Silent", u"--S"}));
    EXPECT_FALSE(HasSilentSwitch({}));
}

TEST_F(CommandLine, LeftmostDestinationWins) {
    Wide folder;
    ASSERT_TRUE(FindDestinationSwitch({u"/DC:\\Apps\\Tessaron"}, &folder));
    EXPECT_EQ(u"C:\\Apps\\Tessaron", folder);
    ASSERT_TRUE(FindDestinationSwitch({u"/DX:\\One", u"-S", u"-dY:\\Two"}, &folder));
    EXPECT_EQ(u"X:\\One", folder);
    ASSERT_TRUE(FindDestinationSwitch({u"x", u"/D"}, &folder));
    EXPECT_EQ(u"", folder) << "/D alone gives an empty destination";
    folder = u"kept";
    EXPECT_FALSE(FindDestinationSwitch({u"-S", u"D:\\x", u"--D"}, &folder));
    EXPECT_EQ(u"kept", folder);
}

TEST_F(CommandLine, ProgramArgumentsLeaveOutTheProgramPath) {
    fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron setup.exe\" -S \"/DD:\\Port able\"");
    EXPECT_EQ((Args{u"-S", u"/DD:\\Port able"}), ProgramArguments());
    fake::SetCommandLine(u"setup.exe");
    EXPECT_EQ(Args{}, ProgramArguments());
}

}  // namespace
