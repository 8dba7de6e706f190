#include "image/PNG.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image/Zlib.h"

namespace {

const uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t kColorTypeIndexed = 3;
constexpr size_t kHeaderLength = 13;
constexpr int32_t kCrcLength = 4;

uint32_t BigEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

TChunkName NameOf(const char* text) {
    TChunkName name;
    std::memcpy(name.data(), text, name.size());
    return name;
}

TChunkClasses& Registry() {
    static TChunkClasses registry;
    return registry;
}

// Copies count bytes from the stream into target at its position; false when the stream ends early.
bool CopyBytes(TStream& stream, uint32_t count, TStream& target) {
    uint8_t piece[65536];
    while (count > 0) {
        int32_t n = static_cast<int32_t>(std::min<uint32_t>(count, sizeof piece));
        if (!stream.ReadBuffer(piece, n) || !target.WriteBuffer(piece, n)) return false;
        count -= static_cast<uint32_t>(n);
    }
    return true;
}

enum class TChunkRead { More, End, Damaged };

// Reads one chunk and keeps it when its name is registered.
TChunkRead ReadChunk(TStream& stream, int32_t size, TChunkList& list) {
    uint8_t head[8];
    if (!stream.ReadBuffer(head, sizeof head)) return TChunkRead::Damaged;
    uint32_t length = BigEndian32(head);
    TChunkName name;
    std::memcpy(name.data(), head + 4, name.size());
    int64_t position = stream.Position();

    TChunkClass chunkClass = Registry().Find(name);
    if (!chunkClass) {
        // Data and CRC skipped; a skip past the end ends the file.
        stream.SetPosition(static_cast<int32_t>(std::min<int64_t>(
            position + static_cast<int64_t>(length) + kCrcLength, size)));
        return TChunkRead::More;
    }
    // Checked before any allocation, so a damaged length cannot ask for gigabytes.
    if (static_cast<int64_t>(length) > size - position) return TChunkRead::Damaged;
    std::unique_ptr<TChunk> chunk = chunkClass(list, name);
    if (!CopyBytes(stream, length, chunk->Data)) return TChunkRead::Damaged;
    // The CRC is not verified.
    int64_t afterCrc = static_cast<int64_t>(stream.Position()) + kCrcLength;
    stream.SetPosition(static_cast<int32_t>(std::min<int64_t>(afterCrc, size)));

    if (chunk->KindOf() == TChunkKind::IDAT) {
        if (TChunkIDAT* first = list.Find<TChunkIDAT>()) {
            // All image data forms one compressed stream, in file order.
            first->Data.Seek(0, soEnd);
            const std::vector<uint8_t>& bytes = chunk->Data.Bytes();
            if (!first->Data.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size())))
                return TChunkRead::Damaged;
            return TChunkRead::More;
        }
    }
    bool end = chunk->KindOf() == TChunkKind::IEND;
    list.Items.push_back(std::move(chunk));
    return end ? TChunkRead::End : TChunkRead::More;
}

int PaethPredictor(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a);
    int pb = std::abs(p - b);
    int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    if (pb <= pc) return b;
    return c;
}

// row[0] is the filter type, row[1..length] the bytes; above is the previous row, all zeros for
// the first one. Every pixel is one byte apart from its left neighbour. False for an unknown
// filter type.
bool Unfilter(uint8_t* row, const uint8_t* above, size_t length) {
    uint8_t type = row[0];
    if (type > 4) return false;
    for (size_t i = 1; i <= length; ++i) {
        int a = i > 1 ? row[i - 1] : 0;
        int b = above[i];
        int c = i > 1 ? above[i - 1] : 0;
        int predictor = 0;
        switch (type) {
            case 1: predictor = a; break;
            case 2: predictor = b; break;
            case 3: predictor = (a + b) / 2; break;
            case 4: predictor = PaethPredictor(a, b, c); break;
            default: break;
        }
        row[i] = static_cast<uint8_t>(row[i] + predictor);
    }
    return true;
}

void CopyRow(const uint8_t* row, size_t length, uint8_t depth, uint32_t width, uint8_t* target) {
    if (!target) return;  // an image without pixels
    switch (depth) {
        case 1:
        case 4:
        case 8:
            std::memcpy(target, row, length);
            break;
        case 2:
            // Indices are kept as they are, so they select the PLTE entries they name.
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t index = (row[x / 4] >> (6 - 2 * (x % 4))) & 0x03;
                if (x % 2 == 0)
                    target[x / 2] = static_cast<uint8_t>(index << 4);
                else
                    target[x / 2] |= index;
            }
            break;
        case 16:
            for (uint32_t x = 0; x < width; ++x) target[x] = row[2 * x];
            break;
        default:
            break;
    }
}

}  // namespace

TChunk::TChunk(TChunkList& owner, const TChunkName& name) : Owner(owner), Name(name) {}

TChunkIHDR::TChunkIHDR(TChunkList& owner, const TChunkName& name) : TChunk(owner, name) {
    const uint8_t zeros[kHeaderLength] = {};
    (void)Data.WriteBuffer(zeros, sizeof zeros);  // a memory stream takes every byte
    Data.SetPosition(0);
}

uint32_t TChunkIHDR::Width() const { return BigEndian32(Data.Bytes().data()); }
uint32_t TChunkIHDR::Height() const { return BigEndian32(Data.Bytes().data() + 4); }
uint8_t TChunkIHDR::BitDepth() const { return Data.Bytes()[8]; }
uint8_t TChunkIHDR::ColorType() const { return Data.Bytes()[9]; }
uint8_t TChunkIHDR::InterlaceMethod() const { return Data.Bytes()[12]; }

std::vector<TPaletteEntry> TChunkPLTE::Entries() const {
    const std::vector<uint8_t>& bytes = Data.Bytes();
    std::vector<TPaletteEntry> entries(EntryCount());
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].Red = bytes[3 * i];
        entries[i].Green = bytes[3 * i + 1];
        entries[i].Blue = bytes[3 * i + 2];
    }
    return entries;
}

namespace {

// Far above any logo (the wizard's is 120 x 260), far below what would exhaust memory.
constexpr uint64_t kMaxPixels = 1u << 24;

}  // namespace

bool TChunkIDAT::Decode() {
    TPNGImage& image = Owner.Image;
    // The loader made sure that the first chunk is the header and that a palette exists.
    const auto& header = static_cast<const TChunkIHDR&>(*Owner.Items.front());
    const TChunkPLTE& palette = *Owner.FindLast<TChunkPLTE>();

    TZDecompressionStream pixels(&Data);
    pixels.Seek(0, soBeginning);

    uint32_t width = header.Width();
    uint32_t height = header.Height();
    uint8_t depth = header.BitDepth();
    if (width > INT32_MAX || height > INT32_MAX) return false;
    uint64_t rowLength = (static_cast<uint64_t>(width) * depth + 7) / 8;
    if (rowLength >= INT32_MAX) return false;
    // A picture for a wizard's panel: a header that asks for more is damaged, not a picture to
    // spend gigabytes on. The bound also keeps a row below a few dozen megabytes.
    if (static_cast<uint64_t>(width) * height > kMaxPixels) return false;
    // No PNG file has an empty side; a header that says so is damaged.
    if (width == 0 || height == 0) return false;

    TPixelFormat format = image.PixelFormat();  // an unknown depth keeps it and copies nothing
    switch (depth) {
        case 1: format = pf1bit; break;
        case 2:
        case 4: format = pf4bit; break;
        case 8:
        case 16: format = pf8bit; break;
        default: break;
    }
    if (!image.SetPixelFormat(format) ||
        !image.SetSize(static_cast<int>(width), static_cast<int>(height)))
        return false;
    image.SetPalette(palette.Entries());

    std::vector<uint8_t> first(rowLength + 1, 0);
    std::vector<uint8_t> second(rowLength + 1, 0);  // the row above the first row
    uint8_t* current = first.data();
    uint8_t* above = second.data();
    int32_t toRead = static_cast<int32_t>(rowLength + 1);
    for (uint32_t y = 0; y < height; ++y) {
        int32_t got = std::max<int32_t>(0, pixels.Read(current, toRead));
        // Image data that ends early reads as zeros, so the missing rows are deterministic.
        std::fill(current + got, current + toRead, 0);
        if (!Unfilter(current, above, rowLength)) return false;
        CopyRow(current + 1, rowLength, depth, width, image.ScanLine(static_cast<int>(y)));
        std::swap(current, above);
        // Every later row would read as zeros too (filter 0 over zeros), which the new bitmap
        // holds already.
        if (got < toRead) break;
    }
    return true;
}

void TChunkClasses::Add(const char* name, TChunkClass chunkClass) {
    entries_.emplace_back(NameOf(name), chunkClass);
}

TChunkClass TChunkClasses::Find(const TChunkName& name) const {
    for (const auto& entry : entries_)
        if (entry.first == name) return entry.second;
    return nullptr;
}

const TChunkClasses& ChunkClasses() { return Registry(); }

void InitPNGUnit() {
    TChunkClasses& registry = Registry();
    if (registry.Count() != 0) return;
    registry.Add("IEND", CreateChunk<TChunkIEND>);
    registry.Add("IHDR", CreateChunk<TChunkIHDR>);
    registry.Add("IDAT", CreateChunk<TChunkIDAT>);
    registry.Add("PLTE", CreateChunk<TChunkPLTE>);
}

bool TPNGImage::LoadFromStream(TStream& stream) {
    TChunkList list(*this);
    uint8_t signature[sizeof kSignature];
    if (!stream.ReadBuffer(signature, sizeof signature) ||
        std::memcmp(signature, kSignature, sizeof kSignature) != 0)
        return false;

    int32_t size = stream.Size();
    TChunkRead read = TChunkRead::More;
    while (read == TChunkRead::More && stream.Position() < size) read = ReadChunk(stream, size, list);
    if (read == TChunkRead::Damaged) return false;

    const auto* header =
        list.Items.empty() ? nullptr : TChunkList::As<const TChunkIHDR>(list.Items.front().get());
    if (!header || !list.Find<TChunkIDAT>()) return false;
    // Only indexed, non-interlaced images decode correctly here, and only with a palette that
    // PNG allows (1 to 256 entries).
    if (header->ColorType() != kColorTypeIndexed || header->InterlaceMethod() != 0) return false;
    const TChunkPLTE* palette = list.FindLast<TChunkPLTE>();
    if (!palette || palette->EntryCount() == 0 ||
        palette->EntryCount() > static_cast<size_t>(kMaxPaletteEntries))
        return false;

    for (const auto& chunk : list.Items)
        if (!chunk->Decode()) return false;
    return true;
}

bool LoadLogo(TBitmap& target) {
    TPNGImage image;
    TResourceStream stream("LOGO", "PNG");
    if (!stream.Found() || !image.LoadFromStream(stream)) return false;
    target.Assign(image);
    return true;
}
