// The Win32 backend: shows a form modally with real windows and runs its message loop, measures
// text with the real fonts, and applies the application's icon and the busy cursor.
//
// The taskbar entry is the form itself (an unowned window with WS_EX_APPWINDOW): the setup has
// one window, and its caption always equals the application's title, so no hidden application
// window is needed (and automation never finds two windows of the same title).
#include "ui/Win32Internal.h"
#include "ui/TextFit.h"

#include <commctrl.h>

#include <vector>

#include "ui/Win32Backend.h"

namespace win32ui {

const wchar_t kFormClass[] = L"TessaronForm";
const wchar_t kContainerClass[] = L"TessaronContainer";
const wchar_t kGraphicClass[] = L"TessaronGraphic";

namespace {

bool g_busy = false;
std::vector<TSession*> g_sessions;  // the forms shown, innermost last
HICON g_smallIcon = nullptr;
HICON g_smallIconOf = nullptr;  // the big icon it was made from

UINT PingMessage() {
    static UINT message = RegisterWindowMessageW(TESSARON_PING_MESSAGE);
    return message;
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PingMessage() && message != 0) {
        SetPropW(window, TESSARON_PING_PROPERTY, reinterpret_cast<HANDLE>(wParam));
        return 0;
    }
    TWinPeer* peer = PeerOfWindow(window);
    if (!peer) return DefWindowProcW(window, message, wParam, lParam);
    TSession& session = peer->Session;
    LRESULT result = 0;
    if (HandleParentMessage(window, message, wParam, lParam, &result)) return result;
    switch (message) {
    case WM_CLOSE:
        // The caption's close button, Alt+F4, the system menu: the modal loop asks the form.
        if (!session.Closing) session.Form.Close();
        return 0;
    case WM_TIMER:
        for (auto& timer : session.Form.Timers)
            if (static_cast<WPARAM>(timer->Id()) == wParam) {
                TTimer* t = timer.get();
                t->Tick();
                break;
            }
        return 0;
    case WM_ACTIVATE:
        if (session.Closing) break;
        if (LOWORD(wParam) == WA_INACTIVE) {
            session.LastFocus = GetFocus();
        } else if (!HIWORD(wParam)) {
            session.RestoreFocus();
        }
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // High contrast switched on or off, or other colours: everything is drawn again.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        break;
    case WM_DPICHANGED: {
        // Moved to a monitor of another DPI: laid out and fonted anew for it, at the place and
        // size Windows suggests.
        SetWindowDpi(HIWORD(wParam));
        session.Rescale();
        const RECT* r = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case kRefitMessage:
        session.RefitPosted = false;
        FitToText(session.Form);
        return 0;
    case kRepairFocusMessage:
        session.RepairFocus();
        return 0;
    case WM_SETCURSOR:
        if (g_busy) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleParentMessage(window, message, wParam, lParam, &result)) return result;
    if (message == WM_ERASEBKGND) return 1;  // WM_PAINT fills it all
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (TWinPeer* peer = PeerOfWindow(window)) PaintContainer(*peer, dc);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK GraphicProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;  // the mouse goes to what lies below, as with a label
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (TWinPeer* peer = PeerOfWindow(window)) PaintGraphic(*peer, dc);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

TSession* SessionOf(const TForm* form) {
    for (TSession* session : g_sessions)
        if (&session->Form == form) return session;
    return nullptr;
}

void StartTimer(HWND window, TTimer& timer) {
    if (timer.Enabled())
        SetTimer(window, static_cast<UINT_PTR>(timer.Id()), static_cast<UINT>(timer.Interval), nullptr);
    else
        KillTimer(window, static_cast<UINT_PTR>(timer.Id()));
}

class TWin32Backend : public TBackend {
public:
    int RunModal(TForm& form) override {
        TSession session(form);
        if (!g_sessions.empty()) session.Owner = g_sessions.back()->Window;
        g_sessions.push_back(&session);
        // Without a display no window can be made: Cancel at once.
        if (!session.CreateWindows()) {
            session.DestroyWindows();
            g_sessions.pop_back();
            return mrCancel;
        }
        form.SetShown(true, reinterpret_cast<plat::WindowHandle>(session.Window));
        for (auto& timer : form.Timers) StartTimer(session.Window, *timer);
        if (session.Owner) EnableWindow(session.Owner, FALSE);

        ShowWindow(session.Window, SW_SHOWNORMAL);
        // Every control painted now, before the work that waits for the form to be shown.
        RedrawWindow(session.Window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        // Then the pages not shown yet, before anything the user does can reach them.
        session.CreateDeferredWindows();
        SetForegroundWindow(session.Window);
        session.RestoreFocus();
        session.UpdateDefaultLook();
        if (form.OnShown) form.OnShown(&form);

        for (;;) {
            if (form.ModalEnded()) break;
            MSG msg;
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                // WM_QUIT: end the form and leave the quit to the loop outside.
                PostQuitMessage(static_cast<int>(msg.wParam));
                form.ModalResult = mrCancel;
                break;
            }
            if (got < 0) {
                form.ModalResult = mrCancel;
                break;
            }
            if (session.HandleDialogKey(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }

        for (auto& timer : form.Timers) KillTimer(session.Window, static_cast<UINT_PTR>(timer->Id()));
        form.SetShown(false);
        session.Closing = true;
        if (session.Owner) EnableWindow(session.Owner, TRUE);
        ShowWindow(session.Window, SW_HIDE);
        session.DestroyWindows();
        g_sessions.pop_back();
        return form.ModalResult == mrNone ? mrCancel : form.ModalResult;
    }

    int TextWidth(const TFont& font, const Wide& text) override {
        int width = 0;
        if (MeasureTextWidth(font, text, &width)) return width;
        return Headless([&](TBackend& b) { return b.TextWidth(font, text); });
    }

    int CharHeight(const TFont& font) override {
        int height = 0;
        if (MeasureCharHeight(font, &height)) return height;
        return Headless([&](TBackend& b) { return b.CharHeight(font); });
    }

    int WrappedTextHeight(const TFont& font, const Wide& text, int width) override {
        int height = 0;
        if (MeasureWrappedHeight(font, text, width, &height)) return height;
        return Headless([&](TBackend& b) { return b.WrappedTextHeight(font, text, width); });
    }

    void SetBusyCursor(bool busy) override {
        g_busy = busy;
        SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
    }

    void ApplicationChanged() override {
        for (TSession* session : g_sessions)
            if (session->Window) ApplyApplicationIcons(session->Window);
    }

    void TimerChanged(TTimer& timer) override {
        TSession* session = SessionOf(timer.Form());
        if (session && session->Window) StartTimer(session->Window, timer);
    }

    plat::WindowHandle ShownFormWindow() override {
        return g_sessions.empty() ? 0 : reinterpret_cast<plat::WindowHandle>(g_sessions.back()->Window);
    }

    void ProcessMessages() override {
        if (g_sessions.empty()) return;
        TSession& session = *g_sessions.back();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // For the modal loop, which ends the form on it.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (session.HandleDialogKey(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

private:
    // The headless metrics, for when there is no DC to measure with.
    template <class F>
    int Headless(F measure) {
        SetBackend(nullptr);
        int value = measure(Backend());
        SetBackend(this);
        return value;
    }
};

}  // namespace

bool RegisterWindowClasses() {
    static bool registered = [] {
        // The common controls are loaded only when a window is made, not by every run: by name,
        // so that the manifest's version 6 is taken (the search is already limited to the
        // system folder).
        using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        if (HMODULE comctl = LoadLibraryW(L"comctl32.dll")) {
            auto init = reinterpret_cast<InitFn>(
                reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")));
            INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES};
            if (init) init(&controls);
        }
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW cls = {};
        cls.cbSize = sizeof(cls);
        cls.hInstance = instance;
        cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);

        cls.lpfnWndProc = FormProc;
        cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        cls.lpszClassName = kFormClass;
        if (!RegisterClassExW(&cls)) return false;

        cls.lpfnWndProc = ContainerProc;
        cls.hbrBackground = nullptr;
        cls.lpszClassName = kContainerClass;
        if (!RegisterClassExW(&cls)) return false;

        cls.lpfnWndProc = GraphicProc;
        cls.lpszClassName = kGraphicClass;
        return RegisterClassExW(&cls) != 0;
    }();
    return registered;
}

void ApplyApplicationIcons(HWND window) {
    HICON big = reinterpret_cast<HICON>(Application.Icon);
    if (big != g_smallIconOf) {
        if (g_smallIcon && g_smallIcon != g_smallIconOf) DestroyIcon(g_smallIcon);
        g_smallIcon = nullptr;
        g_smallIconOf = big;
        if (big) {
            int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
            // The small image of the same icon resource, when the icon came from one.
            g_smallIcon = static_cast<HICON>(CopyImage(big, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE));
            if (!g_smallIcon) g_smallIcon = static_cast<HICON>(CopyImage(big, IMAGE_ICON, cx, cy, 0));
            if (!g_smallIcon) g_smallIcon = big;
        }
    }
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_smallIcon));
}

}  // namespace win32ui

void InstallWin32Backend() {
    static win32ui::TWin32Backend backend;
    SetBackend(&backend);
}
