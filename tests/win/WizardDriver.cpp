// wizard_driver.exe: drives a program's windows from another process, as a user would, by a
// script, for the Wine tests.
//
//   wizard_driver.exe --script FILE --result FILE [--log FILE] [--limit SECONDS] -- PROGRAM [ARGS...]
//
// It starts PROGRAM, then runs the script's lines in order. Controls are found by the window
// property "TessaronControl" (a global atom of the control's name) that the program's window
// backend puts on every control window. Every wait has a time limit; the first failure prints
// "FAIL: ..." and ends the driver with exit code 1, after ending the program. The result file
// gets "exit_code=N" (the program's, when it ended) and "result=OK" or "result=FAIL: ...",
// because under a Wine virtual desktop the driver's own exit code (and output) is lost; --log
// keeps a copy of the output. Paths starting with
// "/" are taken as Unix paths (drive Z:).
//
// Script lines (words; texts in double quotes with \" \\ \r \n \t escapes; "#" starts a comment):
//   window class NAME [SECONDS]      wait for a visible top-level window of the program
//   window title "TEXT" [SECONDS]
//   window any "TEXT" [SECONDS]      the same for a window of any process (one the program
//                                      started), by its title
//   expect_title "TEXT"              the current window's caption
//   expect_client_size W H           the current window's client area in pixels
//   click CONTROL                    press a button (it must be visible and enabled)
//   check CONTROL on|off             set a check box as a click would
//   select CONTROL index N           select in a drop-down list or list box, with the
//   select CONTROL text "TEXT"         notification the control sends to its parent
//   type CONTROL "TEXT"              replace an edit's text by typing it
//   key return|escape|tab|alt+C      a key press in the focused control
//   expect_text CONTROL "TEXT"       the control's text (WM_GETTEXT)
//   expect_contains CONTROL "TEXT"
//   wait_text CONTROL "TEXT" [SECONDS]
//   expect CONTROL visible|hidden|enabled|disabled|checked|unchecked|focused
//   expect_active                    the current window is the program's active window, enabled,
//                                      with the keyboard focus inside it
//   expect_name CONTROL "TEXT"       the name a screen reader reads (its accessible object's)
//   expect_after CONTROL PREVIOUS    PREVIOUS lies right before CONTROL in z-order (a label
//                                      before the control it names)
//   expect_order CONTROL...          the controls (siblings) come in this order in z-order
//   expect_group CONTROL yes|no      whether the control starts a group (WS_GROUP)
//   press KEY                        a real key press (SendInput) to the focused window:
//                                      tab, shift+tab, return, escape, space, up, down,
//                                      alt+C
//   wait CONTROL STATE [SECONDS]     until the control is in that state (as expect)
//   expect_items CONTROL N           number of items of a list or drop-down list
//   expect_selected CONTROL "TEXT"   the text of the selected item
//   expect_item_height CONTROL N     the height of the items of a list or drop-down list, in
//                                      pixels (as the program answered when asked for it)
//   msgbox press yes|no|ok|cancel|retry|abort|ignore [text "TEXT" | contains "TEXT"] [SECONDS]
//   no_msgbox                        no message box of the program is open
//   screenshot FILE                  the current window's screen area as a 24-bit BMP
//   expect_inside [EXCEPT...]        every visible control lies inside the window's client area
//                                      and inside its parent's, but the named ones (which may
//                                      overlap the edges by design)
//   expect_text_fits [EXCEPT...]     every visible label, button, check box and edit shows its
//                                      whole text in the message font: nothing clipped (name
//                                      the controls in other fonts as exceptions)
//   expect_item_picture CONTROL INDEX MIN  the picture drawn at the left of that list item is
//                                      at least MIN pixels wide (scaled for the DPI)
//   close                            WM_CLOSE to the current window
//   wait_exit [SECONDS]              wait until the program ends
//   expect_exit CODE                 its exit code
//   sleep MILLISECONDS
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring g_resultFile;
FILE* g_log = nullptr;  // a copy of what is printed
PROCESS_INFORMATION g_process = {};
bool g_exited = false;
DWORD g_exitCode = 0;
int g_line = 0;
HWND g_window = nullptr;  // the current top-level window
DWORD g_pingCounter = 0;
UINT g_pingMessage = 0;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

// Shows control characters so that a mismatch can be read.
std::string Shown(const std::wstring& text) {
    std::string out = "\"";
    for (char c : Utf8(text)) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '"') out += "\\\"";
        else out += c;
    }
    return out + "\"";
}

void WriteResult(const std::string& result) {
    if (g_resultFile.empty()) return;
    FILE* f = _wfopen(g_resultFile.c_str(), L"wb");
    if (!f) return;
    if (g_exited) std::fprintf(f, "exit_code=%lu\n", static_cast<unsigned long>(g_exitCode));
    std::fprintf(f, "result=%s\n", result.c_str());
    std::fclose(f);
}

[[noreturn]] void Fail(const std::string& why) {
    std::string text = "FAIL: ";
    if (g_line > 0) text += "line " + std::to_string(g_line) + ": ";
    text += why;
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    if (g_log) {
        std::fprintf(g_log, "%s\n", text.c_str());
        std::fflush(g_log);
    }
    if (g_process.hProcess && !g_exited) {
        // Nothing may be left running: the program is ended with the failure.
        TerminateProcess(g_process.hProcess, 255);
        WaitForSingleObject(g_process.hProcess, 5000);
    }
    WriteResult(text.substr(6));
    ExitProcess(1);
}

void Log(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
    if (g_log) {
        std::fprintf(g_log, "%s\n", text.c_str());
        std::fflush(g_log);
    }
}

// ---- Script parsing ----

std::vector<std::wstring> SplitWords(const std::wstring& line) {
    std::vector<std::wstring> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == L' ' || line[i] == L'\t' || line[i] == L'\r') {
            ++i;
            continue;
        }
        if (line[i] == L'#') break;
        std::wstring word;
        if (line[i] == L'"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                wchar_t c = line[i++];
                if (c == L'\\' && i < line.size()) {
                    wchar_t e = line[i++];
                    word += e == L'r' ? L'\r' : e == L'n' ? L'\n' : e == L't' ? L'\t' : e;
                } else if (c == L'"') {
                    closed = true;
                    break;
                } else {
                    word += c;
                }
            }
            if (!closed) Fail("a quoted text is not closed");
        } else {
            while (i < line.size() && line[i] != L' ' && line[i] != L'\t' && line[i] != L'\r') word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

int ToInt(const std::wstring& word) {
    wchar_t* end = nullptr;
    long v = std::wcstol(word.c_str(), &end, 10);
    if (word.empty() || *end) Fail("\"" + Utf8(word) + "\" is not a number");
    return static_cast<int>(v);
}

std::wstring WindowsPath(const std::wstring& path) {
    if (path.empty() || path[0] != L'/') return path;
    std::wstring out = L"Z:" + path;
    for (auto& c : out)
        if (c == L'/') c = L'\\';
    return out;
}

// ---- Windows of the program ----

bool ProgramEnded() {
    if (g_exited) return true;
    if (WaitForSingleObject(g_process.hProcess, 0) == WAIT_OBJECT_0) {
        GetExitCodeProcess(g_process.hProcess, &g_exitCode);
        g_exited = true;
    }
    return g_exited;
}

bool OfProgram(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid == g_process.dwProcessId;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {0};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT is carried across processes; a hung program must not hang the driver.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        Fail("the program does not answer WM_GETTEXTLENGTH");
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&buffer[0]),
                             SMTO_ABORTIFHUNG, 5000, &got))
        Fail("the program does not answer WM_GETTEXT");
    buffer.resize(got);
    return buffer;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result))
        Fail("the program did not answer message " + std::to_string(message) + " within 10 s");
    return static_cast<LRESULT>(result);
}

struct FindTop {
    std::wstring cls, title;
    HWND found = nullptr;
    bool anyProcess = false;
};

BOOL CALLBACK VisitTop(HWND window, LPARAM context) {
    auto* find = reinterpret_cast<FindTop*>(context);
    if ((!find->anyProcess && !OfProgram(window)) || !IsWindowVisible(window)) return TRUE;
    if (!find->cls.empty() && ClassOf(window) != find->cls) return TRUE;
    if (!find->title.empty() && TextOf(window) != find->title) return TRUE;
    find->found = window;
    return FALSE;
}

HWND FindTopWindow(const std::wstring& cls, const std::wstring& title, bool anyProcess = false) {
    FindTop find{cls, title, nullptr, anyProcess};
    EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

struct FindChild {
    ATOM atom;
    HWND found;
};

BOOL CALLBACK VisitChild(HWND window, LPARAM context) {
    auto* find = reinterpret_cast<FindChild*>(context);
    if (reinterpret_cast<ULONG_PTR>(GetPropW(window, L"TessaronControl")) == find->atom) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Control(const std::wstring& name) {
    if (!g_window || !IsWindow(g_window)) Fail("no current window (use \"window\" first)");
    // Every control's property holds the global atom of its name: find the atom, then the window.
    ATOM atom = GlobalFindAtomW(name.c_str());
    FindChild find{atom, nullptr};
    if (atom) EnumChildWindows(g_window, VisitChild, reinterpret_cast<LPARAM>(&find));
    if (!find.found) Fail("no control named " + Utf8(name));
    return find.found;
}

// Waits until the program's thread has handled everything posted to it so far: a ping posted
// after the input comes back only once the input's handling returned to a message loop (the
// main one, or a message box's).
void Settle(unsigned seconds = 20) {
    if (!g_window || !IsWindow(g_window)) return;
    DWORD cookie = ++g_pingCounter + 0x5A000000u;
    PostMessageW(g_window, g_pingMessage, cookie, 0);
    DWORD start = GetTickCount();
    for (;;) {
        if (!IsWindow(g_window) || ProgramEnded()) return;
        if (reinterpret_cast<ULONG_PTR>(GetPropW(g_window, L"TessaronPing")) == cookie) break;
        if (GetTickCount() - start > seconds * 1000) Fail("the program did not handle its input within " + std::to_string(seconds) + " s");
        Sleep(10);
    }
    // And it answers sent messages again.
    DWORD_PTR ignored;
    SendMessageTimeoutW(g_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool IsClass(HWND window, const wchar_t* part) {
    std::wstring cls = ClassOf(window);
    for (auto& c : cls) c = static_cast<wchar_t>(towlower(c));
    return cls.find(part) != std::wstring::npos;
}

void RequireUsable(HWND control, const std::wstring& name) {
    if (!IsWindowVisible(control)) Fail(Utf8(name) + " is not visible");
    if (!IsWindowEnabled(control)) Fail(Utf8(name) + " is disabled");
}

// ---- Message boxes ----

struct FindBox {
    HWND found = nullptr;
};

BOOL CALLBACK VisitBox(HWND window, LPARAM context) {
    if (OfProgram(window) && IsWindowVisible(window) && ClassOf(window) == L"#32770") {
        reinterpret_cast<FindBox*>(context)->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindMessageBox() {
    FindBox find;
    EnumWindows(VisitBox, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

int ButtonId(const std::wstring& name) {
    if (name == L"ok") return IDOK;
    if (name == L"cancel") return IDCANCEL;
    if (name == L"abort") return IDABORT;
    if (name == L"retry") return IDRETRY;
    if (name == L"ignore") return IDIGNORE;
    if (name == L"yes") return IDYES;
    if (name == L"no") return IDNO;
    Fail("unknown button " + Utf8(name));
}

// ---- Screenshot ----

// The pixels of the screen's rectangle, bottom-up rows of 24 bits as a BMP file holds them.
std::vector<uint8_t> Capture(const RECT& r) {
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!bitmap) Fail("cannot make the screenshot's bitmap");
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (!BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT))
        Fail("BitBlt from the screen failed");
    GdiFlush();
    size_t size = static_cast<size_t>(((width * 3 + 3) & ~3) * height);
    std::vector<uint8_t> pixels(static_cast<uint8_t*>(bits), static_cast<uint8_t*>(bits) + size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void Screenshot(const std::wstring& file) {
    Settle();
    RECT r;
    GetWindowRect(g_window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) Fail("the window has no area");
    // Painting comes after the posted input has been handled: take the picture once two
    // captures a moment apart agree.
    Sleep(150);
    std::vector<uint8_t> pixels = Capture(r);
    for (int attempt = 0; attempt < 20; ++attempt) {
        Sleep(150);
        std::vector<uint8_t> again = Capture(r);
        if (again == pixels) break;
        pixels.swap(again);
    }
    BITMAPFILEHEADER header = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + info.biSizeImage;
    FILE* f = _wfopen(file.c_str(), L"wb");
    if (!f) Fail("cannot write " + Utf8(file));
    bool ok = std::fwrite(&header, sizeof(header), 1, f) == 1 && std::fwrite(&info, sizeof(info), 1, f) == 1 &&
              std::fwrite(pixels.data(), pixels.size(), 1, f) == 1;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) Fail("cannot write " + Utf8(file));
}

// ---- Layout ----

std::wstring NameOf(HWND control) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(control, L"TessaronControl")));
    wchar_t name[256] = {0};
    if (!atom || !GlobalGetAtomNameW(atom, name, 256)) return L"";
    return name;
}

RECT ClientOnScreen(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Within(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Shown(const RECT& r, const RECT& origin) {
    return "(" + std::to_string(r.left - origin.left) + "," + std::to_string(r.top - origin.top) + ")-(" +
           std::to_string(r.right - origin.left) + "," + std::to_string(r.bottom - origin.top) + ")";
}

struct Layout {
    std::vector<std::wstring> except;
    RECT form;
    std::string problems;
    int checked = 0;
};

BOOL CALLBACK VisitLaidOut(HWND window, LPARAM context) {
    auto* layout = reinterpret_cast<Layout*>(context);
    std::wstring name = NameOf(window);
    if (name.empty() || !IsWindowVisible(window)) return TRUE;
    if (std::find(layout->except.begin(), layout->except.end(), name) != layout->except.end()) return TRUE;
    ++layout->checked;
    RECT r;
    GetWindowRect(window, &r);
    HWND parent = GetParent(window);
    RECT inParent = ClientOnScreen(parent);
    if (!Within(r, layout->form))
        layout->problems += " " + Utf8(name) + " " + Shown(r, layout->form) + " leaves the form's client area " +
                            Shown(layout->form, layout->form) + ";";
    else if (!Within(r, inParent))
        layout->problems += " " + Utf8(name) + " " + Shown(r, layout->form) + " leaves " +
                            (NameOf(parent).empty() ? std::string("its parent") : Utf8(NameOf(parent))) + " " +
                            Shown(inParent, layout->form) + ";";
    return TRUE;
}

void ExpectInside(const std::vector<std::wstring>& except) {
    if (!g_window || !IsWindow(g_window)) Fail("no current window (use \"window\" first)");
    Layout layout;
    layout.except = except;
    layout.form = ClientOnScreen(g_window);
    EnumChildWindows(g_window, VisitLaidOut, reinterpret_cast<LPARAM>(&layout));
    if (layout.checked == 0) Fail("no visible control to check");
    if (!layout.problems.empty()) Fail("controls leave their place:" + layout.problems);
    Log("ok: " + std::to_string(layout.checked) + " visible controls inside the form");
}

// ---- What a screen reader and a keyboard user meet ----

// The name the control's accessible object gives, as a screen reader asks for it.
std::wstring AccessibleNameOf(HWND control) {
    using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    using FreeFn = void(WINAPI*)(BSTR);
    static HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    static HMODULE oleaut = LoadLibraryW(L"oleaut32.dll");
    auto fromWindow = reinterpret_cast<FromWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
    auto freeString = reinterpret_cast<FreeFn>(reinterpret_cast<void*>(GetProcAddress(oleaut, "SysFreeString")));
    if (!fromWindow || !freeString) Fail("the accessibility library cannot be loaded");
    static const IID iid = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    IAccessible* accessible = nullptr;
    HRESULT hr = fromWindow(control, static_cast<DWORD>(OBJID_CLIENT), iid, reinterpret_cast<void**>(&accessible));
    if (FAILED(hr) || !accessible) Fail("no accessible object (error " + std::to_string(hr) + ")");
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    hr = accessible->get_accName(self, &name);
    std::wstring text = name ? std::wstring(name, SysStringLen(name)) : std::wstring();
    if (name) freeString(name);
    accessible->Release();
    if (FAILED(hr)) Fail("the accessible object gives no name (error " + std::to_string(hr) + ")");
    return text;
}

void PressKey(const std::wstring& key) {
    std::vector<WORD> modifiers;
    std::wstring rest = key;
    if (rest.compare(0, 6, L"shift+") == 0) modifiers.push_back(VK_SHIFT), rest = rest.substr(6);
    if (rest.compare(0, 4, L"alt+") == 0) modifiers.push_back(VK_MENU), rest = rest.substr(4);
    WORD vk = rest == L"tab" ? VK_TAB : rest == L"return" ? VK_RETURN : rest == L"escape" ? VK_ESCAPE
              : rest == L"space" ? VK_SPACE : rest == L"up" ? VK_UP : rest == L"down" ? VK_DOWN : 0;
    if (!vk && rest.size() == 1 && iswalnum(rest[0])) vk = static_cast<WORD>(towupper(rest[0]));
    if (!vk) Fail("unknown key " + Utf8(key));
    std::vector<INPUT> inputs;
    auto add = [&](WORD code, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD m : modifiers) add(m, false);
    add(vk, false);
    add(vk, true);
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) add(*m, true);
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        Fail("SendInput failed for " + Utf8(key));
    Sleep(50);
    Settle();
}

GUITHREADINFO ProgramFocus() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(g_process.dwThreadId, &info)) Fail("cannot read the program's focus");
    return info;
}

// ---- Text that fits ----

struct Fits {
    std::vector<std::wstring> except;
    std::string problems;
    int checked = 0;
};

BOOL CALLBACK VisitText(HWND window, LPARAM context) {
    auto* fits = reinterpret_cast<Fits*>(context);
    std::wstring name = NameOf(window);
    if (name.empty() || !IsWindowVisible(window)) return TRUE;
    if (std::find(fits->except.begin(), fits->except.end(), name) != fits->except.end()) return TRUE;
    std::wstring cls = ClassOf(window);
    for (auto& c : cls) c = static_cast<wchar_t>(towlower(c));
    bool label = cls == L"static", button = cls == L"button", edit = cls == L"edit";
    if (!label && !button && !edit) return TRUE;
    LONG style = GetWindowLongW(window, GWL_STYLE);
    if (edit && (style & ES_MULTILINE)) return TRUE;  // a memo scrolls
    if (label && (style & SS_PATHELLIPSIS)) return TRUE;  // shortens itself
    std::wstring text = TextOf(window);
    RECT client;
    GetClientRect(window, &client);
    // A font handle means nothing in another process: measured with the message font that the
    // program's controls use (the same desktop's, at the same DPI).
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }();
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    int width = client.right, height = client.bottom;
    int type = style & BS_TYPEMASK;
    bool check = button && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX);
    if (check) width -= GetSystemMetrics(SM_CXMENUCHECK) + 2;
    if (button && !check) width -= 6, height -= 4;  // the raised edge and the focus frame
    if (edit) height -= 2;                             // the inner margins
    bool wraps = (label && (style & SS_TYPEMASK) == SS_LEFT) || (button && (style & BS_MULTILINE));
    RECT need = {0, 0, width, 0};
    UINT flags = DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (edit ? DT_NOPREFIX : 0);
    if (!text.empty()) DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, flags);
    else need.bottom = 0;
    if (edit) need.bottom = metrics.tmHeight;
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    ++fits->checked;
    std::string why;
    if (need.bottom > height) why = "needs " + std::to_string(need.bottom) + " px of height, has " + std::to_string(height);
    else if (!wraps && !edit && need.right > width) why = "needs " + std::to_string(need.right) + " px of width, has " + std::to_string(width);
    if (!why.empty()) fits->problems += " " + Utf8(name) + " " + Shown(text) + " " + why + ";";
    return TRUE;
}

void ExpectTextFits(const std::vector<std::wstring>& except) {
    if (!g_window || !IsWindow(g_window)) Fail("no current window (use \"window\" first)");
    Fits fits;
    fits.except = except;
    EnumChildWindows(g_window, VisitText, reinterpret_cast<LPARAM>(&fits));
    if (fits.checked == 0) Fail("no visible text to check");
    if (!fits.problems.empty()) Fail("text is clipped:" + fits.problems);
    Log("ok: " + std::to_string(fits.checked) + " texts fit");
}

// The width of the first run of columns that differ from the background (the colour at the
// right end of the middle row), up to a gap of three background columns.
int PictureWidth(const std::vector<uint8_t>& pixels, int width, int height) {
    int stride = (width * 3 + 3) & ~3;
    auto at = [&](int x, int y) {
        const uint8_t* p = &pixels[static_cast<size_t>((height - 1 - y) * stride + x * 3)];
        return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    };
    uint32_t background = at(width - 1, height / 2);
    auto marked = [&](int x) {
        for (int y = 1; y < height - 1; ++y)
            if (at(x, y) != background) return true;
        return false;
    };
    int first = 0;
    while (first < width && !marked(first)) ++first;
    int last = first, gap = 0;
    for (int x = first; x < width && gap < 3; ++x) {
        if (marked(x)) last = x, gap = 0;
        else ++gap;
    }
    return first < width ? last - first + 1 : 0;
}

// Fails unless the picture drawn at the left of a list item (or in a drop-down list's selection
// field) is at least minimum pixels wide.
void ExpectItemPicture(HWND list, int index, int minimum) {
    bool combo = IsClass(list, L"combobox");
    RECT item;
    if (combo) {
        // The selection field of a closed drop-down list shows the current item: the client
        // area inside its edge, left of the drop-down button.
        GetClientRect(list, &item);
        InflateRect(&item, -3, -3);
        item.right -= GetSystemMetrics(SM_CXVSCROLL);
    } else if (Send(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
        Fail("no item " + std::to_string(index));
    }
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
    // Painting follows the handled input: measured again until the picture shows (or 3 s).
    int drawn = 0;
    for (int attempt = 0; attempt < 20 && drawn < minimum; ++attempt) {
        if (attempt) Sleep(150);
        drawn = PictureWidth(Capture(item), item.right - item.left, item.bottom - item.top);
    }
    if (drawn < minimum) Fail("the picture of item " + std::to_string(index) + " is " + std::to_string(drawn) + " px wide, expected at least " + std::to_string(minimum));
    Log("ok: the picture is " + std::to_string(drawn) + " px wide");
}

bool HasState(HWND c, const std::wstring& state) {
    if (state == L"visible") return IsWindowVisible(c);
    if (state == L"hidden") return !IsWindowVisible(c);
    if (state == L"enabled") return IsWindowEnabled(c);
    if (state == L"disabled") return !IsWindowEnabled(c);
    if (state == L"checked") return Send(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (state == L"unchecked") return Send(c, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
    if (state == L"focused") return ProgramFocus().hwndFocus == c;
    Fail("unknown state " + Utf8(state));
}

// ---- The commands ----

unsigned Seconds(const std::vector<std::wstring>& w, size_t at, unsigned fallback) {
    return w.size() > at ? static_cast<unsigned>(ToInt(w[at])) : fallback;
}

void Need(const std::vector<std::wstring>& w, size_t n) {
    if (w.size() < n) Fail("too few words for " + Utf8(w[0]));
}

void Run(const std::vector<std::wstring>& w) {
    const std::wstring& cmd = w[0];
    if (cmd == L"window") {
        Need(w, 3);
        unsigned limit = Seconds(w, 3, 20);
        DWORD start = GetTickCount();
        for (;;) {
            bool any = w[1] == L"any";
            HWND found = w[1] == L"class" ? FindTopWindow(w[2], L"") : FindTopWindow(L"", w[2], any);
            if (found) {
                g_window = found;
                break;
            }
            if (!any && ProgramEnded()) Fail("the program ended (exit code " + std::to_string(g_exitCode) + ") before its window showed");
            if (GetTickCount() - start > limit * 1000) Fail("no visible window " + Utf8(w[1]) + " " + Shown(w[2]) + " within " + std::to_string(limit) + " s");
            Sleep(50);
        }
        Settle();
    } else if (cmd == L"expect_title") {
        Need(w, 2);
        std::wstring title = TextOf(g_window);
        if (title != w[1]) Fail("title " + Shown(title) + ", expected " + Shown(w[1]));
    } else if (cmd == L"expect_client_size") {
        Need(w, 3);
        RECT r;
        GetClientRect(g_window, &r);
        if (r.right != ToInt(w[1]) || r.bottom != ToInt(w[2]))
            Fail("client area " + std::to_string(r.right) + " x " + std::to_string(r.bottom) + ", expected " + Utf8(w[1]) + " x " + Utf8(w[2]));
    } else if (cmd == L"click") {
        Need(w, 2);
        HWND c = Control(w[1]);
        RequireUsable(c, w[1]);
        // Posted: a click that opens a message box would block a sent one.
        PostMessageW(c, BM_CLICK, 0, 0);
        Settle();
    } else if (cmd == L"check") {
        Need(w, 3);
        HWND c = Control(w[1]);
        RequireUsable(c, w[1]);
        bool want = w[2] == L"on";
        bool now = Send(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (now != want) {
            PostMessageW(c, BM_CLICK, 0, 0);
            Settle();
        }
        if ((Send(c, BM_GETCHECK, 0, 0) == BST_CHECKED) != want) Fail(Utf8(w[1]) + " did not become " + Utf8(w[2]));
    } else if (cmd == L"select") {
        Need(w, 4);
        HWND c = Control(w[1]);
        RequireUsable(c, w[1]);
        bool combo = IsClass(c, L"combobox");
        if (!combo && !IsClass(c, L"listbox")) Fail(Utf8(w[1]) + " is no list");
        int count = static_cast<int>(Send(c, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
        int index = -1;
        if (w[2] == L"index") {
            index = ToInt(w[3]);
        } else {
            for (int i = 0; i < count && index < 0; ++i) {
                int length = static_cast<int>(Send(c, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0));
                std::wstring item(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
                Send(c, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(&item[0]));
                item.resize(wcslen(item.c_str()));
                if (item == w[3]) index = i;
            }
        }
        if (index < 0 || index >= count) Fail(Utf8(w[1]) + " has no item " + Utf8(w[2]) + " " + Shown(w[3]));
        Send(c, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        // The notification the control sends its parent when the user selects.
        PostMessageW(GetParent(c), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(c), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(c));
        Settle();
    } else if (cmd == L"type") {
        Need(w, 3);
        HWND c = Control(w[1]);
        RequireUsable(c, w[1]);
        Send(c, EM_SETSEL, 0, -1);
        PostMessageW(c, WM_CHAR, 8, 0);  // removes the selected text
        for (wchar_t ch : w[2]) PostMessageW(c, WM_CHAR, ch, 1);
        Settle();
        std::wstring text = TextOf(c);
        if (text != w[2]) Fail(Utf8(w[1]) + " holds " + Shown(text) + " after typing " + Shown(w[2]));
    } else if (cmd == L"key") {
        Need(w, 2);
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(g_process.dwThreadId, &info)) Fail("cannot read the program's focus");
        HWND target = info.hwndFocus ? info.hwndFocus : g_window;
        const std::wstring& key = w[1];
        if (key.size() == 5 && key.compare(0, 4, L"alt+") == 0) {
            PostMessageW(target, WM_SYSCHAR, key[4], 1u << 29);
        } else {
            WPARAM vk = key == L"return" ? VK_RETURN : key == L"escape" ? VK_ESCAPE : key == L"tab" ? VK_TAB : 0;
            if (!vk) Fail("unknown key " + Utf8(key));
            PostMessageW(target, WM_KEYDOWN, vk, 1);
            PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
        }
        Settle();
    } else if (cmd == L"expect_text" || cmd == L"expect_contains") {
        Need(w, 3);
        std::wstring text = TextOf(Control(w[1]));
        bool ok = cmd == L"expect_text" ? text == w[2] : text.find(w[2]) != std::wstring::npos;
        if (!ok) Fail(Utf8(w[1]) + " shows " + Shown(text) + ", expected " + (cmd == L"expect_text" ? "" : "it to contain ") + Shown(w[2]));
    } else if (cmd == L"wait_text") {
        Need(w, 3);
        unsigned limit = Seconds(w, 3, 20);
        DWORD start = GetTickCount();
        for (;;) {
            std::wstring text = TextOf(Control(w[1]));
            if (text == w[2]) break;
            if (GetTickCount() - start > limit * 1000) Fail(Utf8(w[1]) + " still shows " + Shown(text) + " after " + std::to_string(limit) + " s, expected " + Shown(w[2]));
            Sleep(50);
        }
    } else if (cmd == L"expect") {
        Need(w, 3);
        HWND c = Control(w[1]);
        if (!HasState(c, w[2])) {
            if (w[2] == L"focused") {
                HWND focus = ProgramFocus().hwndFocus;
                Fail(Utf8(w[1]) + " is not focused; the focus is on " + (focus ? "\"" + Utf8(NameOf(focus)) + "\" (" + Utf8(ClassOf(focus)) + ")" : std::string("nothing")));
            }
            Fail(Utf8(w[1]) + " is not " + Utf8(w[2]));
        }
    } else if (cmd == L"wait") {
        Need(w, 3);
        unsigned limit = Seconds(w, 3, 20);
        DWORD start = GetTickCount();
        while (!HasState(Control(w[1]), w[2])) {
            if (ProgramEnded()) Fail("the program ended while waiting for " + Utf8(w[1]) + " to be " + Utf8(w[2]));
            if (GetTickCount() - start > limit * 1000) Fail(Utf8(w[1]) + " is still not " + Utf8(w[2]) + " after " + std::to_string(limit) + " s");
            Sleep(50);
        }
        Settle();
    } else if (cmd == L"expect_active") {
        GUITHREADINFO info = ProgramFocus();
        if (info.hwndActive != g_window) Fail("the window is not active (the active one: " + Utf8(ClassOf(info.hwndActive)) + " " + Shown(info.hwndActive ? TextOf(info.hwndActive) : std::wstring()) + ")");
        if (!IsWindowEnabled(g_window)) Fail("the window is disabled");
        if (!info.hwndFocus || (info.hwndFocus != g_window && !IsChild(g_window, info.hwndFocus))) Fail("the keyboard focus is not in the window");
        if (GetForegroundWindow() != g_window) Fail("the window is not the foreground window");
    } else if (cmd == L"expect_name") {
        Need(w, 3);
        std::wstring name = AccessibleNameOf(Control(w[1]));
        if (name != w[2]) Fail(Utf8(w[1]) + " is read as " + Shown(name) + ", expected " + Shown(w[2]));
    } else if (cmd == L"expect_after") {
        Need(w, 3);
        HWND previous = GetWindow(Control(w[1]), GW_HWNDPREV);
        if (previous != Control(w[2])) Fail(Utf8(w[1]) + " comes right after " + (previous ? Utf8(NameOf(previous)) : std::string("nothing")) + " in z-order, expected " + Utf8(w[2]));
    } else if (cmd == L"expect_order") {
        Need(w, 3);
        for (size_t k = 2; k < w.size(); ++k) {
            HWND target = Control(w[k]);
            HWND at = Control(w[k - 1]);
            while (at && at != target) at = GetWindow(at, GW_HWNDNEXT);
            if (!at) Fail(Utf8(w[k]) + " does not come after " + Utf8(w[k - 1]) + " in z-order");
        }
    } else if (cmd == L"expect_group") {
        Need(w, 3);
        bool group = (GetWindowLongW(Control(w[1]), GWL_STYLE) & WS_GROUP) != 0;
        if (group != (w[2] == L"yes")) Fail(Utf8(w[1]) + (group ? " starts a group" : " starts no group"));
    } else if (cmd == L"press") {
        Need(w, 2);
        PressKey(w[1]);
    } else if (cmd == L"expect_items") {
        Need(w, 3);
        HWND c = Control(w[1]);
        bool combo = IsClass(c, L"combobox");
        int count = static_cast<int>(Send(c, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
        if (count != ToInt(w[2])) Fail(Utf8(w[1]) + " has " + std::to_string(count) + " items, expected " + Utf8(w[2]));
    } else if (cmd == L"expect_item_height") {
        Need(w, 3);
        HWND c = Control(w[1]);
        bool combo = IsClass(c, L"combobox");
        int height = static_cast<int>(Send(c, combo ? CB_GETITEMHEIGHT : LB_GETITEMHEIGHT, 0, 0));
        if (height != ToInt(w[2])) Fail(Utf8(w[1]) + " has items " + std::to_string(height) + " pixels high, expected " + Utf8(w[2]));
    } else if (cmd == L"expect_selected") {
        Need(w, 3);
        HWND c = Control(w[1]);
        bool combo = IsClass(c, L"combobox");
        int index = static_cast<int>(Send(c, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
        std::wstring item;
        if (index >= 0) {
            int length = static_cast<int>(Send(c, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0));
            item.assign(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
            Send(c, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(&item[0]));
            item.resize(wcslen(item.c_str()));
        }
        if (index < 0 || item != w[2]) Fail(Utf8(w[1]) + " has " + (index < 0 ? std::string("nothing") : Shown(item)) + " selected, expected " + Shown(w[2]));
    } else if (cmd == L"msgbox") {
        Need(w, 3);
        if (w[1] != L"press") Fail("msgbox press BUTTON ...");
        int id = ButtonId(w[2]);
        size_t at = 3;
        std::wstring exact, part;
        if (w.size() >= 5 && w[3] == L"text") exact = w[4], at = 5;
        else if (w.size() >= 5 && w[3] == L"contains") part = w[4], at = 5;
        unsigned limit = Seconds(w, at, 20);
        DWORD start = GetTickCount();
        HWND box = nullptr;
        while (!(box = FindMessageBox())) {
            if (ProgramEnded()) Fail("the program ended before a message box showed");
            if (GetTickCount() - start > limit * 1000) Fail("no message box within " + std::to_string(limit) + " s");
            Sleep(50);
        }
        HWND label = GetDlgItem(box, 0xFFFF);
        std::wstring text = label ? TextOf(label) : std::wstring();
        if (!exact.empty() && text != exact) Fail("message box says " + Shown(text) + ", expected " + Shown(exact));
        if (!part.empty() && text.find(part) == std::wstring::npos) Fail("message box says " + Shown(text) + ", expected it to contain " + Shown(part));
        HWND button = GetDlgItem(box, id);
        if (!button || !IsWindowVisible(button)) Fail("the message box " + Shown(text) + " has no button " + Utf8(w[2]));
        Log("  message box: " + Shown(text));
        PostMessageW(button, BM_CLICK, 0, 0);
        start = GetTickCount();
        while (IsWindow(box) && IsWindowVisible(box)) {
            if (GetTickCount() - start > 10000) Fail("the message box did not close after " + Utf8(w[2]));
            Sleep(20);
        }
        Settle();
    } else if (cmd == L"no_msgbox") {
        if (HWND box = FindMessageBox()) {
            HWND label = GetDlgItem(box, 0xFFFF);
            Fail("an unexpected message box is open: " + Shown(label ? TextOf(label) : std::wstring()));
        }
    } else if (cmd == L"screenshot") {
        Need(w, 2);
        Screenshot(WindowsPath(w[1]));
    } else if (cmd == L"expect_inside") {
        Settle();
        ExpectInside(std::vector<std::wstring>(w.begin() + 1, w.end()));
    } else if (cmd == L"expect_text_fits") {
        Settle();
        ExpectTextFits(std::vector<std::wstring>(w.begin() + 1, w.end()));
    } else if (cmd == L"expect_item_picture") {
        Need(w, 4);
        Settle();
        ExpectItemPicture(Control(w[1]), ToInt(w[2]), ToInt(w[3]));
    } else if (cmd == L"close") {
        if (!g_window || !IsWindow(g_window)) Fail("no current window to close");
        PostMessageW(g_window, WM_CLOSE, 0, 0);
        Settle();
    } else if (cmd == L"wait_exit") {
        unsigned limit = Seconds(w, 1, 30);
        if (WaitForSingleObject(g_process.hProcess, limit * 1000) != WAIT_OBJECT_0) {
            HWND box = FindMessageBox();
            std::string extra;
            if (box) {
                HWND label = GetDlgItem(box, 0xFFFF);
                extra = "; a message box is open: " + Shown(label ? TextOf(label) : std::wstring());
            }
            Fail("the program did not end within " + std::to_string(limit) + " s" + extra);
        }
        ProgramEnded();
        Log("  program ended, exit code " + std::to_string(g_exitCode));
    } else if (cmd == L"expect_exit") {
        Need(w, 2);
        if (!ProgramEnded()) Fail("the program has not ended");
        if (g_exitCode != static_cast<DWORD>(ToInt(w[1]))) Fail("exit code " + std::to_string(g_exitCode) + ", expected " + Utf8(w[1]));
    } else if (cmd == L"sleep") {
        Need(w, 2);
        Sleep(static_cast<DWORD>(ToInt(w[1])));
    } else {
        Fail("unknown command " + Utf8(cmd));
    }
}

DWORD WINAPI Watchdog(LPVOID limit) {
    Sleep(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(limit)) * 1000);
    g_line = 0;
    Fail("the whole script did not end within " + std::to_string(reinterpret_cast<ULONG_PTR>(limit)) + " s");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring script;
    unsigned limit = 300;
    int i = 1;
    for (; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--script" && i + 1 < argc) script = WindowsPath(argv[++i]);
        else if (a == L"--result" && i + 1 < argc) g_resultFile = WindowsPath(argv[++i]);
        else if (a == L"--log" && i + 1 < argc) g_log = _wfopen(WindowsPath(argv[++i]).c_str(), L"wb");
        else if (a == L"--limit" && i + 1 < argc) limit = static_cast<unsigned>(_wtoi(argv[++i]));
        else if (a == L"--") { ++i; break; }
        else Fail("unknown argument \"" + Utf8(a) + "\"; usage: wizard_driver --script FILE --result FILE [--log FILE] [--limit SECONDS] -- PROGRAM [ARGS...]");
    }
    if (script.empty() || i >= argc) Fail("usage: wizard_driver --script FILE --result FILE [--limit SECONDS] -- PROGRAM [ARGS...]");
    g_pingMessage = RegisterWindowMessageW(L"TessaronPing");
    // Accessible objects come across processes through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CreateThread(nullptr, 0, Watchdog, reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(limit)), 0, nullptr);

    // The script, read whole before the program starts.
    FILE* f = _wfopen(script.c_str(), L"rb");
    if (!f) Fail("cannot read the script " + Utf8(script));
    std::string bytes;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) bytes.append(chunk, n);
    std::fclose(f);

    std::wstring program = WindowsPath(argv[i]);
    std::wstring commandLine = L"\"" + program + L"\"";
    for (int a = i + 1; a < argc; ++a) commandLine += std::wstring(L" \"") + argv[a] + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &g_process))
        Fail("cannot start " + Utf8(program) + " (error " + std::to_string(GetLastError()) + ")");
    Log("started " + Utf8(commandLine));

    size_t start = 0;
    int number = 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string raw = bytes.substr(start, end - start);
        start = end + 1;
        ++number;
        std::vector<std::wstring> words = SplitWords(Wide(raw));
        if (words.empty()) continue;
        g_line = number;
        Log("line " + std::to_string(number) + ": " + raw);
        Run(words);
        if (end == bytes.size()) break;
    }
    g_line = 0;
    if (!ProgramEnded()) {
        // Nothing may outlive the script.
        TerminateProcess(g_process.hProcess, 255);
        WaitForSingleObject(g_process.hProcess, 5000);
        Fail("the program was still running at the end of the script");
    }
    WriteResult("OK");
    Log("OK");
    return 0;
}
