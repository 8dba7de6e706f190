// Top-level windows, window properties and message boxes.
#include "platform/win32/wide.h"

namespace plat {

using namespace win32;

namespace {

struct Enumeration {
    const std::function<bool(WindowHandle)>* visit;
    bool stopped;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    auto* enumeration = reinterpret_cast<Enumeration*>(context);
    if ((*enumeration->visit)(reinterpret_cast<WindowHandle>(window))) return TRUE;
    enumeration->stopped = true;
    return FALSE;
}

}  // namespace

bool EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    // EnumWindows also answers FALSE when the callback ended it; that is no failure.
    Enumeration enumeration{&visit, false};
    if (::EnumWindows(Visit, reinterpret_cast<LPARAM>(&enumeration))) return true;
    return enumeration.stopped;
}

uintptr_t GetPropW(WindowHandle window, const Wide& name) {
    return reinterpret_cast<uintptr_t>(::GetPropW(reinterpret_cast<HWND>(window), W(name)));
}

int MessageBoxW(WindowHandle owner, const Wide& text, const Wide& caption, uint32_t flags) {
    return ::MessageBoxW(reinterpret_cast<HWND>(owner), W(text), W(caption), flags);
}

}  // namespace plat
