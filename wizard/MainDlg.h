// The wizard form: six pages (welcome, licence, destination, ready, installing, finished) with
// Back, Next and Cancel, and the page switch that carries the installation out on its way.
//
// In an interactive run the entry shows the form modally and the user's presses drive the page
// switch. In a silent run the form is never shown: the entry presses Next once, and every page
// switch presses Next again while the exit code is 0, so the whole run is one chain of calls.
#pragma once

#include <string>

#include "ui/Form.h"
#include "wizard/FileCtrl.h"
#include "wizard/RunSwitches.h"

// The destination folder, committed when the destination page is left forward.
extern Wide MainDir;

// Kinds of data folder (GetDataDir).
enum TDataDir { CommonData = 0, HiddenData = 1, PublicData = 2 };

// Pages; kClosingStep is the transition after the last page.
constexpr uint8_t kWelcomePage = 0, kLicensePage = 1, kDestinationPage = 2, kReadyPage = 3,
                  kInstallingPage = 4, kFinishedPage = 5, kClosingStep = 6, kNoPage = 255;

class TMainDlgForm : public TForm {
    TSD_CLASS(TMainDlgForm, TForm)
    // Builds the form from its description, reads the previous choices, chooses the language and
    // the destination, starts the drive timer and, in an interactive run, shows the welcome page.
    // Built() is false when the form description could not be followed or the logo not read.
    explicit TMainDlgForm(const TRunSwitches& switches = TRunSwitches());
    ~TMainDlgForm() override;
    bool Built() const { return loaded_; }
    const std::string& LoadError() const { return loadError_; }

    bool CloseAllowed = false;
    bool Initialized = false;
    bool PreviousInstall = false;
    double InstallStamp = 0;

    // Handlers named by the form description.
    void BNClick(TObject* sender);
    void CancelBtnClick(TObject* sender);
    void LangBoxChange(TObject* sender);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void DestDirLstBxChange(TObject* sender);
    void PortableInfoBtnClick(TObject* sender);
    // The timer's tick: follows drives plugged in or removed.
    void RefreshDrives(TObject* sender);

    // The page switch; from is kNoPage before any page was shown.
    void GoToPage(uint8_t from, uint8_t to);
    bool IsPortable() const;
    // Cleans the destination text and updates the portable option from the marker file.
    void NormalizeDestination();
    // The data folder of that kind, created (and logged) with its parents; ends with "\".
    Wide GetDataDir(TDataDir kind);
    void SelectInstallFiles();
    // The visible page, kNoPage before the first.
    uint8_t CurrentPage() const;

    // The controls.
    TPageControl* PgCtrl = nullptr;
    TLabel* WelcomeLbl = nullptr;
    TLabel* LangLbl = nullptr;
    TComboBox* LangBox = nullptr;
    TLabel* LicenseLbl = nullptr;
    TMemo* LicenseMemo = nullptr;
    TCheckBox* LicenseChkBx = nullptr;
    TEdit* DestDirEdt = nullptr;
    TDirectoryListBox* DestDirLstBx = nullptr;
    TDriveComboBox* DestDirCmbBx = nullptr;
    TCheckBox* PortableChkBx = nullptr;
    TButton* PortableInfoBtn = nullptr;
    TLabel* StartLbl = nullptr;
    TCheckBox* InstallToAllChkBx = nullptr;
    TCheckBox* DesktopChkBx = nullptr;
    TLabel* InstallingLbl = nullptr;  // the file being written
    TLabel* FinishLbl = nullptr;
    TCheckBox* FinishChkBx = nullptr;
    TPanel* TopPanel = nullptr;
    TLabel* TopLbl = nullptr;
    TImage* LogoImage = nullptr;
    TButton* BackBtn = nullptr;
    TButton* NextBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TTimer* DriveTimer = nullptr;

protected:
    // Message boxes belong to the wizard while it is shown: closing one activates it again.
    void ShownChanged() override;

private:
    bool FindControls();
    void SettleDestination();
    // The installation's stages, run by the page switch.
    bool ExtractLicense();
    bool CommitDestination();
    bool InstallFiles();
    void EnterFinishedPage();
    void CloseAfterFinish();
    void CloseWizard();

    // Between the files the window answers; meanwhile the page switch and closing wait.
    bool WhileInstalling() const { return installing_; }
    void AnswerBetweenFiles();

    TRunSwitches switches_;
    bool installing_ = false;
    bool loaded_ = false;
    std::string loadError_;
};

// The one form of the run (created by the entry).
extern TMainDlgForm* MainDlgForm;

// The control classes the form description names.
void RegisterFormControlClasses();

// Back to the state at program start (for tests).
void ResetMainDlgState();
