#include "image/Zlib.h"

#include <cstring>

bool InflateBuffer(const void* input, uint32_t inputLength, uint32_t initialCapacity,
                   InflatedData* block, uint32_t* length, uint32_t maxLength) {
    block->reset();
    *length = 0;
    uint64_t step = (static_cast<uint64_t>(inputLength) + 255) & ~uint64_t{255};
    if (step == 0) step = 256;
    uint64_t capacity = initialCapacity != 0 ? initialCapacity : step;
    if (capacity > maxLength) capacity = maxLength;
    auto* data = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
    if (!data) return false;

    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) {
        std::free(data);
        return false;
    }
    z.next_in = static_cast<Bytef*>(const_cast<void*>(input));
    z.avail_in = inputLength;
    z.next_out = data;
    z.avail_out = static_cast<uInt>(capacity);

    bool ok = false;
    for (;;) {
        int result = inflate(&z, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            ok = z.avail_in == 0;  // nothing may follow the stream
            break;
        }
        // Only a full output block is a reason to go on; anything else (damaged data, a preset
        // dictionary, input that ended early) would repeat without progress.
        if ((result != Z_OK && result != Z_BUF_ERROR) || z.avail_out != 0) break;
        if (capacity >= maxLength) break;
        // The block at least doubles, so that data which inflates without end reaches the limit
        // (or the end of memory) after a few dozen copies, not after one copy per step.
        uint64_t produced = capacity;
        capacity += capacity > step ? capacity : step;
        if (capacity > maxLength) capacity = maxLength;
        auto* grown = static_cast<uint8_t*>(std::realloc(data, static_cast<size_t>(capacity)));
        if (!grown) break;
        data = grown;
        z.next_out = data + produced;
        z.avail_out = static_cast<uInt>(capacity - produced);
    }
    uint32_t produced = static_cast<uint32_t>(z.total_out);
    inflateEnd(&z);
    if (!ok) {
        std::free(data);
        return false;
    }
    if (auto* shrunk = static_cast<uint8_t*>(std::realloc(data, produced ? produced : 1)))
        data = shrunk;
    block->reset(data);
    *length = produced;
    return true;
}

TCustomZStream::TCustomZStream(TStream* source)
    : source_(source), sourcePosition_(source->Position()) {
    std::memset(&zstate_, 0, sizeof zstate_);
    zstate_.next_in = input_;
    zstate_.avail_in = 0;
}

TZDecompressionStream::TZDecompressionStream(TStream* source) : TCustomZStream(source) {
    // A stream that zlib could not set up delivers nothing: inflate refuses its empty state.
    inflateInit(&zstate_);
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&zstate_); }

int32_t TZDecompressionStream::Read(void* buffer, int32_t count) {
    if (count <= 0) return 0;
    zstate_.next_out = static_cast<Bytef*>(buffer);
    zstate_.avail_out = static_cast<uInt>(count);
    // Another user of the source may have moved it.
    if (source_->Position() != sourcePosition_) source_->SetPosition(sourcePosition_);
    while (zstate_.avail_out > 0) {
        if (zstate_.avail_in == 0) {
            int32_t got = source_->Read(input_, static_cast<int32_t>(sizeof input_));
            if (got <= 0) return count - static_cast<int32_t>(zstate_.avail_out);
            sourcePosition_ = source_->Position();
            zstate_.next_in = input_;
            zstate_.avail_in = static_cast<uInt>(got);
        }
        // The end of the stream or damaged data: deliver what there is rather than loop.
        if (inflate(&zstate_, Z_NO_FLUSH) != Z_OK)
            return count - static_cast<int32_t>(zstate_.avail_out);
    }
    return count;
}

int32_t TZDecompressionStream::Write(const void* buffer, int32_t count) { return 0; }

int32_t TZDecompressionStream::Seek(int32_t offset, int origin) {
    int32_t position = static_cast<int32_t>(zstate_.total_out);
    if (offset == 0 && origin == soBeginning) {
        inflateReset(&zstate_);
        zstate_.next_in = input_;
        zstate_.avail_in = 0;
        source_->SetPosition(0);
        sourcePosition_ = 0;
    } else if ((origin == soCurrent && offset >= 0) ||
               (origin == soBeginning && offset > position)) {
        int32_t distance = origin == soCurrent ? offset : offset - position;
        uint8_t scratch[4096];
        // Data that ends early ends the skip where it ends.
        bool more = true;
        for (int32_t i = 0; more && i < distance / 4096; ++i) more = ReadBuffer(scratch, 4096);
        if (more) (void)ReadBuffer(scratch, distance % 4096);
    }
    return static_cast<int32_t>(zstate_.total_out);
}
