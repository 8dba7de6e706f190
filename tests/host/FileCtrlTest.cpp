// The folder list and the drive selector of the destination page on the fake machine: the lines
// and items they show, how they move each other, and where their items are painted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "tests/host/TestMachine.h"
#include "wizard/FileCtrl.h"

namespace {

using Lines = std::vector<plat::Wide>;

const plat::Wide kTessaron = u"C:\\Program Files\\Tessaron";

// Counts the change events of a control.
struct Changes {
    int count = 0;
    TNotifyEvent Handler() {
        return [this](TObject*) { ++count; };
    }
};

// Stands in for a native window: it exists, and it hears what changed.
struct RecordingPeer : TControlPeer {
    std::vector<TChange> changes;
    void Changed(TChange what) override { changes.push_back(what); }
    void Focus() override {}
    int Count(TChange what) const {
        return static_cast<int>(std::count(changes.begin(), changes.end(), what));
    }
};

fake::DriveInfo Drive(uint32_t type, const plat::Wide& label = u"") {
    fake::DriveInfo d;
    d.type = type;
    d.label = label;
    return d;
}

Lines LineTexts(const TDirectoryListBox& list) {
    Lines texts;
    for (int i = 0; i < list.Count(); ++i) texts.push_back(list.LineText(i));
    return texts;
}

int ItemOf(const TItemList& list, const plat::Wide& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items()[static_cast<size_t>(i)] == text) return i;
    return -1;
}

// A list linked to a selector, as on the destination page.
struct LinkedPair {
    std::unique_ptr<TDirectoryListBox> list = std::make_unique<TDirectoryListBox>();
    std::unique_ptr<TDriveComboBox> combo = std::make_unique<TDriveComboBox>();
    Changes listChanges, comboChanges;
    LinkedPair() {
        combo->SetDirList(list.get());
        list->OnChange = listChanges.Handler();
        combo->OnChange = comboChanges.Handler();
    }
};

class FileCtrlFolderList : public ::testing::Test {
protected:
    void SetUp() override { StartFreshProcess(); }
};

TEST_F(FileCtrlFolderList, ShowsPathLevelsThenSubFoldersInCaseInsensitiveOrder) {
    for (const char16_t* name : {u"zeta", u"Beta", u"_Tools", u"alpha"})
        fake::PutFolder(kTessaron + u"\\" + name);
    TDirectoryListBox list;
    list.OpenFolder(kTessaron);

    EXPECT_EQ(kTessaron, list.Folder()) << "an existing folder is taken as passed in";
    // Symbols before letters, letter case ignored: neither the file system's nor a plain
    // character order.
    EXPECT_EQ((Lines{u"C:\\", u"C:\\Program Files", kTessaron, kTessaron + u"\\_Tools",
                     kTessaron + u"\\alpha", kTessaron + u"\\Beta", kTessaron + u"\\zeta"}),
              list.Items());
    EXPECT_EQ((Lines{u"C:", u"Program Files", u"Tessaron", u"_Tools", u"alpha", u"Beta", u"zeta"}),
              LineTexts(list));
    std::vector<int> indents;
    for (int i = 0; i < list.Count(); ++i) indents.push_back(list.LineIndent(i));
    EXPECT_EQ((std::vector<int>{3, 15, 27, 39, 39, 39, 39}), indents);
    EXPECT_FALSE(list.IsSubFolderLine(2));
    EXPECT_TRUE(list.IsSubFolderLine(3));
    EXPECT_TRUE(list.CasePreserving);
    EXPECT_FALSE(list.CaseSensitive);

    EXPECT_EQ(-1, list.ItemIndex()) << "without a window nothing is selected yet";
    list.WindowCreated();
    EXPECT_EQ(7, list.Count());
    EXPECT_EQ(2, list.ItemIndex()) << "the Tessaron line";
}

TEST_F(FileCtrlFolderList, AMoveWithAWindowSelectsTheCurrentLineAndRepaintsOnce) {
    fake::PutFolder(kTessaron + u"\\Docs");
    TDirectoryListBox list;
    RecordingPeer peer;
    list.Peer = &peer;
    list.OpenFolder(kTessaron);
    EXPECT_EQ(2, list.ItemIndex());
    EXPECT_EQ(1, peer.Count(TChange::Items)) << "the lines reach the window in one change";
    list.Peer = nullptr;
}

TEST_F(FileCtrlFolderList, LeavesOutHiddenAndSystemFoldersAndFiles) {
    const plat::Wide work = u"C:\\Work";
    fake::PutFolder(work + u"\\Visible");
    fake::PutFolder(work + u"\\Hidden");
    fake::SetAttributes(work + u"\\Hidden", plat::kFileAttributeDirectory | plat::kFileAttributeHidden);
    fake::PutFolder(work + u"\\System");
    fake::SetAttributes(work + u"\\System", plat::kFileAttributeDirectory | plat::kFileAttributeSystem);
    fake::PutFile(work + u"\\notes.txt", "x");
    TDirectoryListBox list;
    list.OpenFolder(work);
    EXPECT_EQ((Lines{u"C:\\", work, work + u"\\Visible"}), list.Items());
}

TEST_F(FileCtrlFolderList, AMissingFolderFallsBackToItsNearestExistingParent) {
    fake::PutFolder(u"C:\\Program Files\\Other");
    TDirectoryListBox list;
    list.OpenFolder(kTessaron);
    EXPECT_EQ(u"C:\\Program Files\\", list.Folder());
    EXPECT_EQ((Lines{u"C:\\", u"C:\\Program Files", u"C:\\Program Files\\Other"}), list.Items());
    EXPECT_EQ(27, list.LineIndent(2)) << "one level below Program Files";
    list.WindowCreated();
    EXPECT_EQ(1, list.ItemIndex());

    list.OpenFolder(u"C:\\Users\\Nobody\\Deeper\\Still\\");
    EXPECT_EQ(u"C:\\Users\\", list.Folder());

    fake::AddDrive('D', Drive(plat::kDriveFixed));
    list.OpenFolder(u"D:\\Gone\\Away");
    EXPECT_EQ(u"D:\\", list.Folder()) << "down to the root";
    EXPECT_EQ((Lines{u"D:\\"}), list.Items());
}

TEST_F(FileCtrlFolderList, ARelativePathWithNothingExistingChangesNothing) {
    TDirectoryListBox list;
    Changes changes;
    list.OnChange = changes.Handler();
    list.OpenFolder(u"C:\\Users");
    list.OpenFolder(u"Nowhere\\Sub");
    EXPECT_EQ(u"C:\\Users", list.Folder());
    EXPECT_EQ(1, changes.count);
}

TEST_F(FileCtrlFolderList, ATextThatIsItsOwnParentEndsTheSearchWithoutAMove) {
    TDirectoryListBox list;
    Changes changes;
    list.OnChange = changes.Handler();
    list.OpenFolder(u"C:\\Users");
    for (plat::Wide text : {u"Nowhere\\\\Sub", u" C:\\Gone\\Sub", u"Gone\\\\\\x"}) {
        list.OpenFolder(text);
        EXPECT_EQ(u"C:\\Users", list.Folder());
    }
    EXPECT_EQ(1, changes.count);
}

TEST_F(FileCtrlFolderList, OpeningTheCurrentFolderAgainIsNoMoveUnlessCaseCounts) {
    TDirectoryListBox list;
    Changes changes;
    list.OnChange = changes.Handler();
    list.OpenFolder(u"C:\\Users\\User");
    list.OpenFolder(u"c:\\users\\USER");
    list.OpenFolder(u"");
    EXPECT_EQ(1, changes.count);
    EXPECT_EQ(u"C:\\Users\\User", list.Folder());

    fake::Drive('C')->fsFlags = plat::kFsCaseSensitive | plat::kFsCasePreservedNames;
    list.OpenFolder(u"C:\\Users");
    EXPECT_TRUE(list.CaseSensitive);
    list.OpenFolder(u"C:\\USERS");
    EXPECT_EQ(3, changes.count) << "on a case-sensitive volume another case is another folder";
    EXPECT_EQ(u"C:\\USERS", list.Folder());
}

TEST_F(FileCtrlFolderList, SelectingALineOpensItsFolderAtOnce) {
    fake::PutFolder(kTessaron + u"\\Docs");
    fake::PutFolder(kTessaron + u"\\Templates");
    TDirectoryListBox list;
    Changes changes;
    list.OnChange = changes.Handler();
    list.OpenFolder(kTessaron);
    list.WindowCreated();
    changes.count = 0;

    list.UserSelected(2);
    EXPECT_EQ(0, changes.count) << "the current folder's own line";

    list.UserSelected(3);  // one step down from the current line
    EXPECT_EQ(kTessaron + u"\\Docs", list.Folder());
    EXPECT_EQ(1, changes.count);

    list.WindowCreated();
    list.UserSelected(1);
    EXPECT_EQ(u"C:\\Program Files", list.Folder()) << "the line's path, unchanged";

    list.WindowCreated();
    list.UserSelected(0);
    EXPECT_EQ(u"C:\\", list.Folder());
    EXPECT_EQ(3, changes.count);
    EXPECT_EQ(u"C:", list.LineText(0));
}

TEST_F(FileCtrlFolderList, NamesOutsideAsciiStayUnchanged) {
    const plat::Wide cafe = u"C:\\Work\\Café";
    fake::PutFolder(cafe + u"\\Документы\\文档");
    fake::PutFolder(cafe + u"\\Ελληνικά");
    TDirectoryListBox list;
    list.OpenFolder(cafe);
    list.WindowCreated();
    int line = ItemOf(list, cafe + u"\\Документы");
    ASSERT_GE(line, 3);
    list.UserSelected(line);

    EXPECT_EQ(cafe + u"\\Документы", list.Folder());
    EXPECT_EQ((Lines{u"C:", u"Work", u"Café", u"Документы", u"文档"}), LineTexts(list));
}

TEST_F(FileCtrlFolderList, AVolumeWithoutLetterCaseShowsEveryLineInLowerCase) {
    fake::DriveInfo fat = Drive(plat::kDriveRemovable);
    fat.fileSystem = u"FAT";
    fat.fsFlags = 0;
    fake::AddDrive('D', fat);
    fake::PutFolder(u"D:\\Data\\Reports\\Q1");
    TDirectoryListBox list;
    list.OpenFolder(u"D:\\Data\\Reports");
    EXPECT_FALSE(list.CasePreserving);
    EXPECT_EQ((Lines{u"d:", u"data", u"reports", u"q1"}), LineTexts(list));
    EXPECT_EQ(u"D:\\Data\\Reports", list.Items()[2]) << "the paths keep their case";

    fake::DriveInfo sensitive = Drive(plat::kDriveFixed);
    sensitive.fsFlags = plat::kFsCaseSensitive;  // distinguishes case without claiming to keep it
    fake::AddDrive('E', sensitive);
    fake::PutFolder(u"E:\\Data");
    list.OpenFolder(u"E:\\Data");
    EXPECT_TRUE(list.CasePreserving);
    EXPECT_TRUE(list.CaseSensitive);
    EXPECT_EQ((Lines{u"E:", u"Data"}), LineTexts(list));
}

// The fake's file systems ignore case, so names that differ only in case are put in order here
// directly, as the listing does.
TEST_F(FileCtrlFolderList, NamesEqualButForCaseStandNextToEachOtherTheLaterFirst) {
    Lines names;
    for (const char16_t* name : {u"alpha", u"Docs", u"zeta", u"docs", u"DOCS"}) InsertFolderName(names, name);
    EXPECT_EQ((Lines{u"alpha", u"DOCS", u"docs", u"Docs", u"zeta"}), names);

    // String sort: hyphens and apostrophes are ordinary symbols, ahead of the letters.
    Lines marked;
    for (const char16_t* name : {u"ab", u"its", u"a-c", u"it's"}) InsertFolderName(marked, name);
    EXPECT_EQ((Lines{u"a-c", u"ab", u"it's", u"its"}), marked);
}

class FileCtrlDriveSelector : public ::testing::Test {
protected:
    void SetUp() override { StartFreshProcess(); }
};

TEST_F(FileCtrlDriveSelector, ListsDrivesFromCWithLabelsAndPictures) {
    fake::AddDrive('A', Drive(plat::kDriveRemovable));
    fake::AddDrive('B', Drive(plat::kDriveRemovable));
    fake::AddDrive('D', Drive(plat::kDriveCdrom, u"DVD"));
    fake::AddDrive('E', Drive(plat::kDriveFixed, u"Data"));
    fake::DriveInfo stick = Drive(plat::kDriveFixed, u"BACKUP");
    stick.busType = plat::kBusTypeUsb;
    fake::AddDrive('F', stick);
    fake::DriveInfo reader = Drive(plat::kDriveRemovable);
    reader.mediumPresent = false;
    fake::AddDrive('G', reader);
    fake::AddDrive('H', Drive(plat::kDriveRamdisk, u"Ram"));
    fake::DriveInfo share = Drive(plat::kDriveRemote, u"Share label");
    share.networkName = u"\\\\Server\\Share";
    fake::AddDrive('Z', share);

    TDriveComboBox combo;
    combo.FillDrives();
    EXPECT_EQ((Lines{u"c: ", u"e: [data]", u"f: [backup]", u"g: ", u"h: [ram]", u"z: \\\\server\\share"}),
              combo.Items());
    std::vector<bool> removable;
    for (int i = 0; i < combo.Count(); ++i) removable.push_back(combo.IsRemovableItem(i));
    EXPECT_EQ((std::vector<bool>{false, false, true, true, false, false}), removable);
    EXPECT_EQ(plat::GetLogicalDrives(), combo.DriveMask());
    EXPECT_EQ(-1, combo.ItemIndex());
    EXPECT_EQ(0u, fake::ErrorMode()) << "the empty card reader asked for no disk and left it so";

    fake::RemoveDrive('F');
    combo.SetItemIndex(1);
    combo.FillDrives();
    EXPECT_EQ(-1, combo.ItemIndex()) << "a rebuilt list has nothing selected";
    EXPECT_EQ(5, combo.Count());
    EXPECT_EQ(plat::GetLogicalDrives(), combo.DriveMask());
}

TEST_F(FileCtrlDriveSelector, TheProgramFilesDriveOpensTheProductFolderOrProgramFiles) {
    fake::AddDrive('D', Drive(plat::kDriveFixed));
    fake::PutFolder(u"D:\\Work");
    LinkedPair pair;
    pair.combo->FillDrives();
    pair.list->OpenFolder(u"D:\\Work");
    ASSERT_EQ(u'd', pair.combo->DriveLetter());
    pair.listChanges.count = 0;

    pair.combo->ChooseDrive(u'c');
    EXPECT_EQ(u"C:\\Program Files\\", pair.list->Folder());
    EXPECT_EQ(1, pair.listChanges.count);
    EXPECT_EQ((Lines{u"C:\\", u"C:\\Program Files"}), pair.list->Items());

    fake::PutFolder(kTessaron);
    pair.combo->ChooseDrive(u'D');
    EXPECT_EQ(u"d:\\", pair.list->Folder()) << "no Program Files on D:";
    pair.combo->ChooseDrive(u'C');
    EXPECT_EQ(kTessaron, pair.list->Folder());
    EXPECT_EQ(u'c', pair.combo->DriveLetter()) << "kept in lower case";
    EXPECT_EQ(0, pair.combo->ItemIndex());
}

TEST_F(FileCtrlDriveSelector, AnotherDriveKeepsThePathWhereItExistsElseItsRoot) {
    for (char letter : {'D', 'E', 'F'}) fake::AddDrive(letter, Drive(plat::kDriveFixed));
    fake::PutFolder(u"D:\\Work\\Docs");
    fake::PutFolder(u"E:\\Work\\Docs\\Old");
    LinkedPair pair;
    pair.combo->FillDrives();
    pair.list->OpenFolder(u"D:\\Work\\Docs");

    pair.combo->ChooseDrive(u'e');
    EXPECT_EQ(u"e:\\Work\\Docs", pair.list->Folder());
    EXPECT_EQ((Lines{u"e:\\", u"e:\\Work", u"e:\\Work\\Docs", u"e:\\Work\\Docs\\Old"}), pair.list->Items());
    EXPECT_EQ(u"e: ", pair.combo->Items()[static_cast<size_t>(pair.combo->ItemIndex())]);

    pair.combo->ChooseDrive(u'f');
    EXPECT_EQ(u"f:\\", pair.list->Folder());
    EXPECT_EQ(3, pair.listChanges.count) << "one for the opening, one for each move";
    EXPECT_EQ(3, pair.comboChanges.count);
}

TEST_F(FileCtrlDriveSelector, ChoosingTheCurrentDriveAgainChangesNothing) {
    fake::AddDrive('E', Drive(plat::kDriveFixed));
    LinkedPair pair;
    pair.list->OpenFolder(u"C:\\Users");
    pair.combo->WindowCreated();
    ASSERT_EQ(0, pair.combo->ItemIndex());
    pair.combo->SetItemIndex(1);  // shows e: while the current drive is still c:
    pair.listChanges.count = pair.comboChanges.count = 0;

    pair.combo->ChooseDrive(u'C');
    EXPECT_EQ(1, pair.combo->ItemIndex());
    EXPECT_EQ(u"C:\\Users", pair.list->Folder());
    EXPECT_EQ(0, pair.listChanges.count);
    EXPECT_EQ(0, pair.comboChanges.count);

    // With nothing selected the same letter is chosen anew.
    pair.combo->FillDrives();
    pair.combo->ChooseDrive(u'c');
    EXPECT_EQ(0, pair.combo->ItemIndex());
    EXPECT_EQ(1, pair.comboChanges.count);
    EXPECT_EQ(u"C:\\Users", pair.list->Folder()) << "the list is on that drive already";
}

TEST_F(FileCtrlDriveSelector, ADriveItDoesNotListStillMovesTheFolderList) {
    fake::AddDrive('D', Drive(plat::kDriveCdrom, u"DVD"));
    LinkedPair pair;
    pair.list->OpenFolder(u"C:\\Users");
    pair.combo->WindowCreated();
    pair.combo->ChooseDrive(u'd');
    EXPECT_EQ(u'd', pair.combo->DriveLetter());
    EXPECT_EQ(0, pair.combo->ItemIndex()) << "c: stays selected";
    EXPECT_EQ(u"d:\\", pair.list->Folder());
}

TEST_F(FileCtrlDriveSelector, AUsersSelectionChoosesThatItemsDrive) {
    fake::AddDrive('E', Drive(plat::kDriveFixed, u"Data"));
    LinkedPair pair;
    pair.list->OpenFolder(u"C:\\Users");
    pair.combo->WindowCreated();
    pair.listChanges.count = pair.comboChanges.count = 0;

    pair.combo->UserSelected(1);
    EXPECT_EQ(u'e', pair.combo->DriveLetter());
    EXPECT_EQ(u"e:\\", pair.list->Folder());
    EXPECT_EQ(1, pair.listChanges.count);
    EXPECT_EQ(1, pair.comboChanges.count);

    pair.combo->UserSelected(-1);
    EXPECT_EQ(u'e', pair.combo->DriveLetter());
    EXPECT_EQ(1, pair.comboChanges.count);
}

TEST_F(FileCtrlDriveSelector, OpeningAFolderOnAnotherDriveMovesTheSelectorOnce) {
    fake::AddDrive('E', Drive(plat::kDriveFixed));
    fake::PutFolder(u"E:\\Data\\Sub");
    LinkedPair pair;
    pair.combo->FillDrives();
    pair.list->OpenFolder(u"C:\\Users");
    pair.listChanges.count = pair.comboChanges.count = 0;
    bool changingSeen = false;
    pair.combo->OnChange = [&](TObject*) {
        changingSeen = pair.list->Changing;
        ++pair.comboChanges.count;
    };

    pair.list->OpenFolder(u"E:\\Data");
    EXPECT_EQ(u"E:\\Data", pair.list->Folder()) << "not moved by the selector to e:\\";
    EXPECT_EQ(u'e', pair.combo->DriveLetter());
    EXPECT_EQ(1, pair.combo->ItemIndex());
    EXPECT_TRUE(changingSeen);
    EXPECT_FALSE(pair.list->Changing);
    EXPECT_EQ(1, pair.listChanges.count);
    EXPECT_EQ(1, pair.comboChanges.count);

    pair.list->OpenFolder(u"E:\\Data\\Sub");
    EXPECT_EQ(1, pair.comboChanges.count) << "same drive: the selector is left alone";
}

TEST_F(FileCtrlDriveSelector, WindowCreationFillsAndSelectsWithoutMovingTheList) {
    fake::AddDrive('E', Drive(plat::kDriveFixed));
    fake::PutFolder(u"E:\\Data");
    LinkedPair pair;
    pair.list->OpenFolder(u"E:\\Data");
    EXPECT_EQ(0, pair.combo->Count()) << "no window, no list of drives yet";
    pair.listChanges.count = 0;

    pair.combo->WindowCreated();
    pair.list->WindowCreated();
    EXPECT_EQ(2, pair.combo->Count());
    EXPECT_EQ(1, pair.combo->ItemIndex());
    EXPECT_EQ(u"E:\\Data", pair.list->Folder());
    EXPECT_EQ(1, pair.list->ItemIndex());
    EXPECT_EQ(0, pair.listChanges.count);
}

TEST_F(FileCtrlDriveSelector, WindowCreationBeforeAnyFolderLeavesTheListAlone) {
    LinkedPair pair;
    pair.combo->WindowCreated();
    EXPECT_EQ(-1, pair.combo->ItemIndex());
    EXPECT_EQ(plat::Wide(1, u'\0'), pair.list->Folder());
    EXPECT_EQ(0, pair.listChanges.count);
}

TEST_F(FileCtrlDriveSelector, TheFormDescriptionLinksTheListByName) {
    RegisterControlClass("TDirectoryListBox", NewControl<TDirectoryListBox>);
    RegisterControlClass("TDriveComboBox", NewControl<TDriveComboBox>);
    TForm form;
    std::string error;
    // The selector comes first: the link is made once the whole form is there.
    ASSERT_TRUE(LoadFormDescription(form,
                                    "TForm F\n"
                                    "  TDriveComboBox Cmb dirlist=Lst\n"
                                    "  TDirectoryListBox Lst\n"
                                    "  TDirectoryListBox Other\n",
                                    &error))
        << error;
    auto* combo = form.Find<TDriveComboBox>("Cmb");
    auto* list = form.Find<TDirectoryListBox>("Lst");
    auto* other = form.Find<TDirectoryListBox>("Other");
    ASSERT_TRUE(combo && list && other);
    EXPECT_EQ(list, combo->DirList());
    EXPECT_EQ(combo, list->DriveCombo);
    EXPECT_EQ(nullptr, other->DriveCombo);

    combo->SetDirList(other);
    EXPECT_EQ(nullptr, list->DriveCombo) << "the old list forgets the selector";
    EXPECT_EQ(combo, other->DriveCombo);

    TDriveComboBox second;
    second.SetDirList(other);
    EXPECT_EQ(nullptr, combo->DirList()) << "a list follows one selector";

    {
        auto gone = std::make_unique<TDirectoryListBox>();
        second.SetDirList(gone.get());
    }
    EXPECT_EQ(nullptr, second.DirList()) << "a released list unlinks itself";
}

// Records what an item's painting draws.
struct RecordingCanvas : TCanvas {
    struct Op {
        char kind;  // 'F' FillRect, 'B' DrawTransparent, 'T' TextOut, 'L' DrawTextLine
        TRect rect;
        int x = 0, y = 0;
        plat::Wide text;
        TBitmap bitmap;
        TColor brush = 0, font = 0;
    };
    std::vector<Op> ops;
    int textHeight = 13;
    int dpi = 96;  // of the window drawn in

    int Scale(int designed) const override { return (designed * dpi + 48) / 96; }

    void FillRect(const TRect& rect) override { ops.push_back({'F', rect, 0, 0, {}, {}, BrushColor, FontColor}); }
    void DrawTransparent(int x, int y, const TBitmap& bitmap) override {
        ops.push_back({'B', {}, x, y, {}, bitmap, BrushColor, FontColor});
    }
    void TextOut(int x, int y, const plat::Wide& text) override {
        ops.push_back({'T', {}, x, y, text, {}, BrushColor, FontColor});
    }
    void DrawTextLine(const TRect& rect, const plat::Wide& text) override {
        ops.push_back({'L', rect, 0, 0, text, {}, BrushColor, FontColor});
    }
    int TextHeight(const plat::Wide&) override { return textHeight; }
    const Op* Find(char kind) const {
        for (const auto& op : ops)
            if (op.kind == kind) return &op;
        return nullptr;
    }
};

bool SameRect(const TRect& a, const TRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

TBitmap ResourceBitmap(const char* name) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(name);
    return bitmap;
}

bool SamePicture(const TBitmap& a, const TBitmap& b) {
    return !a.Empty() && a.Width() == b.Width() && a.Height() == b.Height() &&
           a.ImageSize() == b.ImageSize() && std::memcmp(a.Bits(), b.Bits(), a.ImageSize()) == 0;
}

class FileCtrlPainting : public ::testing::Test {
protected:
    void SetUp() override { StartFreshProcess(); }
};

// What the user sees of a painted line: the picture and the text inside the line, each centred
// in its height (to the pixel that an odd difference leaves), the text after the picture.
void ExpectPictureThenText(const TRect& line, const RecordingCanvas::Op& picture, int textLeft, int textTop,
                           int textHeight) {
    const int width = picture.bitmap.Width(), height = picture.bitmap.Height();
    EXPECT_GE(picture.x, line.Left);
    EXPECT_LE(std::abs((picture.y - line.Top) - (line.Bottom - (picture.y + height))), 1) << "picture centred";
    EXPECT_GE(textLeft, picture.x + width) << "text after the picture";
    EXPECT_LE(textLeft, picture.x + width + 8) << "and beside it";
    EXPECT_LE(std::abs((textTop - line.Top) - (line.Bottom - (textTop + textHeight))), 1) << "text centred";
}

TEST_F(FileCtrlPainting, FolderLinesIndentPictureAndText) {
    fake::PutFolder(kTessaron + u"\\Docs");
    TDirectoryListBox list;
    list.OpenFolder(kTessaron);

    RecordingCanvas canvas;
    canvas.BrushColor = clHighlight;  // as the base list sets it for a selected line
    const TRect line = {0, 36, 345, 54};
    list.DrawItem(2, line, {true, true}, canvas);
    ASSERT_EQ(3u, canvas.ops.size());
    EXPECT_EQ('F', canvas.ops[0].kind) << "the line is cleared first";
    EXPECT_TRUE(SameRect(line, canvas.ops[0].rect));
    EXPECT_EQ(clHighlight, canvas.ops[0].brush) << "the current brush";
    const auto* picture = canvas.Find('B');
    const auto* text = canvas.Find('T');
    ASSERT_TRUE(picture && text);
    EXPECT_TRUE(SamePicture(ResourceBitmap("OPENFOLDER"), picture->bitmap)) << "the open folder";
    EXPECT_EQ(RGBColor(128, 128, 0), picture->bitmap.TransparentColor());
    EXPECT_EQ(u"Tessaron", text->text);
    ExpectPictureThenText(line, *picture, text->x, text->y, canvas.textHeight);

    // A folder below it, in a line scrolled partly out of view and a taller font.
    RecordingCanvas sub;
    sub.textHeight = 14;
    const TRect below = {5, -30, 350, -9};
    list.DrawItem(3, below, {}, sub);
    const auto* subPicture = sub.Find('B');
    const auto* subText = sub.Find('T');
    ASSERT_TRUE(subPicture && subText);
    EXPECT_TRUE(SamePicture(ResourceBitmap("CLOSEDFOLDER"), subPicture->bitmap));
    EXPECT_EQ(u"Docs", subText->text);
    ExpectPictureThenText(below, *subPicture, subText->x, subText->y, sub.textHeight);
    EXPECT_GT(subPicture->x - below.Left, picture->x - line.Left) << "a deeper folder is indented further";
}

// At 144 and 192 dots per inch the pictures, the indents and the gaps grow with the text: the
// canvas is told the designed lengths in its window's pixels.
TEST_F(FileCtrlPainting, PicturesIndentsAndGapsFollowTheWindowsDpi) {
    fake::PutFolder(kTessaron + u"\\Docs");
    TDirectoryListBox list;
    list.OpenFolder(kTessaron);
    fake::AddDrive('F', Drive(plat::kDriveRemovable, u"Stick"));
    TDriveComboBox combo;
    combo.FillDrives();
    struct Case {
        int dpi;
        int folderPictureX, folderPictureY, folderTextX;  // line 2 in {0, 0, 345, 40}
        int drivePictureX, drivePictureY, driveTextLeft;   // item 0 in {0, 0, 345, 40}
    } cases[] = {
        {96, 27, 12, 47, 2, 14, 22},
        {144, 41, 8, 71, 3, 11, 33},   // indent 27 -> 41, picture 16 -> 24, gap 4 -> 6
        {192, 54, 4, 94, 4, 9, 44},    // everything twice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        RecordingCanvas folders;
        folders.dpi = c.dpi;
        list.DrawItem(2, {0, 0, 345, 40}, {}, folders);
        const auto* picture = folders.Find('B');
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(c.folderPictureX, picture->x);
        EXPECT_EQ(c.folderPictureY, picture->y) << "centred at its scaled height";
        ASSERT_NE(nullptr, folders.Find('T'));
        EXPECT_EQ(c.folderTextX, folders.Find('T')->x);

        RecordingCanvas drives;
        drives.dpi = c.dpi;
        combo.DrawItem(0, {0, 0, 345, 40}, {}, drives);
        picture = drives.Find('B');
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(c.drivePictureX, picture->x);
        EXPECT_EQ(c.drivePictureY, picture->y);
        ASSERT_NE(nullptr, drives.Find('L'));
        EXPECT_EQ(c.driveTextLeft, drives.Find('L')->rect.Left);
    }
}

TEST_F(FileCtrlPainting, DriveItemsInWindowColoursWithTheTextBesideThePicture) {
    fake::DriveInfo stick = Drive(plat::kDriveRemovable, u"Stick");
    fake::AddDrive('F', stick);
    TDriveComboBox combo;
    combo.FillDrives();

    RecordingCanvas canvas;
    canvas.BrushColor = clHighlight;
    canvas.FontColor = clHighlightText;
    const TRect line = {4, 0, 345, 18};
    combo.DrawItem(0, line, {true, true}, canvas);
    const auto* fill = canvas.Find('F');
    ASSERT_NE(nullptr, fill);
    EXPECT_EQ(clWindow, fill->brush) << "even when selected";
    EXPECT_TRUE(SameRect(line, fill->rect));
    const auto* picture = canvas.Find('B');
    const auto* text = canvas.Find('L');
    ASSERT_TRUE(picture && text);
    EXPECT_TRUE(SamePicture(ResourceBitmap("FIXEDDRIVE"), picture->bitmap));
    EXPECT_EQ(RGBColor(0, 0, 255), picture->bitmap.TransparentColor());
    EXPECT_EQ(u"c: ", text->text);
    EXPECT_EQ(clWindowText, text->font);
    // The text's line runs from beside the picture to the item's end, the item's full height.
    ExpectPictureThenText(line, *picture, text->rect.Left, line.Top, line.Bottom - line.Top);
    EXPECT_TRUE(SameRect({text->rect.Left, line.Top, line.Right, line.Bottom}, text->rect));
    EXPECT_EQ(clHighlight, canvas.BrushColor) << "the caller's colours come back";
    EXPECT_EQ(clHighlightText, canvas.FontColor);

    RecordingCanvas removable;
    const TRect second = {0, 18, 345, 36};
    combo.DrawItem(1, second, {}, removable);
    picture = removable.Find('B');
    text = removable.Find('L');
    ASSERT_TRUE(picture && text);
    EXPECT_TRUE(SamePicture(ResourceBitmap("REMOVABLEDRIVE"), picture->bitmap));
    EXPECT_EQ(RGBColor(255, 255, 255), picture->bitmap.TransparentColor());
    EXPECT_EQ(u"f: [stick]", text->text);
    ExpectPictureThenText(second, *picture, text->rect.Left, second.Top, second.Bottom - second.Top);
}

TEST_F(FileCtrlPainting, MissingPicturesCountAsSixteenPixelsWide) {
    fake::ClearResources();
    TDirectoryListBox list;
    list.OpenFolder(u"C:\\Users");
    RecordingCanvas canvas;
    list.DrawItem(1, {0, 18, 345, 36}, {}, canvas);
    ASSERT_NE(nullptr, canvas.Find('T'));
    EXPECT_EQ(16 + 15 + 4, canvas.Find('T')->x);

    TDriveComboBox combo;
    combo.FillDrives();
    RecordingCanvas drive;
    combo.DrawItem(0, {0, 0, 345, 18}, {}, drive);
    ASSERT_NE(nullptr, drive.Find('L'));
    EXPECT_EQ(22, drive.Find('L')->rect.Left);
}

// Measures characters as the platform would for a larger font.
struct TallFontBackend : TBackend {
    int RunModal(TForm&) override { return mrCancel; }
    int TextWidth(const TFont&, const Wide& text) override { return 7 * static_cast<int>(text.size()); }
    int CharHeight(const TFont&) override { return 19; }
    void SetBusyCursor(bool) override {}
    void ApplicationChanged() override {}
    void TimerChanged(TTimer&) override {}
};

TEST_F(FileCtrlPainting, ItemHeightIsFourTenthsAboveTheCharacterHeight) {
    TallFontBackend backend;
    SetBackend(&backend);
    TDirectoryListBox list;
    TDriveComboBox combo;
    SetBackend(nullptr);
    EXPECT_EQ(26, list.ItemHeight) << "19 * 14 / 10, rounded down";
    EXPECT_EQ(26, combo.ItemHeight);
    EXPECT_TRUE(list.OwnerDraw);
    EXPECT_TRUE(combo.OwnerDraw);
}

}  // namespace
