// The canvas over a device context that owner-drawn lists paint their items on, and the drawing
// of the framework's bitmaps.
#include "ui/Win32Internal.h"

namespace win32ui {

namespace {

// A 32-bit top-down DIB section of the bitmap's colours, selected into a new memory DC.
struct TTrueColorCopy {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;

    TTrueColorCopy(HDC reference, const TBitmap& source) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = source.Width();
        info.bmiHeader.biHeight = -source.Height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap) return;
        auto* pixel = static_cast<uint32_t*>(bits);
        for (int y = 0; y < source.Height(); ++y)
            for (int x = 0; x < source.Width(); ++x) {
                TColorRef c = source.PixelColor(x, y);
                // COLORREF 0x00BBGGRR to the DIB's 0x00RRGGBB.
                *pixel++ = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
            }
        dc = CreateCompatibleDC(reference);
        if (dc) old = SelectObject(dc, bitmap);
    }
    ~TTrueColorCopy() {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bitmap) DeleteObject(bitmap);
    }
};

}  // namespace

TGdiCanvas::TGdiCanvas(HDC dc, HFONT font) : dc_(dc), saved_(SaveDC(dc)) {
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
    TTrueColorCopy copy(dc_, bitmap);
    if (!copy.dc) return;
    GdiTransparentBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), copy.dc, 0, 0, bitmap.Width(),
                      bitmap.Height(), bitmap.TransparentColor());
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
    if (bitmap.Empty() || bitmap.ImageSize() == 0) return;
    std::vector<uint8_t> info = bitmap.BitmapInfo();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, width, height, 0, 0, bitmap.Width(), bitmap.Height(), bitmap.Bits(),
                  reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace win32ui
