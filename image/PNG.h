// A reader for the kind of PNG file the wizard's logo is: indexed colour, not interlaced. It turns
// the file into a palette bitmap. Every failure is a false result.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/Bitmap.h"
#include "image/Stream.h"

class TChunkList;
class TPNGImage;

using TChunkName = std::array<uint8_t, 4>;

// The class of a chunk object, asked at run time (the Windows programs have no compiler type
// information). The chunk classes derive from TChunk alone, so one value per class suffices.
enum class TChunkKind : uint8_t { Other, IHDR, PLTE, IDAT, IEND };

class TChunk {
public:
    TChunk(TChunkList& owner, const TChunkName& name);
    virtual ~TChunk() = default;
    static constexpr TChunkKind Kind = TChunkKind::Other;
    virtual TChunkKind KindOf() const { return Kind; }
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    // Called once for every kept chunk after the whole file has been read; false when damaged.
    [[nodiscard]] virtual bool Decode() { return true; }

    TChunkList& Owner;
    TMemoryStream Data;
    TChunkName Name;
};

class TChunkIHDR : public TChunk {
public:
    static constexpr TChunkKind Kind = TChunkKind::IHDR;
    TChunkKind KindOf() const override { return Kind; }
    TChunkIHDR(TChunkList& owner, const TChunkName& name);
    // The header's fields; a header shorter than 13 bytes reads as zeros where it ends.
    uint32_t Width() const;
    uint32_t Height() const;
    uint8_t BitDepth() const;
    uint8_t ColorType() const;
    uint8_t InterlaceMethod() const;
};

class TChunkPLTE : public TChunk {
public:
    static constexpr TChunkKind Kind = TChunkKind::PLTE;
    TChunkKind KindOf() const override { return Kind; }
    using TChunk::TChunk;
    // One entry per RGB triple (length div 3), flags 0; the logical palette of version
    // kPaletteVersion that a platform palette would be made from.
    std::vector<TPaletteEntry> Entries() const;
    size_t EntryCount() const { return Data.Bytes().size() / 3; }
};

class TChunkIDAT : public TChunk {
public:
    static constexpr TChunkKind Kind = TChunkKind::IDAT;
    TChunkKind KindOf() const override { return Kind; }
    using TChunk::TChunk;
    // Inflates the collected image data row by row into the owner's image.
    bool Decode() override;
};

class TChunkIEND : public TChunk {
public:
    static constexpr TChunkKind Kind = TChunkKind::IEND;
    TChunkKind KindOf() const override { return Kind; }
    using TChunk::TChunk;
};

// Makes a chunk of one class: the registry's stand-in for a class reference.
using TChunkClass = std::unique_ptr<TChunk> (*)(TChunkList& owner, const TChunkName& name);

template <class T>
std::unique_ptr<TChunk> CreateChunk(TChunkList& owner, const TChunkName& name) {
    return std::unique_ptr<TChunk>(new T(owner, name));
}

class TChunkClasses {
public:
    void Add(const char* name, TChunkClass chunkClass);
    // nullptr for a name that is not registered; names are compared as 4 raw bytes.
    TChunkClass Find(const TChunkName& name) const;
    size_t Count() const { return entries_.size(); }
    const TChunkName& NameAt(size_t index) const { return entries_[index].first; }

private:
    std::vector<std::pair<TChunkName, TChunkClass>> entries_;
};

// The registry of the chunks that the reader keeps; every other chunk is skipped.
const TChunkClasses& ChunkClasses();
// Fills the registry (IEND, IHDR, IDAT, PLTE). Called once at program start, before any window
// exists and any image is read; later calls change nothing.
void InitPNGUnit();

// The chunks kept while one image is loaded.
class TChunkList {
public:
    explicit TChunkList(TPNGImage& image) : Image(image) {}

    TPNGImage& Image;
    std::vector<std::unique_ptr<TChunk>> Items;

    template <class T>
    T* Find() const {
        for (const auto& chunk : Items)
            if (auto* found = As<T>(chunk.get())) return found;
        return nullptr;
    }
    template <class T>
    T* FindLast() const {
        for (auto it = Items.rbegin(); it != Items.rend(); ++it)
            if (auto* found = As<T>(it->get())) return found;
        return nullptr;
    }
    // The chunk as a T when it is one; nullptr otherwise.
    template <class T>
    static T* As(TChunk* chunk) {
        return chunk->KindOf() == T::Kind ? static_cast<T*>(chunk) : nullptr;
    }
};

class TPNGImage : public TBitmap {
public:
    // Reads a PNG file from the stream's position: afterwards the image has the file's size and
    // palette and the pixel format of its bit depth (1: 1 bit; 2 and 4: 4 bits, a 2-bit index
    // kept as it is; 8 and 16: 8 bits, the high byte of a 16-bit sample). False for a file it
    // cannot read, including any colour type but indexed, interlacing, and a missing, empty or
    // oversized palette.
    bool LoadFromStream(TStream& stream) override;
    // The reader never writes PNG files.
    bool SaveToStream(TStream& stream) const override { return false; }
};

// The logo: the resource "LOGO" of type "PNG", read into target (which then holds an 8-bit
// palette bitmap). False, and target unchanged, when it is missing or damaged.
[[nodiscard]] bool LoadLogo(TBitmap& target);
