// The interface languages: the language table, every interface text in each language, the choice
// of the language at start, and the one message box through which the program shows messages.
//
// Texts are stored as constant, nul-terminated UTF-8 and are handed out as stored; they are
// decoded to UTF-16 only where they are displayed (DecodeUIText). "\r" inside a text is a lone
// carriage return, "&" marks a control's accelerator, "%s" is filled by FormatText.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/platform.h"

constexpr int kUILangCount = 6;
constexpr int kPageCount = 6;  // wizard pages 0 (welcome) to 5 (finished)

struct TUILangInfo {
    int32_t LangId;    // a primary language id (low 10 bits) or a full 16-bit language id
    const char* Code;  // saved as UILANG and passed to the application after "-uilp "
    const char* Name;  // entry of the language box (UTF-8)
};

// Rows: 0 German, 1 English, 2 Spanish, 3 French, 4 Simplified Chinese, 5 Traditional Chinese.
// The row number is the language index everywhere.
extern const TUILangInfo UILangs[kUILangCount];

// The current interface language, a row of UILangs. 1 (English) until the start-up selection.
// Everything reads it when it needs a text, so a change applies from then on.
extern uint8_t CurrentUILang;

// One text in each language, indexed by the row.
using TUIText = const char* const[kUILangCount];

extern TUIText ProductName;        // shortcut file name, uninstall display name
extern TUIText WelcomeText;        // two "%s": see FormatWelcomeText
extern TUIText LanguagePrompt;
extern TUIText LicensePrompt;
extern TUIText AcceptLicense;
extern TUIText InstallPortable;
extern TUIText ReadyText;
extern TUIText InstallForAll;
extern TUIText DesktopShortcut;
extern TUIText FinishedText;       // two "%s": see FormatFinishedText
extern TUIText LaunchApp;
extern TUIText Description;        // shortcut comment
extern TUIText ProductNameInText;  // first "%s" of WelcomeText and FinishedText
extern TUIText SetupTitle;         // caption of the form, the application and every message box
extern TUIText MustAgree;
extern TUIText CloseRunning;
extern TUIText QuitSetup;
extern TUIText PortableHelpPath;   // path on the product web site
extern TUIText PortableNotHere;
extern TUIText CannotCreateFile;   // one "%s": the file path
extern TUIText BackCaption;
extern TUIText NextCaption;        // Next button on pages 0 to 4
extern TUIText FinishCaption;      // Next button on page 5
extern TUIText CancelCaption;
// Names read by a screen reader where the page shows no label.
extern TUIText DestinationFolderName;  // DestDirEdt
extern TUIText FolderListName;         // DestDirLstBx
extern TUIText DriveListName;          // DestDirCmbBx
extern TUIText PortableHelpName;       // PortableInfoBtn ("  ?  ")

// Titles of the wizard pages: [language row][page].
extern const char* const PageTitles[kUILangCount][kPageCount];

// The text of the current language.
inline const char* UIText(const TUIText& text) { return text[CurrentUILang]; }
// The title of page 0 to 5 in the current language.
inline const char* PageTitle(int page) { return PageTitles[CurrentUILang][page]; }

// Sets CurrentUILang from the user's locale: a row whose LangId equals the full language id wins,
// else one whose LangId equals the primary language, rows scanned from 5 down to 0 each time.
// Leaves CurrentUILang unchanged when nothing matches (English at start).
void SelectInitialUILang();

// Applies a saved UILANG value: the row whose Code equals it byte for byte (case counts), rows 5
// down to 0. Returns false, leaving CurrentUILang unchanged, when no row matches.
bool MatchSavedUILang(const std::string& ansiCode);
// The same for a value read as wide text; it is first narrowed to the ANSI code page, where the
// codes are plain ASCII, so any other character turns into the default character '?'.
bool MatchSavedUILang(const plat::Wide& code);

// Fills each "%s" of pattern with the next argument (an empty text once they run out); "%%"
// gives "%"; any other "%" stays as it is.
std::string FormatText(const char* pattern, std::initializer_list<std::string> args);
// WelcomeText / FinishedText of the current language with ProductNameInText and an empty text.
std::string FormatWelcomeText();
std::string FormatFinishedText();

// UTF-16 form of an interface text for display.
plat::Wide DecodeUIText(const char* text);
plat::Wide DecodeUIText(const std::string& text);

// ---- Messages ----

// The icon of a message box.
enum class TMsgKind : int { Warning = 0, Error = 1, Information = 2, Question = 3 };

enum class TMsgButton : uint8_t { OK, Cancel, Abort, Retry, Ignore, Yes, No };

// A set of buttons, written {TMsgButton::Yes, TMsgButton::No}.
class TMsgButtons {
public:
    constexpr TMsgButtons(std::initializer_list<TMsgButton> buttons) : bits_(0) {
        for (TMsgButton b : buttons) bits_ |= Bit(b);
    }
    constexpr bool operator==(const TMsgButtons& other) const { return bits_ == other.bits_; }
    constexpr bool operator!=(const TMsgButtons& other) const { return bits_ != other.bits_; }

private:
    static constexpr uint8_t Bit(TMsgButton b) {
        return static_cast<uint8_t>(1u << static_cast<unsigned>(b));
    }
    uint8_t bits_;
};

// Shows a task-modal message box captioned with SetupTitle of the current language. The buttons
// are one of the sets Yes+No, Yes+No+Cancel, OK+Cancel, Retry+Cancel, Abort+Retry+Ignore or OK;
// any other set shows OK alone. Returns the button pressed, OK when the box could not be shown.
TMsgButton ShowMessageBox(const std::string& message, TMsgKind kind, TMsgButtons buttons);

// Owner window of the message boxes: 0 (none) until the window framework hands over its
// application window, and again once that window is gone.
void SetMessageBoxOwner(plat::WindowHandle owner);

// Back to the state at program start: English, no message box owner. For tests.
void ResetUILangState();
