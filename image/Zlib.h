// Inflation of zlib data: the payload in one piece into one memory block, and the logo's image
// data as a stream.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "image/Inflate.h"
#include "image/Stream.h"

struct FreeBlock {
    void operator()(uint8_t* p) const { std::free(p); }
};
// A block from malloc, as InflateBuffer grows it with realloc.
using InflatedData = std::unique_ptr<uint8_t[], FreeBlock>;

// Largest inflated size that an int32 entry size and the block's length can describe.
constexpr uint32_t kMaxInflatedLength = 0x7FFFFFFF;

// Inflates one whole zlib stream into a newly allocated block of exactly the inflated length.
// initialCapacity 0 means the input length raised to the next multiple of 256 (the step); a full
// block grows by its own size, at least by the step. Gives false, and no block, when the data does
// not inflate completely (a data error, a wrong check value, a preset dictionary, input that ends
// early, bytes after the end of the stream), the result would pass maxLength (at least 1), or
// memory runs out.
bool InflateBuffer(const void* input, uint32_t inputLength, uint32_t initialCapacity,
                   InflatedData* block, uint32_t* length,
                   uint32_t maxLength = kMaxInflatedLength);

class TCustomZStream : public TStream {
protected:
    explicit TCustomZStream(TStream* source);

    TStream* source_;         // not owned
    int32_t sourcePosition_;  // where the compressed bytes start
};

// Reads the inflated bytes of the zlib data that starts at the source's current position. Its
// position is the number of bytes inflated so far; it does not know the inflated size. On the
// first read it takes the source's bytes from there to its end, and it inflates as far as its
// reader has asked, at most twice that far: a reader that needs little holds little.
class TZDecompressionStream : public TCustomZStream {
public:
    explicit TZDecompressionStream(TStream* source);
    ~TZDecompressionStream() override;
    TZDecompressionStream(const TZDecompressionStream&) = delete;
    TZDecompressionStream& operator=(const TZDecompressionStream&) = delete;

    // Delivers fewer bytes than asked once the stream has ended, the source is exhausted or the
    // data is damaged.
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    // Seek to 0 from the beginning restarts at source position 0; forward requests skip bytes, up
    // to the end of the data; anything else changes nothing. Gives the position after the request.
    int32_t Seek(int32_t offset, int origin) override;

private:
    // Inflates until `wanted` bytes are there, or the data has no more.
    void Inflate(uint64_t wanted);

    std::vector<uint8_t> compressed_;  // the source's bytes, once read
    bool loaded_ = false;
    InflateOutput inflated_;
    InflateStatus status_ = kInflateOutputLimit;  // as if a first run had stopped at limit 0
    int32_t position_ = 0;
};
