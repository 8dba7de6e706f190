// The destination page: the folder edit, the folder list and the drive selector kept in step,
// the portable option, the drives followed while the wizard is open, and the commit of the
// destination when the page is left.
#include "install/Drives.h"
#include "install/InstUtils.h"
#include "install/ProgramFolders.h"
#include "install/RunFlags.h"
#include "resources/Product.h"
#include "wizard/MainDlg.h"
#include "wizard/engine/OpenAsUser.h"
#include "wizard/lang/UILang.h"

namespace {

// The product's web site, in front of the help page's path of each language.
constexpr char16_t kProductWebSite[] = u"https://www.tessaron.example";

Wide ProgramFilesFolder() { return SpecialFolder(plat::kCsidlProgramFiles); }

Wide Trimmed(const Wide& text) {
    size_t start = text.find_first_not_of(u' ');
    if (start == Wide::npos) return Wide();
    size_t end = text.find_last_not_of(u' ');
    return text.substr(start, end - start + 1);
}

// The folder as Windows itself reads it, so that the logs, the registry and the shortcuts name
// the folder that is made: "/" as "\", runs of backslashes as one, "." and ".." resolved, the
// trailing dots and blanks of the last name dropped, a drive-relative path completed. Trailing
// backslashes go first, so that the last name is folded like the others; a bare drive or share
// stays its root. A text Windows cannot read stays as it is. The "\\?\" and "\\.\" prefixes
// go first, and short names become long.
Wide Canonical(Wide text) {
    text = WithoutDevicePrefix(text);
    size_t root = DriveOf(text).size();
    while (text.size() > root + 1 && (text.back() == u'\\' || text.back() == u'/')) text.pop_back();
    if (text.size() == root) text += u'\\';
    Wide full = plat::GetFullPathNameW(text);
    // Short names as the long ones, so that the folder has one spelling in the rules, the logs
    // and the registry.
    return full.empty() ? text : WithLongNames(full);
}

}  // namespace

void TMainDlgForm::SettleDestination() {
    // A folder remembered or given as it was once typed is looked for and shown in the tree as
    // Windows reads it.
    if (!DriveOf(Trimmed(MainDir)).empty()) MainDir = Canonical(Trimmed(MainDir));
    if (MainDir.empty() || !FolderExists(MainDir)) MainDir = JoinPath(ProgramFilesFolder(), kProductFolderName);
    if (switches_.HasDestination) MainDir = switches_.Destination;
    if (!DriveOf(Trimmed(MainDir)).empty()) MainDir = Canonical(Trimmed(MainDir));
    DestDirEdt->SetText(MainDir);
    NormalizeDestination();
    DestDirLstBx->OpenFolder(MainDir);
}

void TMainDlgForm::NormalizeDestination() {
    Wide text = Trimmed(DestDirEdt->Text());
    if (DriveOf(text).empty()) {
        // Before any drive was chosen (a relative or empty "-D" at start) the drive of the
        // program files folder stands in for the selector's.
        char16_t letter = DestDirCmbBx->DriveLetter();
        if (letter <= u' ') {
            Wide pf = ProgramFilesFolder();
            letter = pf.size() >= 2 && pf[1] == u':' ? pf[0] : u'c';
            letter = plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapLowercase, Wide(1, letter))[0];
        }
        text = Wide(1, letter) + u":";
    }
    text = Canonical(text);
    if (!text.empty() && text.back() == u'\\') text.pop_back();
    Wide lastName = text.substr(ExtractFolder(text).size());
    bool programFiles = false;
    for (const Wide& folder : ProgramFilesFolders()) programFiles = programFiles || SamePath(text, folder);
    if (lastName.empty() || programFiles) text += plat::Wide(u"\\") + kProductFolderName;
    DestDirEdt->SetText(text);
    if (FileExists(text + u"\\" + kPortableMarkName)) {
        PortableChkBx->SetChecked(true);
        PortableChkBx->SetEnabled(false);
    } else {
        PortableChkBx->SetEnabled(true);
    }
}

void TMainDlgForm::DestDirLstBxChange(TObject*) {
    if (!Initialized) return;
    Wide oldDrive = DriveOf(DestDirEdt->Text());
    Wide newDrive = DriveOf(DestDirLstBx->Folder());
    if (!SamePath(oldDrive, newDrive)) {
        bool wasRemovable = IsRemovableDrive(oldDrive);
        bool isRemovable = IsRemovableDrive(newDrive);
        if (wasRemovable != isRemovable) PortableChkBx->SetChecked(isRemovable);
    }
    DestDirEdt->SetText(DestDirLstBx->Folder());
    NormalizeDestination();
}

void TMainDlgForm::RefreshDrives(TObject*) {
    // A drive change could move the portable option that the files are being written by.
    if (WhileInstalling()) return;
    uint32_t mask = plat::GetLogicalDrives();
    uint32_t old = DestDirCmbBx->DriveMask();
    if (mask == old) return;
    int selected = DestDirCmbBx->ItemIndex();
    Wide shown = selected >= 0 ? DestDirCmbBx->Items()[static_cast<size_t>(selected)] : Wide();
    DestDirCmbBx->FillDrives();
    if (static_cast<int32_t>(mask) < static_cast<int32_t>(old)) {
        // A drive went away.
        char16_t letter = DestDirCmbBx->DriveLetter();
        bool stillThere = letter >= u'a' && letter <= u'z' && (mask >> (letter - u'a') & 1);
        if (stillThere) {
            for (int i = 0; i < DestDirCmbBx->Count(); ++i)
                if (DestDirCmbBx->Items()[static_cast<size_t>(i)] == shown) DestDirCmbBx->SetItemIndex(i);
        } else {
            Wide pf = ProgramFilesFolder();
            char16_t fallback = pf.empty() ? u'c' : pf[0];
            DestDirCmbBx->ChooseDrive(
                plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapLowercase, Wide(1, fallback))[0]);
        }
    } else {
        // A drive came: the first new one from C: on becomes the destination.
        for (int bit = 2; bit <= 25; ++bit)
            if ((mask >> bit & 1) && !(old >> bit & 1)) {
                DestDirCmbBx->ChooseDrive(static_cast<char16_t>(u'a' + bit));
                break;
            }
    }
}

void TMainDlgForm::PortableInfoBtnClick(TObject*) {
    // Not in a browser running as administrator when the setup is elevated.
    OpenAsUser(Wide(kProductWebSite) + WideOfUtf8(UIText(PortableHelpPath)), u"", 1);
}

bool TMainDlgForm::CommitDestination() {
    NormalizeDestination();
    // Neither program files folder of a 64-bit Windows takes a portable copy: the text must not
    // begin with either.
    bool programFiles = false;
    for (const Wide& folder : ProgramFilesFolders())
        programFiles = programFiles || PathStartsWith(DestDirEdt->Text(), folder);
    if (IsPortable() && programFiles) {
        ShowMessageBox(UIText(PortableNotHere), TMsgKind::Information, {TMsgButton::OK});
        return false;
    }
    MainDir = DestDirEdt->Text();
    return true;
}
