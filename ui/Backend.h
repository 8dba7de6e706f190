// What the window framework needs from the platform's windowing: showing a form modally,
// measuring text, the mouse cursor, the application's window and timers. The Win32 backend draws
// real windows; without one (host tests, or a program that never shows a form) the headless
// backend answers: it measures with fixed metrics and shows nothing.
#pragma once

#include <functional>
#include <vector>

#include "ui/Control.h"

class TForm;
class TTimer;

class TBackend {
public:
    virtual ~TBackend() = default;
    // Shows the form modally until its modal result ends it (see TForm::ModalEnded) and gives
    // that result. A backend that cannot make windows gives 2 (Cancel) at once.
    virtual int RunModal(TForm& form) = 0;
    virtual int TextWidth(const TFont& font, const Wide& text) = 0;
    // The font's character height (tmHeight).
    virtual int CharHeight(const TFont& font) = 0;
    // The height of the text wrapped at words into lines of at most width pixels, as a
    // word-wrapped label shows it. By default from TextWidth and CharHeight (TextFit.cpp).
    virtual int WrappedTextHeight(const TFont& font, const Wide& text, int width);
    virtual void SetBusyCursor(bool busy) = 0;
    // The application's title or icon changed.
    virtual void ApplicationChanged() = 0;
    // A timer of a shown form was started or stopped.
    virtual void TimerChanged(TTimer& timer) = 0;
    // The window of the innermost form shown, which owns a message box shown meanwhile; 0 when
    // no form is shown.
    virtual plat::WindowHandle ShownFormWindow() { return 0; }
    // Handles the window messages waiting now (input, painting, timers) and returns: long work
    // on the user-interface thread calls it between its steps so the window keeps answering.
    virtual void ProcessMessages() {}
};

TBackend& Backend();
// Installs a backend; nullptr goes back to the headless one.
void SetBackend(TBackend* backend);

// The headless backend's "user": when set, RunModal calls the form's OnShown, then each step in
// turn on the form until the form's modal result ends it, and gives that result (Cancel when the
// steps run out). Without steps it gives Cancel at once, as a backend that cannot show the form.
using TModalStep = std::function<void(TForm&)>;
// The window handle a form shown by the headless backend has.
constexpr plat::WindowHandle kHeadlessWindow = 0x7E57;
void SetHeadlessModalSteps(std::vector<TModalStep> steps);

// The headless backend's "user" during long work: when set, ProcessMessages calls it.
void SetHeadlessMessageHook(std::function<void()> hook);
void ProcessMessages();

// The application: its title (the taskbar text) and icon, applied to its window when one exists.
struct TApplication {
    Wide Title;
    plat::IconHandle Icon = 0;
    void SetTitle(const Wide& title);
    void SetIcon(plat::IconHandle icon);
};
extern TApplication Application;

// The hourglass while long work runs on the user-interface thread.
void SetBusyCursor(bool busy);

// Back to the state at program start (for tests).
void ResetUIState();
