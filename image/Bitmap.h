// The runtime's bitmap: a device-independent picture of 1, 4, 8, 24 or 32 bits per pixel with up
// to 256 palette colours, kept in memory exactly as a top-down DIB so that a window backend can
// hand Bits() and BitmapInfo() to the platform (a DIB section) without converting anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/Stream.h"

// One palette colour, laid out as the platform's PALETTEENTRY.
struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Flags = 0;
};

inline bool operator==(const TPaletteEntry& a, const TPaletteEntry& b) {
    return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue && a.Flags == b.Flags;
}
inline bool operator!=(const TPaletteEntry& a, const TPaletteEntry& b) { return !(a == b); }

// A colour as the platform's COLORREF: 0x00BBGGRR.
using TColorRef = uint32_t;
constexpr TColorRef RGBColor(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<TColorRef>(red) | static_cast<TColorRef>(green) << 8 |
           static_cast<TColorRef>(blue) << 16;
}

// Bits per pixel.
enum TPixelFormat { pf1bit = 1, pf4bit = 4, pf8bit = 8, pf24bit = 24, pf32bit = 32 };

constexpr int kMaxPaletteEntries = 256;
// The version word of a logical palette made from Palette() (LOGPALETTE.palVersion).
constexpr uint16_t kPaletteVersion = 0x300;

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(const TBitmap&) = default;
    TBitmap& operator=(const TBitmap&) = default;
    virtual ~TBitmap() = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    TPixelFormat PixelFormat() const { return format_; }
    int BitsPerPixel() const { return static_cast<int>(format_); }
    // Bytes of one row: width x bits per pixel, padded to a multiple of 4.
    int RowBytes() const { return RowBytesFor(width_, format_); }
    static int RowBytesFor(int width, TPixelFormat format);

    // Both reallocate the pixels, which become zero. They give false, and leave an empty bitmap,
    // when the pixels would pass 2 GiB or cannot be allocated; negative sizes count as 0.
    bool SetSize(int width, int height);
    bool SetPixelFormat(TPixelFormat format);

    // The colours an index of the 1, 4 and 8 bit formats selects; at most 256, more are cut off.
    // Indices beyond the palette show black.
    const std::vector<TPaletteEntry>& Palette() const { return palette_; }
    void SetPalette(const std::vector<TPaletteEntry>& palette);

    // Row y counted from the top (nullptr outside the bitmap). Rows lie one after another from the
    // top, RowBytes() apart, the leftmost pixel in the high bits of the first byte; 24 and 32 bit
    // pixels are stored blue, green, red (and one unused byte).
    uint8_t* ScanLine(int y);
    const uint8_t* ScanLine(int y) const;
    uint8_t* Bits() { return pixels_.data(); }
    const uint8_t* Bits() const { return pixels_.data(); }
    size_t ImageSize() const { return pixels_.size(); }

    // The palette index at (x, y) for the 1, 4 and 8 bit formats; 0 outside the bitmap or for the
    // other formats.
    uint32_t PixelIndex(int x, int y) const;
    // The colour shown at (x, y); black outside the bitmap.
    TColorRef PixelColor(int x, int y) const;
    // The colour of the bottom-left pixel, which the folder and drive pictures leave out when they
    // are drawn; black for an empty bitmap.
    TColorRef TransparentColor() const { return PixelColor(0, height_ - 1); }

    // A BITMAPINFOHEADER for exactly this memory layout (a negative height, as the rows run from
    // the top) followed by its colour table: for 1, 4 and 8 bits all 2^bits RGBQUAD entries, the
    // ones beyond the palette black; none for 24 and 32 bits.
    std::vector<uint8_t> BitmapInfo() const;

    // Takes size, format, palette and pixels of another bitmap (of any class).
    void Assign(const TBitmap& source);

    // A packed device-independent bitmap as a BITMAP resource holds it: BITMAPINFOHEADER (or a
    // later, longer header), the colour table, the rows (bottom-up, or top-down for a negative
    // height). Only uncompressed 1, 4, 8, 24 and 32 bit pictures are taken. Gives false, and
    // leaves the bitmap as it was, for anything else or for data that ends too early.
    bool LoadFromDIB(const void* data, size_t size);
    // The BITMAP resource (RT_BITMAP) of that name in the program's own resources.
    bool LoadFromResourceName(const char* name);

    // A .bmp file (file header and packed DIB) from the stream's position; false when the stream
    // does not hold one that LoadFromDIB takes.
    [[nodiscard]] virtual bool LoadFromStream(TStream& stream);
    // Writes a .bmp file with bottom-up rows; false when the stream takes fewer bytes.
    [[nodiscard]] virtual bool SaveToStream(TStream& stream) const;

private:
    bool Reallocate(int width, int height, TPixelFormat format);

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    std::vector<TPaletteEntry> palette_;
    std::vector<uint8_t> pixels_;
};
