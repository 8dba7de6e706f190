#include "ui/Backend.h"

#include <typeinfo>

#include "image/Stream.h"
#include "install/Utf8.h"
#include "ui/Form.h"

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#endif

TApplication Application;

namespace {

std::vector<TModalStep> g_modalSteps;

// Stands in for the windowing where there is none: fixed metrics of the usual 8-point message
// font at 96 dots per inch, and no windows.
class THeadlessBackend : public TBackend {
public:
    int RunModal(TForm& form) override {
        std::vector<TModalStep> steps;
        steps.swap(g_modalSteps);
        if (steps.empty()) return mrCancel;
        form.SetShown(true);
        for (auto& step : steps) {
            step(form);
            if (form.ModalEnded()) break;
        }
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
};

THeadlessBackend g_headless;
TBackend* g_backend = &g_headless;

}  // namespace

TBackend& Backend() { return *g_backend; }

void SetBackend(TBackend* backend) { g_backend = backend ? backend : &g_headless; }

void SetHeadlessModalSteps(std::vector<TModalStep> steps) { g_modalSteps = std::move(steps); }

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

void HandleException(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error)) return;
    std::string kind = typeid(error).name();
#if defined(__GNUG__)
    int status = 0;
    char* readable = abi::__cxa_demangle(kind.c_str(), nullptr, nullptr, &status);
    if (readable && status == 0) kind = readable;
    std::free(readable);
#endif
    plat::MessageBoxW(0, u"Exception " + WideOfUtf8(kind), Application.Title,
                      plat::kMbTaskModal | plat::kMbIconError | plat::kMbOk);
}

void ResetUIState() {
    Application = TApplication();
    g_modalSteps.clear();
    g_backend = &g_headless;
}
