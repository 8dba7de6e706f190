#include "wizard/FileCtrl.h"

#include <algorithm>

#include "base/TextCompare.h"
#include "install/Drives.h"
#include "install/InstUtils.h"
#include "platform/Handles.h"
#include "resources/Product.h"
#include "ui/Backend.h"
#include "ui/Form.h"

namespace {

// Drawing falls back to this width when a picture could not be loaded.
constexpr int kDefaultBitmapWidth = 16;
constexpr int kLevelIndent = 12;
constexpr int kFirstIndent = 3;

// Drive letters only: the platform's case mapping is not needed for them.
char16_t UpCase(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

char16_t FirstChar(const Wide& text) { return text.empty() ? u'\0' : text[0]; }

// Lines are as high as the font's characters plus four tenths for the pictures.
int ItemHeightOf(const TControl& control) {
    return Backend().CharHeight(control.EffectiveFont()) * 14 / 10;
}

int BackslashesIn(const Wide& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), u'\\'));
}

int BitmapWidth(const TBitmap* bitmap) {
    return bitmap && !bitmap->Empty() ? bitmap->Width() : kDefaultBitmapWidth;
}

int BitmapHeight(const TBitmap* bitmap) { return bitmap ? bitmap->Height() : 0; }

bool QuietFolderExists(const Wide& path) {
    // Reading a drive without a medium must not make the system ask for a disk.
    plat::TErrorModeGuard quiet(plat::kSemFailCriticalErrors);
    return FolderExists(path);
}

}  // namespace

void InsertFolderName(std::vector<Wide>& names, const Wide& name) {
    std::string key = Utf8Of(name);
    auto at = std::find_if(names.begin(), names.end(), [&](const Wide& other) {
        return CompareTextIgnoreCase(key, Utf8Of(other)) <= 0;
    });
    names.insert(at, name);
}

// ---- TDirectoryListBox ----

TDirectoryListBox::TDirectoryListBox() : folder_(1, u'\0') {
    OwnerDraw = true;
    ItemHeight = ItemHeightOf(*this);
    // A missing picture leaves its bitmap empty; the lines are then drawn without it.
    openFolder_.LoadFromResourceName("OPENFOLDER");
    closedFolder_.LoadFromResourceName("CLOSEDFOLDER");
}

TDirectoryListBox::~TDirectoryListBox() {
    if (DriveCombo) DriveCombo->SetDirList(nullptr);
}

void TDirectoryListBox::Loaded() {
    TListBox::Loaded();
    // The font may come from the parent, which the constructor did not know yet.
    ItemHeight = ItemHeightOf(*this);
}

void TDirectoryListBox::NotifyChange() {
    if (OnChange) OnChange(this);
}

void TDirectoryListBox::MoveToDrive(char16_t letter) {
    if (letter <= u' ') return;
    if (UpCase(letter) == UpCase(FirstChar(folder_))) return;
    Wide pf = SpecialFolder(plat::kCsidlProgramFiles);
    if (!pf.empty() && UpCase(letter) == UpCase(pf[0])) {
        AppendBackslash(pf);
        folder_ = pf + kProductFolderName;
        if (!QuietFolderExists(folder_)) folder_ = pf;
    } else {
        size_t colon = folder_.find(u':');
        Wide samePath = colon == Wide::npos ? Wide() : Wide(1, letter) + folder_.substr(colon);
        if (!samePath.empty() && QuietFolderExists(samePath))
            folder_ = samePath;
        else
            folder_ = Wide(1, letter) + u":\\";
    }
    if (!Changing) {
        FillFolders();
        NotifyChange();
    }
}

void TDirectoryListBox::OpenFolder(const Wide& path) {
    if (path.empty()) return;
    if (CaseSensitive ? path == folder_ : SamePath(path, folder_)) return;
    Wide target = path;
    while (!QuietFolderExists(target) && DriveOf(target).size() + 1 < target.size()) {
        if (target.back() == u'\\') target.pop_back();
        // A text that is its own parent (a doubled backslash, a blank before the drive) has no
        // folder to fall back to.
        Wide parent = ExtractFolder(target);
        if (parent.size() >= target.size()) {
            target.clear();
            break;
        }
        target = parent;
    }
    // A relative path none of whose folders exists leaves nothing to show.
    if (target.empty()) return;
    bool driveChanged = UpCase(target[0]) != UpCase(FirstChar(folder_));
    folder_ = target;
    if (driveChanged) {
        // The selector moves this list back to its drive, which is the drive it is on now, so
        // nothing is read or announced twice.
        struct ChangingScope {
            bool& flag;
            explicit ChangingScope(bool& f) : flag(f) { flag = true; }
            ~ChangingScope() { flag = false; }
        } scope(Changing);
        if (DriveCombo)
            DriveCombo->ChooseDrive(folder_[0]);
        else
            MoveToDrive(folder_[0]);
    }
    FillFolders();
    NotifyChange();
}

void TDirectoryListBox::FillFolders() {
    // The lines are built aside and handed to the window in one change, so it paints once.
    std::vector<Wide> lines;
    std::vector<intptr_t> pictures;
    const intptr_t open = reinterpret_cast<intptr_t>(&openFolder_);
    const intptr_t closed = reinterpret_cast<intptr_t>(&closedFolder_);

    // Reading a drive without a medium must not make the system ask for a disk.
    plat::TErrorModeGuard quiet(plat::kSemFailCriticalErrors);
    uint32_t flags = 0;
    // An unreadable volume counts as neither case-preserving nor case-sensitive.
    if (!plat::GetVolumeInformationW(DriveOf(folder_) + u"\\", nullptr, &flags, nullptr)) flags = 0;
    CasePreserving = (flags & (plat::kFsCaseSensitive | plat::kFsCasePreservedNames)) != 0;
    CaseSensitive = (flags & plat::kFsCaseSensitive) != 0;

    Wide level = folder_;
    while (level.size() > 3) {
        if (level.back() == u'\\') level.pop_back();
        lines.insert(lines.begin(), level);
        while (!level.empty() && level.back() != u'\\') level.pop_back();
    }
    lines.insert(lines.begin(), level);
    pictures.assign(lines.size(), open);
    int current = static_cast<int>(lines.size()) - 1;

    std::vector<Wide> names;
    Wide pattern = folder_;
    if (pattern.empty() || pattern.back() != u'\\') pattern += u'\\';
    pattern += u"*.*";
    plat::FindData found;
    plat::TSearchHandle search(plat::FindFirstFileW(pattern, &found));
    if (search.Valid()) {
        const uint32_t skipped = plat::kFileAttributeHidden | plat::kFileAttributeSystem |
                                 plat::kFileAttributeVolumeLabel;
        do {
            if (found.attributes & skipped) continue;
            if (!(found.attributes & plat::kFileAttributeDirectory)) continue;
            if (found.name == u"." || found.name == u"..") continue;
            InsertFolderName(names, found.name);
        } while (plat::FindNextFileW(search.Get(), &found));
    }
    Wide parent = folder_;
    AppendBackslash(parent);
    for (const Wide& name : names) {
        lines.push_back(parent + name);
        pictures.push_back(closed);
    }

    items_ = std::move(lines);
    data_ = std::move(pictures);
    itemIndex_ = -1;
    Changed(TChange::Items);
    if (Peer) SetItemIndex(current);
}

void TDirectoryListBox::WindowCreated() {
    FillFolders();
    SetItemIndex(BackslashesIn(WithoutBackslash(folder_)));
}

void TDirectoryListBox::Selected() {
    int index = ItemIndex();
    if (index < 0) return;
    OpenFolder(Items()[static_cast<size_t>(index)]);
}

bool TDirectoryListBox::IsSubFolderLine(int index) const {
    return ItemData(index) == reinterpret_cast<intptr_t>(&closedFolder_);
}

int TDirectoryListBox::LineIndent(int index) const {
    // Sub-folders sit one level below the current folder, whatever their line number.
    int level = IsSubFolderLine(index) ? BackslashesIn(WithoutBackslash(folder_)) + 1 : index;
    return level * kLevelIndent + kFirstIndent;
}

Wide TDirectoryListBox::LineText(int index) const {
    const Wide& path = Items()[static_cast<size_t>(index)];
    Wide text = index == 0 ? path.substr(0, 2) : path.substr(ExtractFolder(path).size());
    if (!CasePreserving && !CaseSensitive)
        text = plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapLowercase, text);
    return text;
}

void TDirectoryListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState, TCanvas& canvas) {
    canvas.FillRect(rect);
    const auto* bitmap = reinterpret_cast<const TBitmap*>(ItemData(index));
    // The geometry is designed at 96 dots per inch; the canvas scales it for its window.
    int indent = canvas.Scale(LineIndent(index));
    if (bitmap && !bitmap->Empty())
        canvas.DrawTransparent(rect.Left + indent,
                               (rect.Top + rect.Bottom - canvas.Scale(BitmapHeight(bitmap))) / 2, *bitmap);
    int textHeight = canvas.TextHeight(u"A");
    canvas.TextOut(rect.Left + canvas.Scale(BitmapWidth(bitmap)) + indent + canvas.Scale(4),
                   (rect.Top + rect.Bottom - textHeight) / 2, LineText(index));
}

// ---- TDriveComboBox ----

TDriveComboBox::TDriveComboBox() {
    OwnerDraw = true;
    ItemHeight = ItemHeightOf(*this);
    fixedDrive_.LoadFromResourceName("FIXEDDRIVE");
    removableDrive_.LoadFromResourceName("REMOVABLEDRIVE");
}

TDriveComboBox::~TDriveComboBox() { SetDirList(nullptr); }

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
    if (dirList_) dirList_->DriveCombo = nullptr;
    dirList_ = list;
    if (list) {
        // A list follows one selector only.
        if (list->DriveCombo && list->DriveCombo != this) list->DriveCombo->dirList_ = nullptr;
        list->DriveCombo = this;
    }
}

bool TDriveComboBox::SetProperty(const std::string& key, const std::string& value) {
    if (key == "dirlist") {
        // The list may come later in the description; it is linked once the form is loaded.
        dirListName_ = value;
        return true;
    }
    return TComboBox::SetProperty(key, value);
}

void TDriveComboBox::Loaded() {
    TComboBox::Loaded();
    ItemHeight = ItemHeightOf(*this);
    if (dirListName_.empty()) return;
    if (TForm* form = OwningForm()) SetDirList(form->Find<TDirectoryListBox>(dirListName_));
}

void TDriveComboBox::FillDrives() {
    Clear();
    driveMask_ = plat::GetLogicalDrives();
    // A: and B: are floppy letters, never a destination.
    for (int bit = 2; bit <= 25; ++bit) {
        if (!(driveMask_ >> bit & 1)) continue;
        char16_t letter = static_cast<char16_t>(u'a' + bit);
        Wide root = Wide(1, letter) + u":\\";
        uint32_t type = plat::GetDriveTypeW(root);
        if (type == plat::kDriveCdrom) continue;
        Wide description = type == plat::kDriveRemote ? NetworkNameOf(letter) : VolumeLabelOf(letter);
        const TBitmap* picture = IsRemovableDrive(root) ? &removableDrive_ : &fixedDrive_;
        AddItem(Wide(1, letter) + u": " + description, reinterpret_cast<intptr_t>(picture));
    }
}

void TDriveComboBox::ChooseDrive(char16_t letter) {
    if (ItemIndex() >= 0 && UpCase(letter) == UpCase(driveLetter_)) return;
    driveLetter_ = static_cast<char16_t>(UpCase(letter) + 32);
    for (int i = 0; i < Count(); ++i) {
        const Wide& text = Items()[static_cast<size_t>(i)];
        if (text.size() >= 2 && UpCase(text[0]) == UpCase(driveLetter_) && text[1] == u':') {
            SetItemIndex(i);
            break;
        }
    }
    if (dirList_) dirList_->MoveToDrive(driveLetter_);
    if (OnChange) OnChange(this);
}

void TDriveComboBox::Selected() {
    int index = ItemIndex();
    if (index < 0) return;
    ChooseDrive(FirstChar(Items()[static_cast<size_t>(index)]));
}

void TDriveComboBox::WindowCreated() {
    FillDrives();
    ChooseDrive(driveLetter_);
}

bool TDriveComboBox::IsRemovableItem(int index) const {
    return ItemData(index) == reinterpret_cast<intptr_t>(&removableDrive_);
}

void TDriveComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState, TCanvas& canvas) {
    // Selected or not, items look alike; the focus rectangle marks the current one.
    TColor brush = canvas.BrushColor, font = canvas.FontColor;
    canvas.BrushColor = clWindow;
    canvas.FontColor = clWindowText;
    canvas.FillRect(rect);
    const auto* bitmap = reinterpret_cast<const TBitmap*>(ItemData(index));
    if (bitmap && !bitmap->Empty())
        canvas.DrawTransparent(rect.Left + canvas.Scale(2),
                               (rect.Top + rect.Bottom - canvas.Scale(BitmapHeight(bitmap))) / 2, *bitmap);
    TRect textRect = rect;
    textRect.Left = rect.Left + canvas.Scale(BitmapWidth(bitmap)) + canvas.Scale(6);
    canvas.DrawTextLine(textRect, Items()[static_cast<size_t>(index)]);
    canvas.BrushColor = brush;
    canvas.FontColor = font;
}
