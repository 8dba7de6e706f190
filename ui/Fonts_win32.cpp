// DPI, fonts and colours of the Win32 backend. Lengths in the framework are pixels at 96 dots
// per inch; the program declares itself DPI aware, so they are scaled here to the screen's DPI.
#include <utility>
#include <vector>

#include "ui/Win32Internal.h"
#include "ui/Accessibility.h"

namespace win32ui {

namespace {

// A DC compatible with the screen, for measuring. A memory DC rather than the screen's own:
// it works (and is quick) even without a display, where the screen DC would start a desktop.
HDC MeasureDC() {
    static HDC dc = CreateCompatibleDC(nullptr);
    return dc;
}

// A font made once, for its face, height, weight and the DPI it was scaled to.
struct TMadeFont {
    Wide name;
    int height;
    bool bold;
    int dpi;
    HFONT handle;
};

int SystemDpi() {
    static int dpi = [] {
        HDC dc = MeasureDC();
        int value = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

// The DPI of the monitor the shown form is on; 0 until a form tells it.
int g_windowDpi = 0;

template <class F>
F User32(const char* name) {
    static HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The message font of the non-client metrics at that DPI.
bool MessageFontAt(int dpi, LOGFONTW* font) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static auto forDpi = User32<ForDpiFn>("SystemParametersInfoForDpi");
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
        *font = metrics.lfMessageFont;
        return true;
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return false;
    *font = metrics.lfMessageFont;
    font->lfHeight = MulDiv(font->lfHeight, dpi, SystemDpi());
    return true;
}

}  // namespace

int ScreenDpi() { return g_windowDpi > 0 ? g_windowDpi : SystemDpi(); }

void SetWindowDpi(int dpi) { g_windowDpi = dpi; }

int DpiOfWindow(HWND window) {
    using GetDpiFn = UINT(WINAPI*)(HWND);
    static auto getDpi = User32<GetDpiFn>("GetDpiForWindow");
    UINT dpi = getDpi ? getDpi(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int Scale(int value) { return MulDiv(value, ScreenDpi(), 96); }

int ScaleSpan(int start, int length) { return Scale(start + length) - Scale(start); }

int Unscale(int value) {
    int dpi = ScreenDpi();
    if (dpi == 96) return value;
    return (value * 96 + dpi - 1) / dpi;
}

HFONT FontOf(const TFont& font) {
    // A handful of fonts over a run: a list does.
    static std::vector<TMadeFont> fonts;
    int dpi = ScreenDpi();
    for (const TMadeFont& made : fonts)
        if (made.name == font.Name && made.height == font.Height && made.bold == font.Bold &&
            made.dpi == dpi)
            return made.handle;
    LOGFONTW lf = {};
    if (font.IsSystem()) {
        if (!MessageFontAt(ScreenDpi(), &lf)) {
            lf.lfHeight = -Scale(11);
            lstrcpynW(lf.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
        }
    } else {
        // The height is the character height (the em, without internal leading).
        lf.lfHeight = -Scale(font.Height);
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(lf.lfFaceName, reinterpret_cast<const wchar_t*>(font.Name.c_str()), LF_FACESIZE);
    }
    if (font.Bold) lf.lfWeight = FW_BOLD;
    HFONT handle = CreateFontIndirectW(&lf);
    if (!handle) handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts.push_back({font.Name, font.Height, font.Bold, dpi, handle});
    return handle;
}

COLORREF ColorOf(TColor color) {
    if (color == clDefault) return GetSysColor(COLOR_BTNFACE);
    if (color & kSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

bool HighContrastOn() {
    // Asked each time: the user may switch it while the wizard is open.
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF BackgroundColorOf(TColor designed) { return ColorOf(ShownBackground(designed, HighContrastOn())); }

COLORREF TextColorOf(TColor designed) { return ColorOf(ShownTextColor(designed, HighContrastOn())); }

HBRUSH BrushOf(COLORREF color) {
    static std::vector<std::pair<COLORREF, HBRUSH>> brushes;
    for (const auto& made : brushes)
        if (made.first == color) return made.second;
    HBRUSH brush = CreateSolidBrush(color);
    brushes.emplace_back(color, brush);
    return brush;
}

bool MeasureTextWidth(const TFont& font, const Wide& text, int* width) {
    HDC dc = MeasureDC();
    if (!dc) return false;
    HGDIOBJ old = SelectObject(dc, FontOf(font));
    // As the controls show it: "&" marks the accelerator and takes no room.
    RECT rect = {0, 0, 0, 0};
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()),
              &rect, DT_CALCRECT | DT_SINGLELINE | DT_LEFT | DT_TOP);
    SelectObject(dc, old);
    *width = Unscale(rect.right - rect.left);
    return true;
}

bool MeasureCharHeight(const TFont& font, int* height) {
    HDC dc = MeasureDC();
    if (!dc) return false;
    HGDIOBJ old = SelectObject(dc, FontOf(font));
    TEXTMETRICW metrics = {};
    bool ok = GetTextMetricsW(dc, &metrics) != 0;
    SelectObject(dc, old);
    if (!ok) return false;
    *height = Unscale(metrics.tmHeight);
    return true;
}

bool MeasureWrappedHeight(const TFont& font, const Wide& text, int width, int* height) {
    HDC dc = MeasureDC();
    if (!dc) return false;
    HGDIOBJ old = SelectObject(dc, FontOf(font));
    RECT rect = {0, 0, Scale(width), 0};
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_LEFT | DT_TOP | DT_EXPANDTABS);
    SelectObject(dc, old);
    *height = Unscale(rect.bottom - rect.top);
    return true;
}

}  // namespace win32ui
