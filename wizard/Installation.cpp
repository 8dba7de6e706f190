// The installation work that the page switch does on its way: the licence text for the licence
// page, the files on entering the installing page, the small data files and shortcuts on
// entering the finished page, and the update log and the launch at the closing step.
#include <cstring>

#include "install/DataFolder.h"
#include "install/InstUtils.h"
#include "install/SmallFiles.h"
#include "install/InstallLog.h"
#include "install/LinkGuard.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"
#include "resources/Product.h"
#include "ui/Backend.h"
#include "wizard/MainDlg.h"
#include "wizard/Shortcuts.h"
#include "wizard/engine/OpenAsUser.h"
#include "wizard/engine/UpdateLog.h"
#include "wizard/lang/UILang.h"

namespace {

void AppendInt32(std::string* out, int32_t value) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(static_cast<uint32_t>(value) >> (8 * i)));
}

void AppendFloat64(std::string* out, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) out->push_back(static_cast<char>(bits >> (8 * i)));
}

// The lines of a UTF-8 text file as the memo shows them.
std::vector<Wide> TextLines(std::string text) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::vector<Wide> lines;
    for (const auto& line : SplitLogLines(text)) lines.push_back(WideOfUtf8(line));
    return lines;
}

}  // namespace

Wide TMainDlgForm::GetDataDir(TDataDir kind) {
    Wide folder;
    if (IsPortable()) {
        folder = MainDir + u"\\";
    } else {
        folder = SharedDataFolder();
        if (kind == HiddenData) folder += kHiddenFolderName;
        if (kind == PublicData) folder += kPublicFolderName;
    }
    ForceFolders(folder);
    if (!IsPortable()) {
        // The data folder first, which holds the other two; a failure shows as the failed write
        // of the first file below it.
        MakeDataFolderShared(SharedDataFolder());
        if (kind != CommonData) MakeDataFolderShared(folder);
    }
    return folder;
}

bool TMainDlgForm::ExtractLicense() {
    NextBtn->SetEnabled(false);
    CancelBtn->SetEnabled(false);
    SetBusyCursor(true);
    // A name of its own, created new: whatever another program put into the temporary folder
    // is never opened, followed or replaced.
    std::string text;
    SuspendLog();
    bool ok = AttachedFiles->ExtractTemporarily(kLicenseFile, TempFolder(), &text);
    ResumeLog();
    if (ok) {
        LicenseMemo->SetLines(TextLines(text));
    } else {
        if (Silent)
            ExitCode = kExitCannotWrite;
        else
            CloseWizard();
    }
    SetBusyCursor(false);
    return ok;
}

void TMainDlgForm::SelectInstallFiles() {
    ForceOverwrite = !IsPortable();
    AttachedFiles->SelectFiles(kProgramFile, MainDir, CopyIfChanged);
    AttachedFiles->SelectFiles(kLicenseFile, MainDir, CopyIfChanged);
    Wide shared = GetDataDir(PublicData);
    SuspendLog();
    AttachedFiles->SelectFiles("Templates\\", shared, CopyIfMissing);
    AttachedFiles->SelectFiles("Clip Library\\", shared, CopyIfMissing);
    ResumeLog();
    if (!IsPortable()) {
        InstallStamp = NowAsDate();
        std::string stamp;
        AppendFloat64(&stamp, InstallStamp);
        WriteBytesToFile(GetDataDir(HiddenData) + kInstallStampName, stamp);
    }
}

bool TMainDlgForm::InstallFiles() {
    StartInstallLog(MainDir, IsPortable());
    // Another user may have prepared these folders: nothing below them is reached through a link.
    // An elevated run writes for every user into the shared one, which must then be the
    // administrators' (a user's own installation leaves its security alone).
    GuardFolder(MainDir);
    if (!IsPortable())
        GuardFolder(SharedDataFolder(), plat::IsProcessElevated() ? TFolderOwners::Administrators
                                                                  : TFolderOwners::Anyone);
    SelectInstallFiles();
    installing_ = true;
    bool ok = true;
    for (auto& file : AttachedFiles->ToInstall) {
        InstallingLbl->SetCaption(file->Dest);
        AnswerBetweenFiles();
        if (!file->Logged) SuspendLog();
        ok = AttachedFiles->InstallFile(file->Source, "", file->Dest);
        if (!file->Logged) ResumeLog();
        if (!ok) break;
    }
    installing_ = false;
    InstallingLbl->SetCaption(Wide());
    return ok;
}

void TMainDlgForm::AnswerBetweenFiles() {
    // The window is painted and moved and the caption shows the file; the user's presses of
    // Back, Next, Cancel and the close button find the page switch and the close query waiting
    // and change nothing.
    ProcessMessages();
    if (!CloseAllowed) ModalResult = mrNone;
}

void TMainDlgForm::EnterFinishedPage() {
    std::string common;
    AppendInt32(&common, 1);
    AppendInt32(&common, 8);
    AppendFloat64(&common, NowAsDate());
    WriteBytesToFile(GetDataDir(CommonData) + kCommonDataName, common);
    if (IsPortable()) {
        Wide marker = JoinPath(MainDir, kPortableMarkName);
        if (!FileExists(marker)) WriteBytesToFile(marker, "");
    } else {
        PlaceShortcuts(InstallToAllChkBx->Checked(), DesktopChkBx->Checked(), MainDir);
    }
}

void TMainDlgForm::CloseAfterFinish() {
    if (!IsPortable()) {
        Wide path = GetDataDir(CommonData) + kUpdateLogName;
        if (!WriteUpdateLog(path, AttachedFiles->UpdateList, InstallStamp)) {
            // The closing step stops here: a silent run reports the failure by its exit code,
            // the user sees the file and may press Finish again.
            if (Silent) {
                ExitCode = kExitCannotWrite;
            } else {
                ShowMessageBox(FormatText(UIText(CannotCreateFile), {Utf8Of(path)}), TMsgKind::Error,
                               {TMsgButton::OK});
            }
            return;
        }
    }
    if (!Silent && FinishChkBx->Checked())
        OpenAsUser(MainDir + u"\\" + kProgramFileW,
                   plat::Wide(kLanguageSwitch) + u" " + WideOfUtf8(UILangs[CurrentUILang].Code),
                   plat::kSwShow);
    CloseAllowed = true;
    ModalResult = mrOk;
}
