#include "app/Entry.h"


#include "app/CommandLine.h"
#include "image/PNG.h"
#include "install/LinkGuard.h"
#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"
#include "platform/platform.h"
#include "ui/Backend.h"
#include "wizard/MainDlg.h"
#include "wizard/engine/Registry.h"
#include "wizard/lang/UILang.h"

namespace {

// Shown when the program file's payload or form is missing or damaged; nothing can be installed
// then. The language has not been chosen yet at that point, so the box is English throughout.
constexpr char kDamagedText[] =
    "The setup program is damaged: the files it carries cannot be read.\r\r"
    "Please download the setup program again and run the new copy.";

// Start-up work of the units, before any window exists.
void StartUnits() {
    InitPNGUnit();
    plat::ResolveSHGetFolderPathW();
}

// COM for the shell links and the start of the application. Starting it takes time (it loads and
// starts the COM runtime with what that needs), and the wizard's first page needs none of it: an
// interactive run starts it once the page is on the screen.
class TComSession {
public:
    TComSession() = default;
    TComSession(const TComSession&) = delete;
    TComSession& operator=(const TComSession&) = delete;
    ~TComSession() {
        if (started_) plat::OleUninitialize();
    }
    void Start() {
        if (started_) return;
        started_ = true;
        plat::OleInitialize();
    }

private:
    bool started_ = false;
};

int32_t Damaged() {
    if (!Silent) ShowMessageBox(kDamagedText, TMsgKind::Error, {TMsgButton::OK});
    return kExitDamaged;
}

// The records of an installation that started and is not portable, then its install log. Their
// failures are not reported: the run has ended.
void RecordInstallation(TMainDlgForm& form) {
    if (!LogActive || form.IsPortable()) return;
    WriteRegistryRecords({MainDir, form.InstallToAllChkBx->Checked(),
                          form.DesktopChkBx->Checked(), form.FinishChkBx->Checked(), false});
    SaveInstallLog();
}

int32_t Run() {
    TComSession com;
    RegisterFormControlClasses();
    TRunSwitches switches = ReadRunSwitches(ProgramArguments());
    if (switches.Silent) Silent = true;
    // Only a window shows the icon, and a silent run has none (loading the icon would also start
    // the window system's themes, for nothing).
    if (!Silent) Application.SetIcon(plat::LoadIconW(1));
    // A silent run shows no window: its controls need no fonts, window classes or common
    // controls, so they keep their state without the window backend.
    if (Silent) SetBackend(nullptr);

    // A silent run inflates and lists the payload before anything else; the wizard shows its
    // first page first (which needs nothing of it) and reads the payload before the user can
    // act. A damaged payload closes the wizard again, without a question; its message and exit
    // code follow as ever, with nothing done.
    if (Silent) {
        com.Start();
        AttachedFiles = new TAttachedFiles();
        if (!AttachedFiles->Loaded()) return Damaged();
    }

    // Without its description or logo, resources of the program itself, the program is damaged.
    auto form = std::make_unique<TMainDlgForm>(switches);
    if (!form->Built()) return Damaged();
    MainDlgForm = form.get();

    if (Silent) {
        form->NextBtn->Click();
    } else {
        form->OnShown = [&form, &com](TObject*) {
            com.Start();
            AttachedFiles = new TAttachedFiles();
            if (AttachedFiles->Loaded()) return;
            form->CloseAllowed = true;
            form->ModalResult = mrCancel;
        };
        form->ShowModal();
        // A form that could not be shown still ends with the payload's verdict.
        if (!AttachedFiles) AttachedFiles = new TAttachedFiles();
        if (!AttachedFiles->Loaded()) {
            MainDlgForm = nullptr;
            form.reset();
            return Damaged();
        }
    }

    RecordInstallation(*form);
    // Nothing more is written: the folders held since their check are let go.
    ForgetCheckedFolders();
    MainDlgForm = nullptr;
    form.reset();
    return ExitCode;
}

}  // namespace

int32_t SetupMain() {
    StartUnits();
    int32_t code = Run();
    if (code != kExitOk) ExitCode = code;
    return ExitCode;
}
