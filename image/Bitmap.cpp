#include "image/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {

constexpr uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr uint32_t kFileHeaderSize = 14;  // BITMAPFILEHEADER
constexpr uint32_t kBiRgb = 0;
constexpr char kRtBitmap[] = "#2";
// Pixel data must stay addressable by the int32 sizes of the DIB headers.
constexpr int64_t kMaxImageSize = INT32_MAX;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void Put16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>* out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool ValidFormat(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

int64_t RowBytes64(int64_t width, int bits) { return (width * bits + 31) / 32 * 4; }

// A packed DIB; pixelOffset, when not 0, is where the rows start (a file's bfOffBits counted from
// the info header), otherwise they follow the colour table.
bool ParseDIB(const uint8_t* data, size_t size, size_t pixelOffset, TBitmap* target) {
    if (size < kInfoHeaderSize) return false;
    uint32_t headerSize = U32(data);
    if (headerSize < kInfoHeaderSize || headerSize > size) return false;
    int32_t width = static_cast<int32_t>(U32(data + 4));
    int32_t height = static_cast<int32_t>(U32(data + 8));
    uint16_t planes = U16(data + 12);
    uint16_t bits = U16(data + 14);
    uint32_t compression = U32(data + 16);
    uint32_t colorsUsed = U32(data + 32);
    if (width <= 0 || height == 0 || height == INT32_MIN || planes != 1 || !ValidFormat(bits) ||
        compression != kBiRgb)
        return false;
    bool topDown = height < 0;
    int64_t rows = topDown ? -static_cast<int64_t>(height) : height;

    uint64_t colors = colorsUsed;
    if (bits <= 8) {
        if (colors == 0) colors = 1u << bits;
        if (colors > (1u << bits)) return false;
    }
    uint64_t tableEnd = headerSize + colors * 4;
    if (tableEnd > size) return false;
    uint64_t pixelsAt = pixelOffset != 0 ? pixelOffset : tableEnd;
    if (pixelsAt < tableEnd) return false;
    int64_t stride = RowBytes64(width, bits);
    if (stride > kMaxImageSize / rows || pixelsAt + stride * rows > size) return false;

    TBitmap loaded;
    if (!loaded.SetPixelFormat(static_cast<TPixelFormat>(bits)) ||
        !loaded.SetSize(width, static_cast<int>(rows)))
        return false;
    if (bits <= 8) {
        std::vector<TPaletteEntry> palette(static_cast<size_t>(colors));
        for (size_t i = 0; i < palette.size(); ++i) {
            const uint8_t* quad = data + headerSize + i * 4;  // blue, green, red, reserved
            palette[i].Red = quad[2];
            palette[i].Green = quad[1];
            palette[i].Blue = quad[0];
        }
        loaded.SetPalette(palette);
    }
    for (int64_t row = 0; row < rows; ++row) {
        int64_t y = topDown ? row : rows - 1 - row;
        std::memcpy(loaded.ScanLine(static_cast<int>(y)), data + pixelsAt + row * stride,
                    static_cast<size_t>(stride));
    }
    target->Assign(loaded);
    return true;
}

}  // namespace

int TBitmap::RowBytesFor(int width, TPixelFormat format) {
    return static_cast<int>(RowBytes64(std::max(width, 0), static_cast<int>(format)));
}

bool TBitmap::Reallocate(int width, int height, TPixelFormat format) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    int64_t rowBytes = RowBytes64(width, static_cast<int>(format));
    bool ok = height == 0 || rowBytes <= kMaxImageSize / height;
    int64_t size = ok ? rowBytes * height : 0;
    if (ok) {
        // Built without exceptions, the runtime cannot report memory that runs out to us: ask
        // for the block plainly first, so that a size the heap does not have is a result.
        void* probe = std::malloc(static_cast<size_t>(size ? size : 1));
        ok = probe != nullptr;
        std::free(probe);
    }
    if (ok) std::vector<uint8_t>(static_cast<size_t>(size)).swap(pixels_);
    if (!ok) {
        std::vector<uint8_t>().swap(pixels_);
        width = height = 0;
    }
    width_ = width;
    height_ = height;
    format_ = format;
    return ok;
}

bool TBitmap::SetSize(int width, int height) { return Reallocate(width, height, format_); }

bool TBitmap::SetPixelFormat(TPixelFormat format) {
    if (!ValidFormat(static_cast<uint32_t>(format))) return false;
    return Reallocate(width_, height_, format);
}

void TBitmap::SetPalette(const std::vector<TPaletteEntry>& palette) {
    size_t count = std::min<size_t>(palette.size(), kMaxPaletteEntries);
    palette_.assign(palette.begin(), palette.begin() + static_cast<ptrdiff_t>(count));
}

uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= height_ || width_ == 0) return nullptr;
    return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(RowBytes());
}

const uint8_t* TBitmap::ScanLine(int y) const {
    return const_cast<TBitmap*>(this)->ScanLine(y);
}

uint32_t TBitmap::PixelIndex(int x, int y) const {
    const uint8_t* row = ScanLine(y);
    if (!row || x < 0 || x >= width_) return 0;
    switch (format_) {
        case pf1bit: return (row[x / 8] >> (7 - x % 8)) & 1;
        case pf4bit: return (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
        case pf8bit: return row[x];
        default: return 0;
    }
}

TColorRef TBitmap::PixelColor(int x, int y) const {
    const uint8_t* row = ScanLine(y);
    if (!row || x < 0 || x >= width_) return 0;
    if (format_ == pf24bit) return RGBColor(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    if (format_ == pf32bit) return RGBColor(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
    uint32_t index = PixelIndex(x, y);
    if (index >= palette_.size()) return 0;
    const TPaletteEntry& entry = palette_[index];
    return RGBColor(entry.Red, entry.Green, entry.Blue);
}

std::vector<uint8_t> TBitmap::BitmapInfo() const {
    uint32_t colors = BitsPerPixel() <= 8 ? 1u << BitsPerPixel() : 0;
    std::vector<uint8_t> info;
    info.reserve(kInfoHeaderSize + colors * 4);
    Put32(&info, kInfoHeaderSize);
    Put32(&info, static_cast<uint32_t>(width_));
    Put32(&info, static_cast<uint32_t>(-height_));
    Put16(&info, 1);
    Put16(&info, static_cast<uint32_t>(BitsPerPixel()));
    Put32(&info, kBiRgb);
    Put32(&info, static_cast<uint32_t>(pixels_.size()));
    Put32(&info, 0);  // pixels per metre: unknown
    Put32(&info, 0);
    Put32(&info, colors);
    Put32(&info, 0);
    for (uint32_t i = 0; i < colors; ++i) {
        TPaletteEntry entry = i < palette_.size() ? palette_[i] : TPaletteEntry{};
        info.push_back(entry.Blue);
        info.push_back(entry.Green);
        info.push_back(entry.Red);
        info.push_back(0);
    }
    return info;
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) return;
    width_ = source.width_;
    height_ = source.height_;
    format_ = source.format_;
    palette_ = source.palette_;
    pixels_ = source.pixels_;
}

bool TBitmap::LoadFromDIB(const void* data, size_t size) {
    return data && ParseDIB(static_cast<const uint8_t*>(data), size, 0, this);
}

bool TBitmap::LoadFromResourceName(const char* name) {
    const void* data = nullptr;
    uint32_t size = 0;
    if (!plat::LoadOwnResource(kRtBitmap, name, &data, &size)) return false;
    return LoadFromDIB(data, size);
}

bool TBitmap::LoadFromStream(TStream& stream) {
    uint8_t fileHeader[kFileHeaderSize];
    if (!stream.ReadBuffer(fileHeader, sizeof fileHeader)) return false;
    uint32_t fileSize = U32(fileHeader + 2);
    uint32_t pixelOffset = U32(fileHeader + 10);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M' || fileSize < kFileHeaderSize ||
        pixelOffset < kFileHeaderSize + kInfoHeaderSize)
        return false;
    // Never trust the declared size beyond what the stream really holds.
    int64_t available = static_cast<int64_t>(stream.Size()) - stream.Position();
    if (fileSize - kFileHeaderSize > available) return false;
    std::vector<uint8_t> dib(fileSize - kFileHeaderSize);
    if (!stream.ReadBuffer(dib.data(), static_cast<int32_t>(dib.size()))) return false;
    return ParseDIB(dib.data(), dib.size(), pixelOffset - kFileHeaderSize, this);
}

bool TBitmap::SaveToStream(TStream& stream) const {
    std::vector<uint8_t> info = BitmapInfo();
    // The file form keeps the usual bottom-up order of rows.
    uint32_t height = static_cast<uint32_t>(height_);
    info[8] = static_cast<uint8_t>(height);
    info[9] = static_cast<uint8_t>(height >> 8);
    info[10] = static_cast<uint8_t>(height >> 16);
    info[11] = static_cast<uint8_t>(height >> 24);
    uint32_t pixelOffset = kFileHeaderSize + static_cast<uint32_t>(info.size());
    std::vector<uint8_t> header;
    header.push_back('B');
    header.push_back('M');
    Put32(&header, pixelOffset + static_cast<uint32_t>(pixels_.size()));
    Put32(&header, 0);
    Put32(&header, pixelOffset);
    if (!stream.WriteBuffer(header.data(), static_cast<int32_t>(header.size())) ||
        !stream.WriteBuffer(info.data(), static_cast<int32_t>(info.size())))
        return false;
    for (int y = height_ - 1; y >= 0; --y)
        if (!stream.WriteBuffer(ScanLine(y), RowBytes())) return false;
    return true;
}
