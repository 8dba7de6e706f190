// The canvas over a device context that owner-drawn lists paint their items on, and the drawing
// of the framework's bitmaps.
#include <algorithm>

#include "image/Resample.h"
#include "ui/Win32Internal.h"

namespace win32ui {

namespace {

// A 32-bit top-down DIB section holding premultiplied pixels, selected into a new memory DC.
struct TArgbCopy {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;

    TArgbCopy(HDC reference, const std::vector<uint32_t>& pixels, int width, int height) {
        if (pixels.empty()) return;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap) return;
        std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
        dc = CreateCompatibleDC(reference);
        if (dc) old = SelectObject(dc, bitmap);
    }
    ~TArgbCopy() {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bitmap) DeleteObject(bitmap);
    }
};

}  // namespace

TGdiCanvas::TGdiCanvas(HDC dc, HFONT font, int dpi) : dc_(dc), saved_(SaveDC(dc)), dpi_(dpi) {
    SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
}

TGdiCanvas::~TGdiCanvas() { RestoreDC(dc_, saved_); }

void TGdiCanvas::FillRect(const TRect& rect) {
    RECT r = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    ::FillRect(dc_, &r, BrushOf(ColorOf(BrushColor)));
}

void TGdiCanvas::DrawTransparent(int x, int y, const TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    // Scaled for the window's DPI by the framework itself: the system would repeat pixels.
    int width = Scale(bitmap.Width()), height = Scale(bitmap.Height());
    TArgbCopy copy(dc_, ResampleArgb(bitmap, width, height, true), width, height);
    if (!copy.dc) return;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc_, x, y, width, height, copy.dc, 0, 0, width, height, blend);
}

void TGdiCanvas::TextOut(int x, int y, const Wide& text) {
    SetTextColor(dc_, ColorOf(FontColor));
    ::TextOutW(dc_, x, y, W(text), static_cast<int>(text.size()));
}

void TGdiCanvas::DrawTextLine(const TRect& rect, const Wide& text) {
    SetTextColor(dc_, ColorOf(FontColor));
    RECT r = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    DrawTextW(dc_, W(text), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
}

int TGdiCanvas::TextHeight(const Wide& text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc_, W(text), static_cast<int>(text.size()), &size);
    return size.cy;
}

void DrawBitmap(HDC dc, int x, int y, int width, int height, const TBitmap& bitmap) {
    if (bitmap.Empty() || width < 1 || height < 1) return;
    TArgbCopy copy(dc, ResampleArgb(bitmap, width, height, false), width, height);
    if (!copy.dc) return;
    BitBlt(dc, x, y, width, height, copy.dc, 0, 0, SRCCOPY);
}

}  // namespace win32ui
