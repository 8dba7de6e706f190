// Locale services: upper- and lower-casing of paths and labels, and the case-insensitive
// comparison of 8-bit text used for log lines and folder lists.
#include "tests/contract/ContractSupport.h"

namespace contract {
namespace {

using namespace plat;

Wide Upper(const Wide& text) { return LCMapStringW(kLocaleUserDefault, kLcmapUppercase, text); }
Wide Lower(const Wide& text) { return LCMapStringW(kLocaleUserDefault, kLcmapLowercase, text); }

int Compare(const std::string& a, const std::string& b,
            uint32_t flags = kNormIgnoreCase | kSortStringSort) {
    return CompareStringA(kLocaleUserDefault, flags, a, b);
}

TEST(ContractLocale, UserLocaleIsKnown) { EXPECT_NE(GetUserDefaultLCID(), 0u); }

TEST(ContractLocale, CaseMappingOfAsciiLeavesOtherCharacters) {
    EXPECT_EQ(Upper(u"c:\\Program Files\\abc-XYZ_09.exe"), u"C:\\PROGRAM FILES\\ABC-XYZ_09.EXE");
    EXPECT_EQ(Lower(u"C:\\Program Files\\ABC-xyz_09.EXE"), u"c:\\program files\\abc-xyz_09.exe");
    EXPECT_EQ(Upper(u""), u"");
}

TEST(ContractLocale, CaseMappingBeyondAscii) {
    EXPECT_EQ(Upper(u"\u00e9t\u00e9"), u"\u00c9T\u00c9");  // été
    EXPECT_EQ(Lower(u"\u00c9T\u00c9"), u"\u00e9t\u00e9");
    EXPECT_EQ(Upper(u"\u00ff"), u"\u0178");               // ÿ
    EXPECT_EQ(Lower(u"\u0178"), u"\u00ff");
    EXPECT_EQ(Upper(u"stra\u00dfe"), u"STRA\u00dfE") << "ß has no one-letter capital";
    EXPECT_EQ(Upper(u"\u0142\u0151\u017e"), u"\u0141\u0150\u017d");  // ł ő ž
    EXPECT_EQ(Upper(u"\u03b1\u03b2\u03b3\u03ac"), u"\u0391\u0392\u0393\u0386");  // αβγά
    EXPECT_EQ(Lower(u"\u0416\u0414\u0401"), u"\u0436\u0434\u0451");  // ЖДЁ
    EXPECT_EQ(Upper(u"\u00d7\u00f7"), u"\u00d7\u00f7") << "signs have no case";
}

TEST(ContractLocale, ComparisonIgnoresCase) {
    EXPECT_EQ(Compare("Made Dir: C:\\Program Files\\Tessaron\\", "made dir: c:\\PROGRAM FILES\\tessaron\\"),
              kCstrEqual);
    EXPECT_EQ(Compare("Caf\xe9", "CAF\xc9"), kCstrEqual);
    EXPECT_EQ(Compare("", ""), kCstrEqual);
    EXPECT_EQ(Compare("abc", "ABC", kSortStringSort), kCstrLessThan) << "small letters first";
}

TEST(ContractLocale, ComparisonOrder) {
    EXPECT_EQ(Compare("abc", "abd"), kCstrLessThan);
    EXPECT_EQ(Compare("a", "B"), kCstrLessThan);
    EXPECT_EQ(Compare("Zebra", "apple"), kCstrGreaterThan);
    EXPECT_EQ(Compare("ab", "abc"), kCstrLessThan);
    EXPECT_EQ(Compare("!x", "1x"), kCstrLessThan) << "symbols before digits";
    EXPECT_EQ(Compare("9x", "ax"), kCstrLessThan) << "digits before letters";
    EXPECT_EQ(Compare("file10", "file9"), kCstrLessThan) << "digits compare one by one";
    EXPECT_EQ(Compare("a-b", "ab"), kCstrLessThan) << "a hyphen is a symbol in a string sort";
    EXPECT_EQ(Compare("e\xe9", "ee"), kCstrGreaterThan);
    EXPECT_EQ(Compare("\xe9", "f"), kCstrLessThan) << "é sorts with e";
}

// Sort keys compared as byte strings give the comparison's answer, pair by pair, in each way of
// comparing: with and without case, string sort and word sort.
TEST(ContractLocale, SortKeysCompareAsTheTextsDo) {
    const std::string texts[] = {
        "C:\\ProgramData\\Tessaron\\Public\\Templates\\Letters\\Cover Letter.rtf\t!",
        "C:\\ProgramData\\Tessaron\\Public\\Clip Library\\Images\\Arrows\\arrow-left.png\t!",
        "C:\\ProgramData\\Tessaron\\Public\\Clip Library\\Images\\Arrows\\arrow-curved.png\t!",
        "C:\\ProgramData\\Tessaron\\Public\\Clip Library\\Images\\Arrows\\arrowleft.png\t!",
        "C:\\ProgramData\\Tessaron\\Public\\Clip Library\\Images\\Arrows\\Arrow-Left.png\t!",
        "C:\\ProgramData\\Tessaron\\Public\\Clip Library\\Images\\Arrows\\arrow-left.png",
        "*00000000B04DE640", "Made Dir: C:\\Program Files\\Tessaron\\", "a", "A", "ab", "a b",
        "a-b", "a'b", "ab-", "file10", "file9", "!x", "1x", "Caf\xe9", "CAF\xc9", "Cafe", "caff",
        "\xe6on", "aeon", "Stra\xdf" "e", "Strasse", "x\ty", "x y", "m\xe4rz", "Marz", "marz",
    };
    for (uint32_t flags : {kNormIgnoreCase | kSortStringSort, kSortStringSort, kNormIgnoreCase, 0u}) {
        for (const std::string& a : texts) {
            std::string keyA = SortKeyA(kLocaleUserDefault, flags, a);
            ASSERT_FALSE(keyA.empty()) << a;
            for (const std::string& b : texts) {
                std::string keyB = SortKeyA(kLocaleUserDefault, flags, b);
                int byKeys = keyA < keyB ? kCstrLessThan : keyA == keyB ? kCstrEqual : kCstrGreaterThan;
                EXPECT_EQ(Compare(a, b, flags), byKeys) << "flags " << flags << ": \"" << a << "\" and \"" << b << "\"";
            }
        }
    }
    EXPECT_EQ("", SortKeyA(kLocaleUserDefault, kNormIgnoreCase, ""));
}

}  // namespace
}  // namespace contract
