#include "wizard/MainDlg.h"

#include "image/PNG.h"
#include "install/InstUtils.h"
#include "install/RunFlags.h"
#include "ui/Backend.h"
#include "ui/FormLoader.h"
#include "wizard/engine/AppRunning.h"
#include "wizard/engine/Registry.h"
#include "wizard/lang/UILang.h"

Wide MainDir;
TMainDlgForm* MainDlgForm = nullptr;

void RegisterFormControlClasses() {
    RegisterControlClass("TBevel", NewControl<TBevel>);
    RegisterControlClass("TButton", NewControl<TButton>);
    RegisterControlClass("TCheckBox", NewControl<TCheckBox>);
    // The language box is a plain drop-down list.
    RegisterControlClass("TComboBox", NewControl<TComboBox>);
    RegisterControlClass("TDirectoryListBox", NewControl<TDirectoryListBox>);
    RegisterControlClass("TDriveComboBox", NewControl<TDriveComboBox>);
    RegisterControlClass("TEdit", NewControl<TEdit>);
    RegisterControlClass("TImage", NewControl<TImage>);
    RegisterControlClass("TLabel", NewControl<TLabel>);
    RegisterControlClass("TMemo", NewControl<TMemo>);
    RegisterControlClass("TPanel", NewControl<TPanel>);
    RegisterControlClass("TPageControl", NewControl<TPageControl>);
    RegisterControlClass("TTabSheet", NewControl<TTabSheet>);
}

void ResetMainDlgState() {
    MainDir.clear();
    MainDlgForm = nullptr;
}

TMainDlgForm::TMainDlgForm(const TRunSwitches& switches) : switches_(switches) {
    Handlers["BNClick"] = [this](TObject* s) { BNClick(s); };
    Handlers["CancelBtnClick"] = [this](TObject* s) { CancelBtnClick(s); };
    Handlers["LangBoxChange"] = [this](TObject* s) { LangBoxChange(s); };
    Handlers["DestDirLstBxChange"] = [this](TObject* s) { DestDirLstBxChange(s); };
    Handlers["PortableInfoBtnClick"] = [this](TObject* s) { PortableInfoBtnClick(s); };
    CloseQueryHandlers["FormCloseQuery"] = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };

    // The form description makes the controls; without every named one there is no wizard.
    if (!LoadFormResource(*this, "TMAINDLGFORM", &loadError_) || !FindControls()) return;

    // The logo is the program's own resource: a damaged one stops the form here.
    {
        TBitmap logo;
        if (!LoadLogo(logo)) {
            loadError_ = "the logo could not be read";
            return;
        }
        LogoImage->SetPicture(logo);
    }

    // Each entry carries its row of the language table, which the change handler reads back.
    for (int row = 0; row < kUILangCount; ++row)
        LangBox->AddItem(DecodeUIText(UILangs[row].Name), row);

    // The user's locale first; a saved choice below overrides it.
    SelectInitialUILang();

    // The previous installation's choices are the defaults of this run.
    TSavedChoices saved = ReadSavedChoices();
    PreviousInstall = saved.KeyExists;
    if (saved.HasMainDir) MainDir = saved.MainDir;
    if (saved.HasUILang) MatchSavedUILang(saved.UILang);
    DesktopChkBx->SetChecked(saved.DesktopShortcut);
    InstallToAllChkBx->SetChecked(saved.InstallToAll);
    FinishChkBx->SetChecked(saved.Launch);

    // Every caption follows the language now chosen.
    LangBox->SetItemIndex(CurrentUILang);
    LangBoxChange(nullptr);

    // After the saved choices, so that "-D" wins over the remembered folder.
    SettleDestination();

    // Follows drives plugged in or removed while the wizard is open.
    DriveTimer = AddTimer(1);
    DriveTimer->Interval = 1000;
    DriveTimer->OnTimer = [this](TObject* s) { RefreshDrives(s); };
    DriveTimer->SetEnabled(true);

    // A silent run shows no page here: its first press of Next starts the chain.
    if (!Silent) GoToPage(kNoPage, kWelcomePage);

    Initialized = true;
    loaded_ = true;
}

TMainDlgForm::~TMainDlgForm() {
    if (DriveTimer) DriveTimer->SetEnabled(false);
}

bool TMainDlgForm::FindControls() {
    PgCtrl = Find<TPageControl>("PgCtrl");
    WelcomeLbl = Find<TLabel>("WelcomeLbl");
    LangLbl = Find<TLabel>("LangLbl");
    LangBox = Find<TComboBox>("LangBox");
    LicenseLbl = Find<TLabel>("LicenseLbl");
    LicenseMemo = Find<TMemo>("LicenseMemo");
    LicenseChkBx = Find<TCheckBox>("LicenseChkBx");
    DestDirEdt = Find<TEdit>("DestDirEdt");
    DestDirLstBx = Find<TDirectoryListBox>("DestDirLstBx");
    DestDirCmbBx = Find<TDriveComboBox>("DestDirCmbBx");
    PortableChkBx = Find<TCheckBox>("PortableChkBx");
    PortableInfoBtn = Find<TButton>("PortableInfoBtn");
    StartLbl = Find<TLabel>("StartLbl");
    InstallToAllChkBx = Find<TCheckBox>("InstallToAllChkBx");
    DesktopChkBx = Find<TCheckBox>("DesktopChkBx");
    InstallingLbl = Find<TLabel>("InstallingLbl");
    FinishLbl = Find<TLabel>("FinishLbl");
    FinishChkBx = Find<TCheckBox>("FinishChkBx");
    TopPanel = Find<TPanel>("TopPanel");
    TopLbl = Find<TLabel>("TopLbl");
    LogoImage = Find<TImage>("LogoImage");
    BackBtn = Find<TButton>("BackBtn");
    NextBtn = Find<TButton>("NextBtn");
    CancelBtn = Find<TButton>("CancelBtn");
    TControl* all[] = {PgCtrl,        WelcomeLbl,    LangLbl,           LangBox,      LicenseLbl,
                       LicenseMemo,   LicenseChkBx,  DestDirEdt,        DestDirLstBx, DestDirCmbBx,
                       PortableChkBx, PortableInfoBtn, StartLbl,        InstallToAllChkBx,
                       DesktopChkBx,  InstallingLbl, FinishLbl,     FinishChkBx,       TopPanel,     TopLbl,
                       LogoImage,     BackBtn,       NextBtn,           CancelBtn};
    for (TControl* c : all)
        if (!c) {
            loadError_ = "the form description lacks a control of the wizard";
            return false;
        }
    if (PgCtrl->PageCount() != 6) {
        loadError_ = "the form description does not hold six pages";
        return false;
    }
    return true;
}

bool TMainDlgForm::IsPortable() const { return PortableChkBx->Checked(); }

uint8_t TMainDlgForm::CurrentPage() const {
    int index = PgCtrl->ActivePageIndex();
    return index < 0 ? kNoPage : static_cast<uint8_t>(index);
}

void TMainDlgForm::LangBoxChange(TObject*) {
    int index = LangBox->ItemIndex();
    if (index >= 0) CurrentUILang = static_cast<uint8_t>(LangBox->ItemData(index));

    Wide title = DecodeUIText(UIText(SetupTitle));
    Application.SetTitle(title);
    SetCaption(title);
    TopLbl->SetCaption(DecodeUIText(PageTitle(kWelcomePage)));
    WelcomeLbl->SetCaption(DecodeUIText(FormatWelcomeText()));
    LangLbl->SetCaption(DecodeUIText(UIText(LanguagePrompt)));
    LicenseLbl->SetCaption(DecodeUIText(UIText(LicensePrompt)));
    LicenseChkBx->SetCaption(DecodeUIText(UIText(AcceptLicense)));
    PortableChkBx->SetCaption(DecodeUIText(UIText(InstallPortable)));
    // The "  ?  " button follows the caption, whatever its length in this language.
    PortableChkBx->SetWidth(Backend().TextWidth(PortableChkBx->EffectiveFont(),
                                                PortableChkBx->Caption()) +
                            PortableChkBx->Height());
    PortableInfoBtn->SetLeft(PortableChkBx->Left() + PortableChkBx->Width());
    // The destination page has no labels: these are the names a screen reader reads.
    DestDirEdt->AccessibleName = DecodeUIText(UIText(DestinationFolderName));
    DestDirLstBx->AccessibleName = DecodeUIText(UIText(FolderListName));
    DestDirCmbBx->AccessibleName = DecodeUIText(UIText(DriveListName));
    PortableInfoBtn->AccessibleName = DecodeUIText(UIText(PortableHelpName));
    StartLbl->SetCaption(DecodeUIText(UIText(ReadyText)));
    InstallToAllChkBx->SetCaption(DecodeUIText(UIText(InstallForAll)));
    DesktopChkBx->SetCaption(DecodeUIText(UIText(DesktopShortcut)));
    FinishLbl->SetCaption(DecodeUIText(FormatFinishedText()));
    FinishChkBx->SetCaption(DecodeUIText(UIText(LaunchApp)));
    BackBtn->SetCaption(DecodeUIText(UIText(BackCaption)));
    NextBtn->SetCaption(DecodeUIText(UIText(NextCaption)));
    CancelBtn->SetCaption(DecodeUIText(UIText(CancelCaption)));
}

void TMainDlgForm::ShownChanged() { SetMessageBoxOwner(Shown() ? Handle() : 0); }

void TMainDlgForm::BNClick(TObject* sender) {
    if (WhileInstalling()) return;
    uint8_t current = CurrentPage();
    int step = sender == NextBtn ? 1 : -1;
    uint8_t target = static_cast<uint8_t>(current + step);
    if (target == kLicensePage && PreviousInstall) target = static_cast<uint8_t>(target + step);
    GoToPage(current, target);
}

void TMainDlgForm::CancelBtnClick(TObject*) { Close(); }

void TMainDlgForm::FormCloseQuery(TObject*, bool& canClose) {
    if (WhileInstalling() && !CloseAllowed) {
        canClose = false;
        return;
    }
    if (!CloseAllowed && !Silent)
        CloseAllowed = ShowMessageBox(UIText(QuitSetup), TMsgKind::Question,
                                      {TMsgButton::Yes, TMsgButton::No}) == TMsgButton::Yes;
    else
        CloseAllowed = true;
    canClose = CloseAllowed;
}

void TMainDlgForm::CloseWizard() {
    CloseAllowed = true;
    ModalResult = mrCancel;
}

void TMainDlgForm::GoToPage(uint8_t from, uint8_t to) {
    TWinControl* focus = nullptr;
    switch (to) {
    case kLicensePage:
        if (from == kWelcomePage && LicenseMemo->Lines().empty()) ExtractLicense();
        focus = LicenseMemo;
        break;
    case kDestinationPage:
        if (from == kLicensePage && !LicenseChkBx->Checked()) {
            ShowMessageBox(UIText(MustAgree), TMsgKind::Information, {TMsgButton::OK});
            return;
        }
        focus = DestDirEdt;
        break;
    case kReadyPage:
        if (from == kDestinationPage && !CommitDestination()) return;
        InstallToAllChkBx->SetVisible(!IsPortable());
        DesktopChkBx->SetVisible(!IsPortable());
        focus = NextBtn;
        break;
    case kInstallingPage:
        if (IsAppRunning()) {
            if (Silent)
                ExitCode = kExitAppRunning;
            else
                ShowMessageBox(UIText(CloseRunning), TMsgKind::Information, {TMsgButton::OK});
            return;
        }
        break;
    case kFinishedPage:
        EnterFinishedPage();
        // The installing page disabled Next, which had the focus: a keyboard user finds it on
        // Finish again, not nowhere.
        focus = NextBtn;
        break;
    case kClosingStep:
        CloseAfterFinish();
        return;
    default:
        break;
    }

    BackBtn->SetVisible(to != kWelcomePage);
    BackBtn->SetEnabled(to < kInstallingPage);
    NextBtn->SetEnabled(to != kInstallingPage);
    NextBtn->SetCaption(DecodeUIText(UIText(to == kFinishedPage ? FinishCaption : NextCaption)));
    CancelBtn->SetEnabled(to != kFinishedPage);
    TopLbl->SetCaption(DecodeUIText(PageTitle(to)));
    PgCtrl->SetActivePageIndex(to);
    if (focus) focus->SetFocus();

    if (to == kInstallingPage) {
        if (InstallFiles()) {
            GoToPage(kInstallingPage, kFinishedPage);
        } else {
            if (ExitCode == kExitOk) ExitCode = kExitCannotWrite;
            CloseWizard();
        }
    } else if (Silent && ExitCode == kExitOk) {
        NextBtn->Click();
    }
}
