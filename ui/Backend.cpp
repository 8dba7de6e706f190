#include "ui/Backend.h"

#include <typeinfo>

#include "base/Utf8.h"
#include "image/Stream.h"
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

std::string ReadableTypeName(const char* mangled) {
    // Error kinds are plain class names, possibly in namespaces: "St13runtime_error",
    // "N4tool5ErrorE", "6EAbort". The full demangler would add more code than the whole wizard
    // for names no error of this program has; anything else is shown as it stands.
    std::string name;
    const char* p = mangled;
    bool nested = false;
    if (*p == 'N') {
        nested = true;
        ++p;
    }
    if (p[0] == 'S' && p[1] == 't') {
        name = "std";
        p += 2;
    }
    while (*p >= '0' && *p <= '9') {
        size_t length = 0;
        while (*p >= '0' && *p <= '9' && length < 4096) length = length * 10 + size_t(*p++ - '0');
        size_t available = 0;
        while (available < length && p[available]) ++available;
        if (available < length) return mangled;
        if (!name.empty()) name += "::";
        name.append(p, length);
        p += length;
    }
    if (nested && *p == 'E') ++p;
    if (*p || name.empty()) return mangled;
    return name;
}

void HandleException(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error)) return;
    std::string kind = ReadableTypeName(typeid(error).name());
    // Owned by the form shown, so that the form is active again once the box is closed.
    plat::MessageBoxW(Backend().ShownFormWindow(), u"Exception " + WideOfUtf8(kind), Application.Title,
                      plat::kMbTaskModal | plat::kMbIconError | plat::kMbOk);
}

void ResetUIState() {
    Application = TApplication();
    g_modalSteps.clear();
    g_messageHook = nullptr;
    g_backend = &g_headless;
}
