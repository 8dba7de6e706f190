// The language table, the choice of the language, the texts and the message box.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "platform/fake/fake.h"
#include "wizard/lang/UILang.h"

namespace {

class UILangTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ResetUILangState();
    }
    void TearDown() override { ResetUILangState(); }
};

using UILangSelection = UILangTest;
using UILangSavedCode = UILangTest;
using UILangTexts = UILangTest;
using UILangFormat = UILangTest;
using UILangMessageBox = UILangTest;

enum Row { kGerman = 0, kEnglish, kSpanish, kFrench, kSimplified, kTraditional };

struct NamedText {
    const char* name;
    const TUIText* table;
};

const std::vector<NamedText>& AllTexts() {
    static const std::vector<NamedText> all = {
        {"ProductName", &ProductName},         {"WelcomeText", &WelcomeText},
        {"LanguagePrompt", &LanguagePrompt},   {"LicensePrompt", &LicensePrompt},
        {"AcceptLicense", &AcceptLicense},     {"InstallPortable", &InstallPortable},
        {"ReadyText", &ReadyText},             {"InstallForAll", &InstallForAll},
        {"DesktopShortcut", &DesktopShortcut}, {"FinishedText", &FinishedText},
        {"LaunchApp", &LaunchApp},             {"Description", &Description},
        {"ProductNameInText", &ProductNameInText}, {"SetupTitle", &SetupTitle},
        {"MustAgree", &MustAgree},             {"CloseRunning", &CloseRunning},
        {"QuitSetup", &QuitSetup},             {"PortableHelpPath", &PortableHelpPath},
        {"PortableNotHere", &PortableNotHere}, {"CannotCreateFile", &CannotCreateFile},
        {"BackCaption", &BackCaption},         {"NextCaption", &NextCaption},
        {"FinishCaption", &FinishCaption},     {"CancelCaption", &CancelCaption},
    };
    return all;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// ---- Choice from the user's locale ----

TEST_F(UILangSelection, LocalesPickTheirLanguageByTheLanguageIdAlone) {
    struct Case {
        uint32_t lcid;
        int row;
    };
    const Case cases[] = {
        {0x0404, kTraditional},  // Chinese (Taiwan): the only full id in the table
        {0x0804, kSimplified},   // Chinese (PRC)
        {0x0C04, kSimplified},   // Chinese (Hong Kong)
        {0x1004, kSimplified},   // Chinese (Singapore)
        {0x1404, kSimplified},   // Chinese (Macao)
        {0x0004, kSimplified},   // Chinese, simplified neutral
        {0x7C04, kSimplified},   // Chinese, traditional neutral: not Taiwan
        {0x0407, kGerman},       {0x0807, kGerman},  {0x0C07, kGerman},
        {0x040A, kSpanish},      {0x080A, kSpanish}, {0x0C0A, kSpanish},
        {0x040C, kFrench},       {0x0C0C, kFrench},  {0x100C, kFrench},
        {0x0409, kEnglish},      {0x0809, kEnglish},
        {0x0410, kEnglish},      // Italian: not in the table
        {0x0411, kEnglish},      // Japanese
        {0x0000, kEnglish},
        // Only the language id part of the locale counts: not the sort order.
        {0x00010407, kGerman},        // German, phone-book sort
        {0x00020804, kSimplified},    // Chinese (PRC), stroke sort
        {0x00030404, kTraditional},   // Chinese (Taiwan), Bopomofo sort
        // The primary language is 10 bits wide: these share only the low byte with a row.
        {0x0107, kEnglish},
        {0x0204, kEnglish},
        {0x030C, kEnglish},
    };
    for (const Case& c : cases) {
        ResetUILangState();
        fake::SetUserLCID(c.lcid);
        SelectInitialUILang();
        EXPECT_EQ(c.row, CurrentUILang) << std::hex << "lcid 0x" << c.lcid;
    }
}

// ---- Saved language code ----

TEST_F(UILangSavedCode, EveryCodeSelectsItsRow) {
    for (int row = 0; row < kUILangCount; ++row) {
        CurrentUILang = row == kEnglish ? kGerman : kEnglish;
        EXPECT_TRUE(MatchSavedUILang(std::string(UILangs[row].Code))) << UILangs[row].Code;
        EXPECT_EQ(row, CurrentUILang) << UILangs[row].Code;
    }
}

TEST_F(UILangSavedCode, SavedCodeWinsOverTheLocale) {
    fake::SetUserLCID(0x0409);
    SelectInitialUILang();
    EXPECT_TRUE(MatchSavedUILang(std::string("zht")));
    EXPECT_EQ(kTraditional, CurrentUILang);

    fake::SetUserLCID(0x0407);
    SelectInitialUILang();
    ASSERT_EQ(kGerman, CurrentUILang);
    EXPECT_TRUE(MatchSavedUILang(std::string("fr")));
    EXPECT_EQ(kFrench, CurrentUILang);
}

TEST_F(UILangSavedCode, UnmatchedCodesKeepTheLocaleChoice) {
    fake::SetUserLCID(0x0407);
    SelectInitialUILang();
    ASSERT_EQ(kGerman, CurrentUILang);
    const std::string unmatched[] = {"ZHT", "Zht", "EN", "it", "", "z", "zh ", "zhtx", " fr",
                                     std::string("zh\0t", 4)};
    for (const std::string& code : unmatched) {
        EXPECT_FALSE(MatchSavedUILang(code)) << '"' << code << '"';
        EXPECT_EQ(kGerman, CurrentUILang) << '"' << code << '"';
    }
}

TEST_F(UILangSavedCode, WideValueIsComparedAsAnsiText) {
    EXPECT_TRUE(MatchSavedUILang(plat::Wide(u"zht")));
    EXPECT_EQ(kTraditional, CurrentUILang);
    EXPECT_TRUE(MatchSavedUILang(plat::Wide(u"es")));
    EXPECT_EQ(kSpanish, CurrentUILang);
    // A character outside ASCII never makes a code, not even when its low byte would.
    EXPECT_FALSE(MatchSavedUILang(plat::Wide(u"z\u0168t")));  // low byte 0x68 is 'h'
    EXPECT_FALSE(MatchSavedUILang(plat::Wide(u"ZHT")));
    EXPECT_FALSE(MatchSavedUILang(plat::Wide()));
    EXPECT_EQ(kSpanish, CurrentUILang);
}

// ---- The table and its texts ----

TEST_F(UILangTexts, LanguageTable) {
    const int32_t ids[] = {7, 9, 10, 12, 4, 0x0404};
    const char* codes[] = {"de", "en", "es", "fr", "zh", "zht"};
    const char* names[] = {"Deutsch",
                           "English",
                           "Espa\xC3\xB1ol",
                           "Fran\xC3\xA7" "ais",
                           "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87 (Simplified Chinese)",
                           "\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87 (Traditional Chinese)"};
    for (int row = 0; row < kUILangCount; ++row) {
        EXPECT_EQ(ids[row], UILangs[row].LangId) << row;
        EXPECT_STREQ(codes[row], UILangs[row].Code) << row;
        EXPECT_STREQ(names[row], UILangs[row].Name) << row;
    }
}

TEST_F(UILangTexts, EveryTextIsWellFormed) {
    for (const NamedText& t : AllTexts()) {
        for (int row = 0; row < kUILangCount; ++row) {
            SCOPED_TRACE(std::string(t.name) + " row " + std::to_string(row));
            const char* text = (*t.table)[row];
            ASSERT_NE(nullptr, text);
            const std::string s(text);
            EXPECT_FALSE(s.empty());
            // Valid UTF-8 of the basic multilingual plane: decoding and encoding again gives
            // the same bytes.
            EXPECT_EQ(s, Utf8Of(WideOfUtf8(s)));
            // Line breaks are lone carriage returns.
            EXPECT_EQ(std::string::npos, s.find('\n'));
            EXPECT_LE(Count(s, "&"), 1u);
            size_t placeholders = 0;
            if (t.table == &WelcomeText || t.table == &FinishedText) placeholders = 2;
            if (t.table == &CannotCreateFile) placeholders = 1;
            EXPECT_EQ(placeholders, Count(s, "%s"));
            EXPECT_EQ(placeholders, Count(s, "%"));
        }
    }
    for (int row = 0; row < kUILangCount; ++row) {
        for (int page = 0; page < kPageCount; ++page) {
            ASSERT_NE(nullptr, PageTitles[row][page]);
            EXPECT_EQ(std::string(PageTitles[row][page]),
                      Utf8Of(WideOfUtf8(PageTitles[row][page])));
            EXPECT_EQ(nullptr, std::strpbrk(PageTitles[row][page], "%&\r\n"));
        }
    }
}

TEST_F(UILangTexts, ExactTextsOfEachLanguage) {
    EXPECT_STREQ("Tessaron Word Processor - Setup", SetupTitle[kEnglish]);
    EXPECT_STREQ("You are now ready to install Tessaron Word Processor.\r\rClick Next to begin "
                 "installation. Click Back if you want to review or change installation settings.",
                 ReadyText[kEnglish]);
    EXPECT_STREQ("Cannot create file \"%s\".\rAnother application might already be using this "
                 "file.\r\rPlease make sure that the setup of Tessaron Word Processor is not "
                 "blocked by your security software (firewall/antivirus) in any way.\rYou might "
                 "want to temporarily disable your security software and try again.",
                 CannotCreateFile[kEnglish]);
    EXPECT_STREQ("I &accept all the terms of the above License Agreement", AcceptLicense[kEnglish]);

    EXPECT_STREQ("Tessaron-Textverarbeitungsprogramm - Setup", SetupTitle[kGerman]);
    EXPECT_STREQ("&N\xC3\xA4" "chste >", NextCaption[kGerman]);
    // No accelerator where English has one.
    EXPECT_STREQ("Installation f\xC3\xBCr alle Benutzer dieses Computers", InstallForAll[kGerman]);

    EXPECT_STREQ("Procesador de textos Tessaron - Instalaci\xC3\xB3n", SetupTitle[kSpanish]);
    EXPECT_STREQ("La instalaci\xC3\xB3n no est\xC3\xA1 completa. \xC2\xBF" "Desea salir de este "
                 "programa de instalaci\xC3\xB3n?",
                 QuitSetup[kSpanish]);

    EXPECT_STREQ("Installation du traitement de texte Tessaron", SetupTitle[kFrench]);
    EXPECT_STREQ("L'installation n'est pas termin\xC3\xA9" "e !\r\rPour poursuivre l'installation "
                 "maintenant, cliquez sur \"Non\".\r\rPour interrompre l'installation, cliquez "
                 "sur \"Oui\".",
                 QuitSetup[kFrench]);
    EXPECT_STREQ("Langue :", LanguagePrompt[kFrench]);

    EXPECT_STREQ("\xE6\xB3\xB0\xE8\x90\xA8\xE9\x9A\x86\xE6\x96\x87\xE5\xAD\x97\xE5\xA4\x84\xE7\x90"
                 "\x86\xE5\x99\xA8 - \xE5\xAE\x89\xE8\xA3\x85",
                 SetupTitle[kSimplified]);  // 泰萨隆文字处理器 - 安装
    EXPECT_STREQ("&N\xE4\xB8\x8B\xE4\xB8\x80\xE6\xAD\xA5>", NextCaption[kSimplified]);  // &N下一步>

    EXPECT_STREQ("\xE6\xB3\xB0\xE8\x96\xA9\xE9\x9A\x86\xE6\x96\x87\xE5\xAD\x97\xE8\x99\x95\xE7\x90"
                 "\x86\xE5\x99\xA8 - \xE5\xAE\x89\xE8\xA3\x9D",
                 SetupTitle[kTraditional]);  // 泰薩隆文字處理器 - 安裝
    EXPECT_STREQ("&N\xE4\xB8\x8B\xE5\xA3\xB9\xE6\xAD\xA5>", NextCaption[kTraditional]);  // &N下壹步>
}

TEST_F(UILangTexts, LongTextsHaveTheirExactLength) {
    struct Case {
        const char* name;
        const TUIText* table;
        size_t bytes[kUILangCount];
    };
    const Case cases[] = {
        {"ReadyText", &ReadyText, {243, 154, 202, 197, 155, 155}},
        {"CloseRunning", &CloseRunning, {141, 94, 122, 137, 105, 105}},
        {"QuitSetup", &QuitSetup, {85, 62, 82, 152, 51, 51}},
        {"CannotCreateFile", &CannotCreateFile, {393, 288, 351, 366, 259, 259}},
        {"Description", &Description, {100, 70, 73, 74, 63, 63}},
    };
    for (const Case& c : cases) {
        for (int row = 0; row < kUILangCount; ++row) {
            EXPECT_EQ(c.bytes[row], std::strlen((*c.table)[row])) << c.name << " row " << row;
        }
    }
}

TEST_F(UILangTexts, ChineseRowsSayBackAndCancelAlike) {
    EXPECT_STREQ(BackCaption[kSimplified], BackCaption[kTraditional]);
    EXPECT_STREQ(CancelCaption[kSimplified], CancelCaption[kTraditional]);
    EXPECT_STREQ("< &B\xE8\xBF\x94\xE5\x9B\x9E", BackCaption[kSimplified]);  // < &B返回
    EXPECT_STREQ("\xE5\x8F\x96\xE6\xB6\x88", CancelCaption[kSimplified]);    // 取消
    // Next and Finish differ between the two.
    EXPECT_STRNE(NextCaption[kSimplified], NextCaption[kTraditional]);
    EXPECT_STRNE(FinishCaption[kSimplified], FinishCaption[kTraditional]);
}

TEST_F(UILangTexts, PortableHelpPathIsFrenchOnlyForFrench) {
    for (int row = 0; row < kUILangCount; ++row) {
        EXPECT_STREQ(row == kFrench ? "/fr/help/portable.htm" : "/en/help/portable.htm",
                     PortableHelpPath[row])
            << row;
    }
}

TEST_F(UILangTexts, ChineseFinishedTextHasNoBlankBeforeTheVersion) {
    for (int row = 0; row < kUILangCount; ++row) {
        const std::string start =
            row == kSimplified || row == kTraditional ? "%s4.4.3.8%s" : "%s 4.4.3.8%s ";
        EXPECT_EQ(0u, std::string(FinishedText[row]).rfind(start, 0)) << row;
    }
}

TEST_F(UILangTexts, LookupFollowsTheCurrentLanguage) {
    for (int row = 0; row < kUILangCount; ++row) {
        CurrentUILang = row;
        for (const NamedText& t : AllTexts()) EXPECT_EQ((*t.table)[row], UIText(*t.table));
        for (int page = 0; page < kPageCount; ++page)
            EXPECT_EQ(PageTitles[row][page], PageTitle(page));
    }
    CurrentUILang = kFrench;
    EXPECT_STREQ("Merci de faire confiance \xC3\xA0 Tessaron", PageTitle(0));
    CurrentUILang = kEnglish;
    EXPECT_STREQ("Choose Destination Folder", PageTitle(2));
    EXPECT_STREQ("Installation Complete", PageTitle(5));
    CurrentUILang = kTraditional;
    EXPECT_STREQ("\xE5\xAE\x89\xE8\xA3\x9D\xE5\xAE\x8C\xE6\x88\x90", PageTitle(5));  // 安裝完成
}

TEST_F(UILangTexts, DecodingForDisplay) {
    EXPECT_EQ(u"Fran\u00E7ais", DecodeUIText(UILangs[kFrench].Name));
    EXPECT_EQ(u"\u6CF0\u8428\u9686\u6587\u5B57\u5904\u7406\u5668 - \u5B89\u88C5",
              DecodeUIText(SetupTitle[kSimplified]));
    const plat::Wide finished = DecodeUIText(std::string(FinishedText[kEnglish]));
    EXPECT_NE(plat::Wide::npos, finished.find(u".\r\rClick"));
    EXPECT_EQ(plat::Wide::npos, finished.find(u'\n'));
}

// ---- Formatting ----

TEST_F(UILangFormat, EnglishWelcomeAndFinished) {
    EXPECT_EQ("This program will install Tessaron Word Processor (version 4.4.3.8) on your computer.",
              FormatWelcomeText());
    EXPECT_EQ("Tessaron Word Processor 4.4.3.8 has been successfully installed on your "
              "computer.\r\rClick Finish to exit this Setup.",
              FormatFinishedText());
}

TEST_F(UILangFormat, ChineseFinishedText) {
    CurrentUILang = kSimplified;
    // 泰萨隆文字处理器4.4.3.8已成功安装在您的计算机上。\r\r单击“完成”退出此安装程序。
    EXPECT_EQ("\xE6\xB3\xB0\xE8\x90\xA8\xE9\x9A\x86\xE6\x96\x87\xE5\xAD\x97\xE5\xA4\x84\xE7\x90\x86"
              "\xE5\x99\xA8" "4.4.3.8\xE5\xB7\xB2\xE6\x88\x90\xE5\x8A\x9F\xE5\xAE\x89\xE8\xA3\x85"
              "\xE5\x9C\xA8\xE6\x82\xA8\xE7\x9A\x84\xE8\xAE\xA1\xE7\xAE\x97\xE6\x9C\xBA\xE4\xB8\x8A"
              "\xE3\x80\x82\r\r\xE5\x8D\x95\xE5\x87\xBB\xE2\x80\x9C\xE5\xAE\x8C\xE6\x88\x90\xE2\x80"
              "\x9D\xE9\x80\x80\xE5\x87\xBA\xE6\xAD\xA4\xE5\xAE\x89\xE8\xA3\x85\xE7\xA8\x8B\xE5\xBA"
              "\x8F\xE3\x80\x82",
              FormatFinishedText());
}

TEST_F(UILangFormat, EveryLanguageFillsProductNameAndDropsSecondPlaceholder) {
    for (int row = 0; row < kUILangCount; ++row) {
        CurrentUILang = row;
        const std::string name = ProductNameInText[row];
        const struct {
            const char* pattern;
            std::string formatted;
        } texts[] = {{WelcomeText[row], FormatWelcomeText()},
                     {FinishedText[row], FormatFinishedText()}};
        for (const auto& t : texts) {
            SCOPED_TRACE("row " + std::to_string(row) + ": " + t.formatted);
            const std::string pattern = t.pattern;
            EXPECT_EQ(1u, Count(t.formatted, "4.4.3.8"));
            EXPECT_EQ(std::string::npos, t.formatted.find('%'));
            EXPECT_EQ(pattern.find("%s"), t.formatted.find(name));
            EXPECT_EQ(pattern.size() - 4 + name.size(), t.formatted.size());
            // What followed the second placeholder now follows the version directly.
            const std::string after = pattern.substr(pattern.find("4.4.3.8%s") + 9, 3);
            EXPECT_NE(std::string::npos, t.formatted.find("4.4.3.8" + after));
        }
    }
}

TEST_F(UILangFormat, FormatTextInsertsArgumentsVerbatim) {
    EXPECT_EQ("a-x-b-y-c", FormatText("a-%s-b-%s-c", {"x", "y"}));
    // An argument is not formatted again, and a lone "%" in the pattern stays.
    EXPECT_EQ("file C:\\50%s\\%d.txt 100% done", FormatText("file %s 100% done", {"C:\\50%s\\%d.txt"}));
    EXPECT_EQ("50%", FormatText("50%%", {}));
    EXPECT_EQ("[][]", FormatText("[%s][%s]", {}));
    EXPECT_EQ("[a]", FormatText("[%s]", {"a", "b"}));

    CurrentUILang = kGerman;
    const std::string message = FormatText(UIText(CannotCreateFile), {"C:\\x\\tsd.exe"});
    EXPECT_EQ(0u, message.rfind("Die Datei \xE2\x80\x9E" "C:\\x\\tsd.exe\xE2\x80\x9C kann nicht", 0));
}

// ---- Message box ----

TEST_F(UILangMessageBox, CaptionIsTheSetupTitleOfTheCurrentLanguage) {
    for (int row = 0; row < kUILangCount; ++row) {
        CurrentUILang = row;
        ShowMessageBox(UIText(MustAgree), TMsgKind::Information, {TMsgButton::OK});
    }
    const auto& boxes = fake::ShownBoxes();
    ASSERT_EQ(6u, boxes.size());
    for (int row = 0; row < kUILangCount; ++row) {
        EXPECT_EQ(WideOfUtf8(SetupTitle[row]), boxes[row].caption) << row;
        EXPECT_EQ(WideOfUtf8(MustAgree[row]), boxes[row].text) << row;
    }
    EXPECT_EQ(u"Tessaron Word Processor - Setup", boxes[kEnglish].caption);
    EXPECT_EQ(u"Installation du traitement de texte Tessaron", boxes[kFrench].caption);
    EXPECT_EQ(u"\u6CF0\u85A9\u9686\u6587\u5B57\u8655\u7406\u5668 - \u5B89\u88DD",
              boxes[kTraditional].caption);
}

TEST_F(UILangMessageBox, CaptionFollowsALanguageChange) {
    fake::SetUserLCID(0x0807);
    SelectInitialUILang();
    ShowMessageBox("first", TMsgKind::Information, {TMsgButton::OK});
    CurrentUILang = kSpanish;  // as the language box does
    ShowMessageBox("second", TMsgKind::Information, {TMsgButton::OK});
    const auto& boxes = fake::ShownBoxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(u"Tessaron-Textverarbeitungsprogramm - Setup", boxes[0].caption);
    EXPECT_EQ(u"Procesador de textos Tessaron - Instalaci\u00F3n", boxes[1].caption);
}

TEST_F(UILangMessageBox, MessageIsDecodedAsGiven) {
    ShowMessageBox("Datei \xE2\x80\x9E" "C:\\\xC3\xBC.txt\xE2\x80\x9C\r\rweiter?",
                   TMsgKind::Error, {TMsgButton::OK});
    ASSERT_EQ(1u, fake::ShownBoxes().size());
    EXPECT_EQ(u"Datei \u201EC:\\\u00FC.txt\u201C\r\rweiter?", fake::ShownBoxes()[0].text);
}

TEST_F(UILangMessageBox, KindsGiveTheirIconTaskModal) {
    const struct {
        TMsgKind kind;
        uint32_t icon;
    } cases[] = {{TMsgKind::Warning, plat::kMbIconWarning},
                 {TMsgKind::Error, plat::kMbIconError},
                 {TMsgKind::Information, plat::kMbIconInformation},
                 {TMsgKind::Question, plat::kMbIconQuestion}};
    for (const auto& c : cases) ShowMessageBox("m", c.kind, {TMsgButton::OK});
    const auto& boxes = fake::ShownBoxes();
    ASSERT_EQ(4u, boxes.size());
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(plat::kMbTaskModal | cases[i].icon | plat::kMbOk, boxes[i].flags) << i;
}

TEST_F(UILangMessageBox, ButtonSetsGiveTheirLayout) {
    using B = TMsgButton;
    const struct {
        TMsgButtons set;
        uint32_t layout;
    } cases[] = {
        {{B::Yes, B::No}, plat::kMbYesNo},
        {{B::No, B::Yes}, plat::kMbYesNo},
        {{B::Yes, B::No, B::Cancel}, plat::kMbYesNoCancel},
        {{B::OK, B::Cancel}, plat::kMbOkCancel},
        {{B::Retry, B::Cancel}, plat::kMbRetryCancel},
        {{B::Abort, B::Retry, B::Ignore}, plat::kMbAbortRetryIgnore},
        {{B::Ignore, B::Abort, B::Retry}, plat::kMbAbortRetryIgnore},
        {{B::OK}, plat::kMbOk},
        // Any other set shows OK alone.
        {{}, plat::kMbOk},
        {{B::Yes}, plat::kMbOk},
        {{B::Cancel}, plat::kMbOk},
        {{B::Yes, B::Cancel}, plat::kMbOk},
        {{B::OK, B::Yes, B::No}, plat::kMbOk},
        {{B::Abort, B::Retry}, plat::kMbOk},
        {{B::Abort, B::Retry, B::Ignore, B::Cancel}, plat::kMbOk},
    };
    for (const auto& c : cases) ShowMessageBox("m", TMsgKind::Question, c.set);
    const auto& boxes = fake::ShownBoxes();
    ASSERT_EQ(sizeof cases / sizeof cases[0], boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i)
        EXPECT_EQ(plat::kMbTaskModal | plat::kMbIconQuestion | cases[i].layout, boxes[i].flags)
            << "case " << i;
}

TEST_F(UILangMessageBox, PressedButtonIsReturned) {
    using B = TMsgButton;
    fake::ScriptAnswers({plat::kIdYes, plat::kIdNo, plat::kIdCancel, plat::kIdAbort,
                         plat::kIdRetry, plat::kIdIgnore, plat::kIdOk});
    EXPECT_EQ(B::Yes, ShowMessageBox("q", TMsgKind::Question, {B::Yes, B::No, B::Cancel}));
    EXPECT_EQ(B::No, ShowMessageBox("q", TMsgKind::Question, {B::Yes, B::No, B::Cancel}));
    EXPECT_EQ(B::Cancel, ShowMessageBox("q", TMsgKind::Question, {B::Yes, B::No, B::Cancel}));
    EXPECT_EQ(B::Abort, ShowMessageBox("e", TMsgKind::Error, {B::Abort, B::Retry, B::Ignore}));
    EXPECT_EQ(B::Retry, ShowMessageBox("e", TMsgKind::Error, {B::Abort, B::Retry, B::Ignore}));
    EXPECT_EQ(B::Ignore, ShowMessageBox("e", TMsgKind::Error, {B::Abort, B::Retry, B::Ignore}));
    EXPECT_EQ(B::OK, ShowMessageBox("i", TMsgKind::Information, {B::OK, B::Cancel}));
    EXPECT_EQ(7u, fake::ShownBoxes().size());
}

TEST_F(UILangMessageBox, BoxThatCannotBeShownAnswersOK) {
    using B = TMsgButton;
    fake::ScriptAnswers({0});  // MessageBoxW failed
    EXPECT_EQ(B::OK, ShowMessageBox(UIText(QuitSetup), TMsgKind::Question, {B::Yes, B::No}));
    // With nothing scripted the fake answers as a box that could not be shown.
    EXPECT_EQ(B::OK,
              ShowMessageBox(UIText(CannotCreateFile), TMsgKind::Error,
                             {B::Abort, B::Retry, B::Ignore}));
}

}  // namespace
