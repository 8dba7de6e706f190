// Stand-in for the Tessaron Word Processor application that the setup program installs: a plain
// text editor window. It marks its main window with the window property "1.x Coral Wing", by which
// the setup program recognises a running copy, and shows the interface language it was started
// with ("-uilp <code>"). "-ui" (with "-S" or "/S" for a silent run) removes the installed copy
// again; it opens no window, so it never carries the mark itself.
#include <windows.h>

#include <string>
#include <vector>

#include "base/Arguments.h"
#include "platform/platform.h"
#include "resources/Product.h"
#include "standin/Elevation.h"
#include "standin/InstalledCopy.h"
#include "standin/RemovalSwitches.h"
#include "standin/SelfRemoval_win32.h"
#include "standin/Uninstall.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TessaronStandInMain";
constexpr int kEditorId = 100;
constexpr int kLanguageId = 101;

std::wstring g_language;

// The product's wide texts, as the Windows calls take them.
const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// The arguments after the program path, split the usual Windows way.
std::wstring LanguageArgument() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring language;
    for (int i = 1; args && i + 1 < count; ++i)
        if (lstrcmpiW(args[i], W(kLanguageSwitch)) == 0) language = args[i + 1];
    if (args) LocalFree(args);
    return language;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        auto* font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        std::wstring label = g_language.empty() ? L"Started without an interface language"
                                                : L"Started with -uilp " + g_language;
        HWND status = CreateWindowExW(0, L"STATIC", label.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0,
                                      0, window, reinterpret_cast<HMENU>(kLanguageId), nullptr,
                                      nullptr);
        HWND editor = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                          ES_AUTOVSCROLL | ES_WANTRETURN,
                                      0, 0, 0, 0, window, reinterpret_cast<HMENU>(kEditorId),
                                      nullptr, nullptr);
        SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return 0;
    }
    case WM_SIZE: {
        int width = LOWORD(lParam), height = HIWORD(lParam);
        MoveWindow(GetDlgItem(window, kLanguageId), 4, 4, width - 8, 18, TRUE);
        MoveWindow(GetDlgItem(window, kEditorId), 0, 26, width, height - 26, TRUE);
        return 0;
    }
    case WM_SETFOCUS:
        SetFocus(GetDlgItem(window, kEditorId));
        return 0;
    case WM_DESTROY:
        RemovePropW(window, W(kRunningMark));
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring W(const plat::Wide& text) { return std::wstring(text.begin(), text.end()); }

bool SameSwitch(const plat::Wide& argument, const wchar_t* name) {
    return lstrcmpiW(W(argument).c_str(), name) == 0;
}

// The removal commands; -1 when the command line holds none.
int RemovalCommand() {
    std::vector<plat::Wide> args = ProgramArguments();
    TUninstallOptions options;
    if (ReadRemovalSwitches(args, &options)) {
        plat::ResolveSHGetFolderPathW();
        options.ProgramPath = plat::GetModuleFileNameW();
        options.StartFinish = [](const plat::Wide& folder) {
            return StartFinishCopy(W(folder), MayDeleteAtRestart(folder));
        };
        return Uninstall(options);
    }
    for (size_t i = 0; i < args.size(); ++i) {
        if (SameSwitch(args[i], kFinishSwitch) && i + 2 < args.size()) {
            plat::ResolveSHGetFolderPathW();
            return RunFinishCopy(W(args[i + 1]), W(args[i + 2]));
        }
    }
    return -1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    // "-ui" runs a copy of this program from the temporary folder, where anyone may have left a
    // library: none may come from the program's folder or the current folder.
    plat::RestrictLibrarySearch();
    int removal = RemovalCommand();
    if (removal >= 0) return removal;
    g_language = LanguageArgument();

    WNDCLASSW wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassW(&wc)) return 1;

    std::wstring title = L"" TSD_PRODUCT_NAME;
    if (!g_language.empty()) title += L" (-uilp " + g_language + L")";
    HWND window = CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    SetPropW(window, W(kRunningMark), reinterpret_cast<HANDLE>(1));
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
