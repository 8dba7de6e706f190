// "tsd.exe -ui" on the fake machine, after a real silent installation by the setup program: what
// goes, what stays (the user's files, and their folders), the refusals, and the outcome codes.
#include <cstring>

#include "standin/InstalledCopy.h"
#include "tests/host/RemovalMachine.h"

namespace {

using namespace removal_test;

TEST_F(Uninstalling, SilentRemovalLeavesTheMachineAsItWas) {
    Install();
    ASSERT_TRUE(fake::FileExistsAt(kDesktopLink) && fake::FileExistsAt(kProgramsLink));
    ASSERT_EQ(kUninstallRemoved, Remove(true));
    EXPECT_TRUE(fake::ShownBoxes().empty());
    EXPECT_TRUE(KeysGone());
    // The running program, its log and its folder are left to the copy that finishes.
    EXPECT_EQ((Names{u"Program Files\\Tessaron\\", u"Program Files\\Tessaron\\Install.log",
                     u"Program Files\\Tessaron\\tsd.exe"}),
              Added());
    EXPECT_EQ(Names{kMain + u"\\"}, finishFolders_);

    EXPECT_EQ(kUninstallRemoved, FinishUninstall(kMain));
    EXPECT_EQ(Names{}, Added());
    EXPECT_EQ(0, fake::OpenHandleCount());
    EXPECT_EQ(0, fake::OpenKeyCount());
}

TEST_F(Uninstalling, TheUsersOwnFilesStayWithTheirFolders) {
    Install();
    fake::PutFile(kMain + u"\\My notes.txt", "mine");
    fake::PutFile(kMain + u"\\Letters\\To Anna.rtf", "mine too");
    fake::PutFolder(kMain + u"\\Empty of mine");
    fake::PutFile(kCommon + u"\\Public\\Templates\\Letters\\My Letter.rtf", "my template");

    ASSERT_EQ(kUninstallRemoved, RemoveAll(true));
    EXPECT_EQ((Names{u"Program Files\\Tessaron\\", u"Program Files\\Tessaron\\Empty of mine\\",
                     u"Program Files\\Tessaron\\Letters\\",
                     u"Program Files\\Tessaron\\Letters\\To Anna.rtf",
                     u"Program Files\\Tessaron\\My notes.txt", u"ProgramData\\Tessaron\\",
                     u"ProgramData\\Tessaron\\Public\\", u"ProgramData\\Tessaron\\Public\\Templates\\",
                     u"ProgramData\\Tessaron\\Public\\Templates\\Letters\\",
                     u"ProgramData\\Tessaron\\Public\\Templates\\Letters\\My Letter.rtf"}),
              Added());
    EXPECT_EQ("mine", fake::FileBytes(kMain + u"\\My notes.txt"));
    EXPECT_EQ("my template",
              fake::FileBytes(kCommon + u"\\Public\\Templates\\Letters\\My Letter.rtf"));
    EXPECT_TRUE(KeysGone());
}

TEST_F(Uninstalling, OnlyWhatTheLogsListIsDeleted) {
    Install();
    // A folder that existed before the installation is not listed and stays when it is empty.
    fake::PutFolder(u"C:\\Users\\Public\\Empty");
    // The update log lies in a folder that every user can write to: a line naming a file outside
    // the data folder is not acted on.
    fake::PutFile(u"C:\\Users\\User\\Documents\\Thesis.doc", "years of work");
    std::string update = fake::FileBytes(kCommon + u"\\Update.log");
    fake::PutFile(kCommon + u"\\Update.log",
                  update + "C:\\Users\\User\\Documents\\Thesis.doc\t!\r\n"
                           "C:\\ProgramData\\Tessaron\\..\\..\\Users\\User\\Documents\\Thesis.doc\r\n");
    // A read-only installed file goes all the same.
    fake::SetAttributes(kMain + u"\\License.txt", plat::kFileAttributeReadOnly);

    // Lines it may not act on are named, and the removal does not say it removed everything.
    fake::ScriptAnswers({plat::kIdYes});
    ASSERT_EQ(kUninstallIncomplete, Remove(false));
    EXPECT_NE(plat::Wide::npos, LastBoxText().find(u"C:\\Users\\User\\Documents\\Thesis.doc"));
    EXPECT_NE(plat::Wide::npos, LastBoxText().find(u"C:\\ProgramData\\Tessaron\\..\\..\\Users"));
    ASSERT_EQ(kUninstallRemoved, FinishUninstall(kMain));
    EXPECT_EQ((Names{u"Users\\Public\\Empty\\", u"Users\\User\\Documents\\Thesis.doc"}), Added());
    EXPECT_EQ("years of work", fake::FileBytes(u"C:\\Users\\User\\Documents\\Thesis.doc"));
}

TEST_F(Uninstalling, AnInstallLogNamingPlacesElsewhereDeletesNothingThere) {
    Install();
    const Names outside = {u"C:\\Windows\\System32\\kernel32.dll", u"C:\\Users\\User\\Desktop\\Notes.lnk",
                           u"C:\\Users\\User\\Documents\\Tessaron Word Processor.lnk"};
    std::string lines;
    for (const plat::Wide& file : outside) {
        fake::PutFile(file, "not the installation's");
        lines += "File Copy: " + Utf8Of(file) + "\r\n";
    }
    fake::PutFolder(u"C:\\Users\\User\\Documents\\Empty");
    // Shell folders and folders elsewhere stay even when empty.
    lines += "Made Dir: C:\\Users\\User\\Documents\\Empty\\\r\nMade Dir: C:\\Program Files\\\r\n"
             "Made Dir: C:\\Users\\User\\Desktop\\\r\n";
    fake::PutFile(kMain + u"\\Install.log", fake::FileBytes(kMain + u"\\Install.log") + lines);

    fake::ScriptAnswers({plat::kIdYes});
    ASSERT_EQ(kUninstallIncomplete, Remove(false));
    for (const plat::Wide& file : {outside[0], outside[1]})
        EXPECT_NE(plat::Wide::npos, LastBoxText().find(file)) << "named: " << Utf8Of(file);
    ASSERT_EQ(kUninstallIncomplete, FinishUninstall(kMain)) << "the lines stay with the log";
    for (const plat::Wide& file : outside)
        EXPECT_EQ("not the installation's", fake::FileBytes(file)) << Utf8Of(file);
    EXPECT_TRUE(fake::FolderExistsAt(u"C:\\Users\\User\\Documents\\Empty"));
    EXPECT_TRUE(fake::FolderExistsAt(u"C:\\Program Files"));
    EXPECT_TRUE(fake::FolderExistsAt(u"C:\\Users\\User\\Desktop"));
    EXPECT_FALSE(fake::FileExistsAt(kProgramsLink)) << "the product's own shortcut goes";
    EXPECT_EQ(Names{u"Install.log"}, fake::ListTree(kMain)) << "the log stays to name what it lists";
}

TEST_F(Uninstalling, PathsThatWindowsWouldReadOtherwiseMakeTheLogDamaged) {
    Install();
    std::string log = fake::FileBytes(kMain + u"\\Install.log");
    for (const char* line : {"File Copy: C:\\Program Files\\Tessaron.\\tsd.exe",
                             "File Copy: C:\\Program Files\\Tessaron \\tsd.exe",
                             "File Copy: \\\\?\\C:\\Windows\\win.ini", "File Copy: \\\\.\\C:\\Windows\\win.ini",
                             "File Copy: C:/Windows/win.ini", "File Copy: C:\\Program Files\\Tessaron\\..\\x.exe",
                             "Made Dir: C:\\Program Files\\Tessaron\\.\\"}) {
        fake::PutFile(kMain + u"\\Install.log", log + line + "\r\n");
        EXPECT_EQ(kUninstallIncomplete, Remove(true)) << line;
        EXPECT_TRUE(fake::FileExistsAt(kProgram)) << line;
    }
}

// A REG_SZ value as text, without its terminating NUL; "<missing>" when there is none.
plat::Wide WideValue(plat::HKey root, const std::string& key, const std::string& name) {
    fake::RegValue value;
    if (!fake::RegValueAt(root, key, name, &value)) return u"<missing>";
    plat::Wide text;
    for (size_t i = 0; i + 1 < value.bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(value.bytes[i]) |
                                      static_cast<unsigned char>(value.bytes[i + 1]) << 8);
    while (!text.empty() && text.back() == 0) text.pop_back();
    return text;
}

// A folder typed as Windows would also read it (a doubled backslash, a trailing dot, forward
// slashes, blanks around it): the logs, the registry and the shortcut name the folder that was
// made, and the removal takes everything away again.
TEST_F(Uninstalling, ADestinationAsTypedIsRecordedAndRemovedUnderItsRealName) {
    const struct {
        plat::Wide argument, real;
    } cases[] = {{u"-DC:\\Apps4\\\\Tessaron", u"C:\\Apps4\\Tessaron"},
                 {u"-DC:\\Apps5\\Tessaron.", u"C:\\Apps5\\Tessaron"},
                 {u"-DC:/Apps6/Tessaron", u"C:\\Apps6\\Tessaron"},
                 {u"\"-D C:\\Apps7\\.\\Tessaron \"", u"C:\\Apps7\\Tessaron"},
                 {u"-DC:\\Apps8\\Tessaron\\", u"C:\\Apps8\\Tessaron"},
                 // The prefixes that turn Windows' reading off, and a short name.
                 {u"-D\\\\?\\C:\\Dev1\\Tessaron", u"C:\\Dev1\\Tessaron"},
                 {u"-D\\\\.\\C:\\Dev2\\Tessaron", u"C:\\Dev2\\Tessaron"},
                 {u"-D\\\\?\\c:\\Dev3\\..\\Dev3\\Tessaron", u"c:\\Dev3\\Tessaron"},
                 {u"-DC:\\PROGRA~1\\Tessaron", u"C:\\Program Files\\Tessaron"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8Of(c.argument));
        SetUp();
        fake::SetShortName(u"C:\\Program Files", u"PROGRA~1");
        Install(u"-S " + c.argument);
        EXPECT_EQ(c.real, MainDir);
        const plat::Wide program = c.real + u"\\tsd.exe";
        ASSERT_TRUE(fake::FileExistsAt(program));
        // Each line names a path exactly as Windows reads it.
        const std::string log = fake::FileBytes(c.real + u"\\Install.log");
        EXPECT_NE(std::string::npos, log.find("File Copy: " + Utf8Of(program) + "\r\n"));
        for (const std::string& line : SplitLogLines(log)) {
            plat::Wide path = WideOfUtf8(line.substr(line.find(": ") + 2));
            if (!path.empty() && path.back() == u'\\') path.pop_back();
            EXPECT_EQ(plat::GetFullPathNameW(path), path) << line;
        }
        EXPECT_EQ(c.real, WideValue(plat::kHKeyCurrentUser, kSavedChoicesKey, "MAINDIR"));
        EXPECT_EQ(u"\"" + program + u"\" -ui",
                  WideValue(plat::kHKeyLocalMachine, kUninstallKey, "UninstallString"));
        EXPECT_EQ(program, WideValue(plat::kHKeyLocalMachine, kUninstallKey, "DisplayIcon"));
        fake::LinkData link;
        for (const plat::Wide& shortcut : {kProgramsLink, kDesktopLink}) {
            ASSERT_TRUE(fake::LinkAt(shortcut, &link)) << Utf8Of(shortcut);
            EXPECT_EQ(program, link.target);
        }

        ASSERT_EQ(kUninstallRemoved, Remove(true, program));
        EXPECT_EQ(Names{c.real + u"\\"}, finishFolders_);
        EXPECT_EQ(kUninstallRemoved, FinishUninstall(c.real));
        EXPECT_EQ(Names{}, Added()) << "nothing is left";
    }
}

TEST_F(Uninstalling, TheApplicationsOwnSettingsKeyKeepsTheProductKey) {
    Install();
    plat::HKey key = 0;
    ASSERT_EQ(0, plat::RegCreateKeyExA(plat::kHKeyCurrentUser, std::string(kProductKey) + "\\Recent",
                                       plat::kKeyAllAccess, &key));
    plat::RegCloseKey(key);
    ASSERT_EQ(kUninstallRemoved, RemoveAll(true));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyCurrentUser, std::string(kProductKey) + "\\Recent"));
}

TEST_F(Uninstalling, WorksWhenStartedInsideTheInstallationFolder) {
    Install();
    ASSERT_TRUE(plat::SetCurrentDirectoryW(kMain));
    ASSERT_EQ(kUninstallRemoved, RemoveAll(true));
    EXPECT_EQ(Names{}, Added());
}

TEST_F(Uninstalling, InteractiveRunAsksInTheSavedLanguageAndReportsOnce) {
    fake::SetUserLCID(0x040C);  // French: saved as UILANG
    Install();
    fake::SetUserLCID(0x0409);
    fake::ScriptAnswers({plat::kIdYes});
    ASSERT_EQ(kUninstallRemoved, Remove(false));
    const auto& boxes = fake::ShownBoxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(DecodeUIText(UninstallConfirm[3]), boxes[0].text);
    EXPECT_EQ(DecodeUIText(ProductName[3]), boxes[0].caption);
    EXPECT_EQ(plat::kMbYesNo | plat::kMbIconQuestion | plat::kMbTaskModal, boxes[0].flags);
    EXPECT_EQ(DecodeUIText(UninstallDone[3]), boxes[1].text);
    EXPECT_EQ(plat::kMbOk | plat::kMbIconInformation | plat::kMbTaskModal, boxes[1].flags);
    EXPECT_TRUE(KeysGone());
}

TEST_F(Uninstalling, EveryLanguageHasEveryText) {
    for (const TUninstallText* text :
         {&UninstallConfirm, &UninstallDone, &UninstallPartly, &UninstallRunning, &UninstallPortable,
          &UninstallLogDamaged, &UninstallNotAll, &UninstallLinksLeft, &UninstallChangedKept,
          &UninstallOtherCopy}) {
        for (int row = 0; row < kUILangCount; ++row) {
            ASSERT_NE(nullptr, (*text)[row]);
            EXPECT_FALSE(DecodeUIText((*text)[row]).empty());
            // Every row has its own wording, not a copy of the English one.
            if (row != 1) {
                EXPECT_STRNE((*text)[1], (*text)[row]) << row;
            }
        }
    }
    auto places = [](const char* text) {
        size_t count = 0;
        for (const char* p = std::strstr(text, "%s"); p; p = std::strstr(p + 2, "%s")) ++count;
        return count;
    };
    for (int row = 0; row < kUILangCount; ++row) {
        EXPECT_EQ(1u, places(UninstallPartly[row])) << row;
        EXPECT_EQ(1u, places(UninstallLinksLeft[row])) << row;
        EXPECT_EQ(1u, places(UninstallChangedKept[row])) << row;
        EXPECT_EQ(2u, places(UninstallOtherCopy[row])) << row;
        EXPECT_EQ(0u, places(UninstallNotAll[row])) << row;
    }
}

TEST_F(Uninstalling, CancelAtTheQuestionRemovesNothing) {
    Install();
    Names installed = Added();
    for (int answer : {plat::kIdNo, plat::kIdCancel, 0}) {
        fake::ScriptAnswers({answer});
        size_t shown = fake::ShownBoxes().size();
        EXPECT_EQ(kUninstallRefused, Remove(false)) << answer;
        EXPECT_EQ(shown + 1, fake::ShownBoxes().size()) << "the question alone";
        EXPECT_EQ(installed, Added());
        EXPECT_TRUE(KeysPresent());
        EXPECT_TRUE(finishFolders_.empty());
    }
}

TEST_F(Uninstalling, RefusedWhileTheApplicationRuns) {
    Install();
    Names installed = Added();
    plat::WindowHandle app = fake::AddWindow();
    fake::SetWindowProp(app, kRunningMark, 1);

    EXPECT_EQ(kUninstallRefused, Remove(true));
    EXPECT_TRUE(fake::ShownBoxes().empty());
    EXPECT_EQ(kUninstallRefused, Remove(false));
    ASSERT_EQ(1u, fake::ShownBoxes().size()) << "no question first";
    EXPECT_EQ(DecodeUIText(UninstallRunning[1]), LastBoxText());
    EXPECT_EQ(installed, Added());
    EXPECT_TRUE(KeysPresent());

    // A window carrying the mark with the value 0 is no running application.
    fake::SetWindowProp(app, kRunningMark, 0);
    EXPECT_EQ(kUninstallRemoved, Remove(true));
}

TEST_F(Uninstalling, APortableCopyIsRemovedByDeletingItsFolder) {
    fake::PutFile(u"C:\\Portable\\Tessaron\\Tessaron.ini", "");
    Install(u"-S \"-DC:\\Portable\\Tessaron\"");
    // An install log beside the mark, left by something else, changes nothing.
    fake::PutFile(u"C:\\Portable\\Tessaron\\Install.log",
                  "File Copy: C:\\Portable\\Tessaron\\License.txt\r\n");
    Names installed = Added();
    for (bool silent : {true, false}) {
        EXPECT_EQ(kUninstallRefused, Remove(silent, u"C:\\Portable\\Tessaron\\tsd.exe"));
        EXPECT_EQ(installed, Added());
    }
    ASSERT_EQ(1u, fake::ShownBoxes().size());
    EXPECT_EQ(DecodeUIText(UninstallPortable[1]), LastBoxText());
}

TEST_F(Uninstalling, WithoutAnInstallLogOrAnEntryNamingTheFolderNothingIsRemoved) {
    Install();
    plat::DeleteFileW(kLog);
    plat::HKey key = 0;
    ASSERT_EQ(0, plat::RegOpenKeyExA(plat::kHKeyLocalMachine, kUninstallKey, plat::kKeyAllAccess, &key));
    const std::u16string elsewhere = u"C:\\Elsewhere";
    plat::RegSetValueExW(key, u"InstallLocation", plat::kRegSz,
                         reinterpret_cast<const uint8_t*>(elsewhere.c_str()),
                         static_cast<uint32_t>((elsewhere.size() + 1) * 2));
    plat::RegCloseKey(key);
    Names installed = Added();
    EXPECT_EQ(kUninstallRefused, Remove(false));
    EXPECT_EQ(DecodeUIText(UninstallPortable[1]), LastBoxText());
    EXPECT_EQ(installed, Added());
    EXPECT_TRUE(KeysPresent());
}

// The uninstall entry was written, the install log not (a run ended in between): the entry's
// copy is removed by what identifies it.
TEST_F(Uninstalling, WithoutAnInstallLogTheCopyTheEntryNamesIsRemovedAllTheSame) {
    Install();
    ASSERT_TRUE(plat::DeleteFileW(kLog));
    // A shortcut of the product's name that leads elsewhere is not this copy's.
    const plat::Wide foreign = kUserPrograms + kLinkName;
    {
        plat::ShellLink link;
        ASSERT_TRUE(link.Created() && link.HasPersistFile());
        link.SetPath(u"C:\\Other\\tsd.exe");
        ASSERT_EQ(0, link.Save(foreign));
    }
    ASSERT_EQ(kUninstallRemoved, Remove(true));
    EXPECT_TRUE(KeysGone());
    EXPECT_FALSE(fake::FileExistsAt(kProgramsLink));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon));
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\License.txt"));
    EXPECT_EQ(Names{kMain + u"\\"}, finishFolders_);
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(kMain));
    EXPECT_EQ(Names{u"Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\"
                    u"Tessaron Word Processor.lnk"},
              Added());
}

// Installed to C:\A, then again to C:\B: the entry, the saved choices, the shortcuts and the
// shared data are C:\B's, and the removal of C:\A leaves them.
TEST_F(Uninstalling, TheRemovalOfAnOldCopyTouchesOnlyItsOwnFiles) {
    Install(u"-S -DC:\\A");
    Install(u"-S -DC:\\B");
    const Names shared = fake::ListTree(kCommon);
    const std::string updateLog = fake::FileBytes(kCommon + u"\\Update.log");
    const Names b = fake::ListTree(u"C:\\B");
    fake::LinkData shortcut;
    ASSERT_TRUE(fake::LinkAt(kProgramsLink, &shortcut));
    ASSERT_EQ(u"C:\\B\\tsd.exe", shortcut.target);

    fake::ScriptAnswers({plat::kIdYes});
    ASSERT_EQ(kUninstallRemoved, Remove(false, u"C:\\A\\tsd.exe"));
    EXPECT_EQ(DecodeUIText(FormatText(UninstallOtherCopy[1], {"C:\\A", "C:\\B"})), LastBoxText());
    EXPECT_EQ(Names{u"C:\\A\\"}, finishFolders_);
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(u"C:\\A"));
    EXPECT_FALSE(fake::FolderExistsAt(u"C:\\A"));

    EXPECT_EQ(shared, fake::ListTree(kCommon));
    EXPECT_EQ(updateLog, fake::FileBytes(kCommon + u"\\Update.log"));
    EXPECT_EQ(b, fake::ListTree(u"C:\\B"));
    EXPECT_TRUE(KeysPresent());
    ASSERT_TRUE(fake::LinkAt(kProgramsLink, &shortcut));
    EXPECT_EQ(u"C:\\B\\tsd.exe", shortcut.target);

    // The listed copy then goes whole.
    ASSERT_EQ(kUninstallRemoved, Remove(true, u"C:\\B\\tsd.exe"));
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(u"C:\\B"));
    EXPECT_EQ(Names{}, Added());
}

// A shared file written after its installation is the user's; installed files carry the
// payload's stamps, also those that lie after the installation (the clean machine's clock is
// behind some of them), and go.
TEST_F(Uninstalling, ASharedFileTheUserChangedStaysWithItsFolder) {
    Install();
    const plat::FileTime later = plat::GetSystemTimeAsFileTime() + 36000000000ull + 5000000;  // 1 h 0.5 s
    fake::PutFile(kTemplate, "my own letter", later);
    fake::ScriptAnswers({plat::kIdYes});
    ASSERT_EQ(kUninstallRemoved, Remove(false));
    EXPECT_EQ(DecodeUIText(std::string(UninstallDone[1]) + "\r\r" +
                           FormatText(UninstallChangedKept[1], {Utf8Of(kTemplate)})),
              LastBoxText());
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(kMain));
    EXPECT_EQ("my own letter", fake::FileBytes(kTemplate));
    EXPECT_EQ((Names{u"ProgramData\\Tessaron\\", u"ProgramData\\Tessaron\\Public\\",
                     u"ProgramData\\Tessaron\\Public\\Templates\\",
                     u"ProgramData\\Tessaron\\Public\\Templates\\Letters\\",
                     u"ProgramData\\Tessaron\\Public\\Templates\\Letters\\Business Letter.rtf",
                     u"ProgramData\\Tessaron\\Update.log"}),
              Added());
    EXPECT_TRUE(KeysGone());
    // The update log stays while it lists a file that remains.
    EXPECT_NE(std::string::npos, fake::FileBytes(kCommon + u"\\Update.log").find("Business Letter.rtf"));
}

// After an upgrade the update log holds a group per run: each shared file is judged by the stamp
// of the run that placed it, not by the last installation's. An older version (installed
// 2025-01-10 09:00 local time) placed two files the new payload no longer carries; the user
// changed one of them in June, before the upgrade; the other still has its payload stamp, which
// lies after its run (the clock was behind the release's).
TEST_F(Uninstalling, AfterAnUpgradeEachSharedFileIsJudgedByItsOwnRun) {
    const plat::Wide oldLetter = kCommon + u"\\Public\\Templates\\Letters\\Old Letter.rtf";
    const plat::Wide oldClip = kCommon + u"\\Public\\Clip Library\\Miscellaneous\\Old clip.txt";
    auto at = [](int year, int month, int day, int hour, int milliseconds) {
        plat::FileTime time = 0;
        EXPECT_TRUE(plat::SystemTimeToFileTime(plat::SystemTimeOf(year, month, day, hour, 0, 0, milliseconds), &time));
        return time;
    };
    fake::PutFile(kCommon + u"\\Update.log",
                  "*000000006C4CE640\r\n"  // 2025-01-10 09:00:00 as the 8 bytes of its date
                  "C:\\ProgramData\\Tessaron\\Public\\Templates\\Letters\\Old Letter.rtf\t!\r\n"
                  "C:\\ProgramData\\Tessaron\\Public\\Clip Library\\Miscellaneous\\Old clip.txt\t!\r\n");
    fake::PutFile(oldLetter, "an older template", at(2025, 2, 1, 12, 0));
    fake::PutFile(oldClip, "changed by the user", at(2025, 6, 1, 8, 500));
    Install();  // the upgrade, on 2026-03-14: its own group follows the older one
    const std::string upgraded = fake::FileBytes(kCommon + u"\\Update.log");
    ASSERT_EQ(0u, upgraded.find("*000000006C4CE640\r\n")) << "the older run's group is kept";
    ASSERT_EQ(2u + 2u + 258u, SplitLogLines(upgraded).size()) << "two markers, two old lines, the new ones";

    ASSERT_EQ(kUninstallRemoved, RemoveAll(true));
    EXPECT_EQ("changed by the user", fake::FileBytes(oldClip)) << "changed after the run that placed it";
    EXPECT_FALSE(fake::FileExistsAt(oldLetter)) << "a payload stamp is not the user's change";
    EXPECT_FALSE(fake::FileExistsAt(kTemplate)) << "the upgrade's own files go";
    EXPECT_EQ(upgraded, fake::FileBytes(kCommon + u"\\Update.log")) << "it still lists a file that stays";
    EXPECT_TRUE(KeysGone());
}

TEST_F(Uninstalling, ADamagedInstallLogRemovesNothingAndSaysSo) {
    Install();
    const std::string good = fake::FileBytes(kLog);
    const std::vector<std::pair<const char*, std::string>> damages = {
        {"empty", ""},
        {"cut inside a prefix", good + "File Cop"},
        {"a line of another kind", "Copied: C:\\Program Files\\Tessaron\\License.txt\r\n" + good},
        {"a NUL byte", good.substr(0, 20) + std::string(1, '\0') + good.substr(20)},
        {"a relative path", good + "File Copy: License.txt\r\n"},
        {"a step up", good + "File Copy: C:\\Program Files\\Tessaron\\..\\..\\boot.ini\r\n"},
        {"a wildcard", good + "File Copy: C:\\Program Files\\Tessaron\\*\r\n"},
        {"folders only", "Made Dir: C:\\Program Files\\Tessaron\\\r\n"},
        {"one byte more than is read", good + std::string(kMaxReadableFileSize + 1 - good.size(), '\n')},
    };
    for (const auto& [what, bytes] : damages) {
        fake::PutFile(kLog, bytes);
        Names installed = Added();
        size_t shown = fake::ShownBoxes().size();
        EXPECT_EQ(kUninstallIncomplete, Remove(true)) << what;
        EXPECT_EQ(shown, fake::ShownBoxes().size()) << what;
        EXPECT_EQ(kUninstallIncomplete, Remove(false)) << what;
        EXPECT_EQ(DecodeUIText(UninstallLogDamaged[1]), LastBoxText()) << what;
        EXPECT_EQ(installed, Added()) << what;
        EXPECT_TRUE(KeysPresent()) << what;
        EXPECT_TRUE(finishFolders_.empty()) << what;
    }
    // One that cannot be read at all.
    fake::PutFile(kLog, good);
    fake::HoldOpen(kLog);
    EXPECT_EQ(kUninstallIncomplete, Remove(true));
    EXPECT_TRUE(KeysPresent());
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\License.txt"));
}

TEST_F(Uninstalling, AFileInUseStaysAndTheRestGoes) {
    Install();
    const plat::Wide license = kMain + u"\\License.txt";
    fake::HoldOpen(license);
    fake::ScriptAnswers({plat::kIdYes});
    ASSERT_EQ(kUninstallIncomplete, Remove(false));
    ASSERT_EQ(2u, fake::ShownBoxes().size());
    plat::Wide report = fake::ShownBoxes()[1].text;
    EXPECT_NE(plat::Wide::npos, report.find(license)) << "the report names what is left";
    EXPECT_EQ(plat::kMbOk | plat::kMbIconWarning | plat::kMbTaskModal,
              fake::ShownBoxes()[1].flags);
    EXPECT_TRUE(KeysGone());
    EXPECT_FALSE(fake::FileExistsAt(kProgramsLink));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon));

    // The copy finishes: the program goes, the log stays while a file it lists remains.
    EXPECT_EQ(Names{kMain + u"\\"}, finishFolders_);
    EXPECT_EQ(kUninstallIncomplete, FinishUninstall(kMain));
    EXPECT_EQ((Names{u"Program Files\\Tessaron\\", u"Program Files\\Tessaron\\Install.log",
                     u"Program Files\\Tessaron\\License.txt"}),
              Added());
    // Once the file is free, the log finishes the work.
    fake::HoldOpen(license, false);
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(kMain));
    EXPECT_EQ(Names{}, Added());
}

TEST_F(Uninstalling, ASharedFileInUseKeepsTheUpdateLog) {
    Install();
    fake::HoldOpen(kTemplate);
    ASSERT_EQ(kUninstallIncomplete, Remove(true));
    EXPECT_TRUE(fake::ShownBoxes().empty());
    EXPECT_TRUE(fake::FileExistsAt(kTemplate));
    EXPECT_TRUE(fake::FileExistsAt(kCommon + u"\\Update.log")) << "it still lists the template";
    EXPECT_FALSE(fake::FileExistsAt(kCommon + u"\\tsd_common.dat"));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon + u"\\Hidden"));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon + u"\\Public\\Clip Library"));
    EXPECT_TRUE(KeysGone());
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(kMain));
    EXPECT_FALSE(fake::FolderExistsAt(kMain));
}

TEST_F(Uninstalling, AnUpdateLogTooLargeToReadIsTreatedAsOneThatCannotBeRead) {
    const plat::Wide updateLog = kCommon + u"\\Update.log";
    std::vector<Names> left;
    for (const char* how : {"held open", "one byte too large", "at the bound"}) {
        ASSERT_TRUE(StartFreshProcessWithRealPayload());
        before_ = fake::ListTree(u"C:\\");
        Install();
        std::string good = fake::FileBytes(updateLog);
        if (how[0] == 'h') {
            fake::HoldOpen(updateLog);
        } else {
            uint32_t size = kMaxReadableFileSize + (how[0] == 'o' ? 1 : 0);
            fake::PutFile(updateLog, good + std::string(size - good.size(), '\n'));
        }
        if (how[0] == 'a') {
            EXPECT_EQ(kUninstallRemoved, RemoveAll(true)) << how;
            EXPECT_EQ(Names{}, Added()) << how;
            continue;
        }
        EXPECT_EQ(kUninstallIncomplete, Remove(true)) << how;
        EXPECT_TRUE(fake::FileExistsAt(kTemplate)) << how << ": nothing the log lists goes";
        EXPECT_TRUE(fake::FileExistsAt(updateLog)) << how;
        EXPECT_FALSE(fake::FileExistsAt(kCommon + u"\\tsd_common.dat")) << how;
        EXPECT_TRUE(KeysGone()) << how;
        fake::HoldOpen(updateLog, false);
        left.push_back(Added());
    }
    EXPECT_EQ(left[0], left[1]);
}

TEST_F(Uninstalling, ARegistryKeyThatCannotBeDeletedIsReported) {
    Install();
    fake::DenyRegistryKey(plat::kHKeyLocalMachine, kUninstallKey);
    fake::ScriptAnswers({plat::kIdYes});
    ASSERT_EQ(kUninstallIncomplete, Remove(false));
    EXPECT_NE(plat::Wide::npos, LastBoxText().find(u"HKEY_LOCAL_MACHINE\\" +
                                                   WideOfUtf8(kUninstallKey)));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\License.txt"));
}

TEST_F(Uninstalling, WhenNoCopyCanFinishTheProgramIsReportedLeft) {
    Install();
    fake::ScriptAnswers({plat::kIdYes});
    ASSERT_EQ(kUninstallIncomplete, Remove(false, kProgram, false));
    EXPECT_NE(plat::Wide::npos, LastBoxText().find(kProgram));
    EXPECT_TRUE(fake::FileExistsAt(kProgram));
    EXPECT_TRUE(fake::FileExistsAt(kLog)) << "it still lists the program";
    EXPECT_TRUE(KeysGone());
}

TEST_F(Uninstalling, TheFinishingStepTouchesNothingUnlisted) {
    // A folder whose log is damaged, or that has none.
    fake::PutFile(u"C:\\Other\\Install.log", "garbage\r\n");
    fake::PutFile(u"C:\\Other\\data.txt", "data");
    EXPECT_EQ(kUninstallIncomplete, FinishUninstall(u"C:\\Other"));
    EXPECT_TRUE(fake::FileExistsAt(u"C:\\Other\\Install.log"));
    plat::DeleteFileW(u"C:\\Other\\Install.log");
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(u"C:\\Other"));
    EXPECT_EQ("data", fake::FileBytes(u"C:\\Other\\data.txt"));
}

TEST(InstallRecord, ReadsBothKindsOfLineAndDrivesThatWereMissing) {
    StartFreshProcess();
    fake::PutFile(u"C:\\T\\Install.log",
                  "Made Dir: X:\r\nMade Dir: X:\\\r\nMade Dir: X:\\a\\\r\n\r\n"
                  "File Copy: X:\\a\\tsd.exe\nFile Copy: \\\\server\\share\\b.txt\r");
    TInstallRecord record;
    ASSERT_EQ(TLogState::Read, ReadInstallRecord(u"C:\\T\\Install.log", &record));
    EXPECT_EQ((Names{u"X:", u"X:\\", u"X:\\a\\"}), record.Folders);
    EXPECT_EQ((Names{u"X:\\a\\tsd.exe", u"\\\\server\\share\\b.txt"}), record.Files);
    EXPECT_EQ(TLogState::Missing, ReadInstallRecord(u"C:\\T\\None.log", &record));
    EXPECT_TRUE(record.Files.empty());
}

}  // namespace

namespace {

TEST(FinishingCopy, LeavesItsFilesToTheNextStartOnlyWhereNoOtherUserWrites) {
    fake::Reset();
    plat::ResolveSHGetFolderPathW();
    const struct {
        const char16_t* folder;
        bool mayDelete;
    } cases[] = {{u"C:\\Program Files\\Tessaron\\", true},
                 {u"C:\\program files\\Tessaron\\Deeper\\", true},
                 {u"C:\\Program Files\\", false},
                 {u"C:\\Program Files Other\\Tessaron\\", false},
                 {u"C:\\Tools\\Tessaron\\", false},
                 {u"C:\\ProgramData\\Tessaron\\", false},
                 {u"D:\\Tessaron\\", false}};
    for (const auto& c : cases) EXPECT_EQ(c.mayDelete, MayDeleteAtRestart(c.folder)) << Utf8Of(c.folder);
    // Either program files folder's CSIDL names it on a 32-bit Windows.
    fake::SetSpecialFolder(plat::kCsidlProgramFiles, u"");
    EXPECT_TRUE(MayDeleteAtRestart(u"C:\\Program Files\\Tessaron\\")) << "known as the 32-bit one";
    fake::SetSpecialFolder(plat::kCsidlProgramFilesX86, u"");
    EXPECT_FALSE(MayDeleteAtRestart(u"C:\\Program Files\\Tessaron\\")) << "no program files folder known";
    // A 32-bit program on 64-bit Windows: inside the native folder too.
    fake::Reset();
    plat::ResolveSHGetFolderPathW();
    fake::SetWindowsView(fake::WindowsView::Wow64);
    EXPECT_TRUE(MayDeleteAtRestart(u"C:\\Program Files\\Tessaron\\"));
    EXPECT_TRUE(MayDeleteAtRestart(u"C:\\Program Files (x86)\\Tessaron\\"));
    EXPECT_FALSE(MayDeleteAtRestart(u"C:\\Tools\\Tessaron\\"));
}

}  // namespace
