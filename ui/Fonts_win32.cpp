// DPI, fonts and colours of the Win32 backend. Lengths in the framework are pixels at 96 dots
// per inch; the program declares itself DPI aware, so they are scaled here to the screen's DPI.
#include <map>
#include <tuple>

#include "ui/Win32Internal.h"

namespace win32ui {

namespace {

// A DC compatible with the screen, for measuring. A memory DC rather than the screen's own:
// it works (and is quick) even without a display, where the screen DC would start a desktop.
HDC MeasureDC() {
    static HDC dc = CreateCompatibleDC(nullptr);
    return dc;
}

using TFontKey = std::tuple<std::u16string, int, bool>;

}  // namespace

int ScreenDpi() {
    static int dpi = [] {
        HDC dc = MeasureDC();
        int value = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int Scale(int value) { return MulDiv(value, ScreenDpi(), 96); }

int ScaleSpan(int start, int length) { return Scale(start + length) - Scale(start); }

int Unscale(int value) {
    int dpi = ScreenDpi();
    if (dpi == 96) return value;
    return (value * 96 + dpi - 1) / dpi;
}

HFONT FontOf(const TFont& font) {
    static std::map<TFontKey, HFONT> fonts;
    TFontKey key{font.Name, font.Height, font.Bold};
    auto found = fonts.find(key);
    if (found != fonts.end()) return found->second;
    LOGFONTW lf = {};
    if (font.IsSystem()) {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
            lf = metrics.lfMessageFont;
        } else {
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
    fonts[key] = handle;
    return handle;
}

COLORREF ColorOf(TColor color) {
    if (color == clDefault) return GetSysColor(COLOR_BTNFACE);
    if (color & kSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

HBRUSH BrushOf(COLORREF color) {
    static std::map<COLORREF, HBRUSH> brushes;
    auto found = brushes.find(color);
    if (found != brushes.end()) return found->second;
    HBRUSH brush = CreateSolidBrush(color);
    brushes[color] = brush;
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

}  // namespace win32ui
