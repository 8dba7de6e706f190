#include "ui/Backend.h"

#include "base/Utf8.h"
#include "ui/Form.h"


TApplication Application;

namespace {

std::vector<TModalStep> g_modalSteps;
std::function<void()> g_messageHook;

// Stands in for the windowing where there is none: fixed metrics of the usual 8-point message
// font at 96 dots per inch, and no windows.
class THeadlessBackend : public TBackend {
public:
    int RunModal(TForm& form) override {
        std::vector<TModalStep> steps;
        steps.swap(g_modalSteps);
        if (steps.empty()) return mrCancel;
        // A stand-in for the window, so that what is owned by it can be told apart.
        form.SetShown(true, kHeadlessWindow);
        ++shown_;
        if (form.OnShown) form.OnShown(&form);
        if (!form.ModalEnded()) {
            for (auto& step : steps) {
                step(form);
                if (form.ModalEnded()) break;
            }
        }
        --shown_;
        form.SetShown(false);
        return form.ModalResult == mrNone ? mrCancel : form.ModalResult;
    }
    int TextWidth(const TFont& font, const Wide& text) override {
        int unit = font.IsSystem() ? 6 : (font.Height * 2 + 2) / 3;
        int width = 0;
        for (char16_t c : text)
            if (c != u'&') width += c >= 0x2E80 ? 2 * unit : unit;
        return width;
    }
    int CharHeight(const TFont& font) override { return font.IsSystem() ? 13 : font.Height; }
    void SetBusyCursor(bool) override {}
    void ApplicationChanged() override {}
    void TimerChanged(TTimer&) override {}
    void ProcessMessages() override {
        if (g_messageHook) g_messageHook();
    }
    plat::WindowHandle ShownFormWindow() override { return shown_ > 0 ? kHeadlessWindow : 0; }

private:
    int shown_ = 0;
};

THeadlessBackend g_headless;
TBackend* g_backend = &g_headless;

}  // namespace

TBackend& Backend() { return *g_backend; }

void SetBackend(TBackend* backend) { g_backend = backend ? backend : &g_headless; }

void SetHeadlessModalSteps(std::vector<TModalStep> steps) { g_modalSteps = std::move(steps); }

void SetHeadlessMessageHook(std::function<void()> hook) { g_messageHook = std::move(hook); }

void ProcessMessages() { Backend().ProcessMessages(); }

void TApplication::SetTitle(const Wide& title) {
    if (title == Title) return;
    Title = title;
    Backend().ApplicationChanged();
}

void TApplication::SetIcon(plat::IconHandle icon) {
    Icon = icon;
    Backend().ApplicationChanged();
}

void SetBusyCursor(bool busy) { Backend().SetBusyCursor(busy); }

void ResetUIState() {
    Application = TApplication();
    g_modalSteps.clear();
    g_messageHook = nullptr;
    g_backend = &g_headless;
}
