#include "image/Zlib.h"

#include <cstring>

bool InflateBuffer(const void* input, uint32_t inputLength, uint32_t initialCapacity,
                   InflatedData* block, uint32_t* length, uint32_t maxLength) {
    block->reset();
    *length = 0;
    uint64_t step = (static_cast<uint64_t>(inputLength) + 255) & ~uint64_t{255};
    if (step == 0 || step > kMaxInflatedLength) step = 256;
    uint64_t capacity = initialCapacity != 0 ? initialCapacity : step;
    if (capacity > maxLength) capacity = maxLength;
    InflateOutput out;
    out.data = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
    if (!out.data) return false;
    out.capacity = static_cast<uint32_t>(capacity);
    out.step = static_cast<uint32_t>(step);
    out.limit = maxLength;
    if (InflateZlib(static_cast<const uint8_t*>(input), inputLength, &out) != kInflateOk) {
        std::free(out.data);
        return false;
    }
    if (auto* shrunk = static_cast<uint8_t*>(std::realloc(out.data, out.length ? out.length : 1)))
        out.data = shrunk;
    block->reset(out.data);
    *length = out.length;
    return true;
}

TCustomZStream::TCustomZStream(TStream* source)
    : source_(source), sourcePosition_(source->Position()) {}

TZDecompressionStream::TZDecompressionStream(TStream* source) : TCustomZStream(source) {
    inflated_.limit = 0;
}

TZDecompressionStream::~TZDecompressionStream() { std::free(inflated_.data); }

void TZDecompressionStream::Inflate(uint64_t wanted) {
    if (wanted <= inflated_.length) return;
    if (!loaded_) {
        loaded_ = true;
        source_->SetPosition(sourcePosition_);
        uint8_t chunk[4096];
        for (int32_t got; (got = source_->Read(chunk, sizeof chunk)) > 0;)
            compressed_.insert(compressed_.end(), chunk, chunk + got);
    }
    // Only a run that stopped at its limit has more to give. Each new run starts over from the
    // first byte with at least twice the limit, so all runs together cost at most twice the
    // last one.
    while (wanted > inflated_.length && status_ == kInflateOutputLimit &&
           inflated_.limit < kMaxInflatedLength) {
        uint64_t limit = 2 * static_cast<uint64_t>(inflated_.limit);
        if (limit < wanted) limit = wanted;
        if (limit < 65536) limit = 65536;
        inflated_.limit = static_cast<uint32_t>(limit < kMaxInflatedLength ? limit : kMaxInflatedLength);
        status_ = InflateZlib(compressed_.data(), static_cast<uint32_t>(compressed_.size()),
                              &inflated_);
    }
}

int32_t TZDecompressionStream::Read(void* buffer, int32_t count) {
    if (count <= 0) return 0;
    Inflate(static_cast<uint64_t>(position_) + static_cast<uint32_t>(count));
    // Whatever a damaged or unfinished stream gave before its fault is delivered.
    uint32_t available = inflated_.length - static_cast<uint32_t>(position_);
    int32_t delivered = available < static_cast<uint32_t>(count) ? static_cast<int32_t>(available) : count;
    if (delivered > 0) std::memcpy(buffer, inflated_.data + position_, static_cast<size_t>(delivered));
    position_ += delivered;
    return delivered;
}

int32_t TZDecompressionStream::Write(const void* buffer, int32_t count) { return 0; }

int32_t TZDecompressionStream::Seek(int32_t offset, int origin) {
    if (offset == 0 && origin == soBeginning) {
        source_->SetPosition(0);
        sourcePosition_ = 0;
        compressed_.clear();
        loaded_ = false;
        inflated_.length = 0;
        inflated_.limit = 0;
        status_ = kInflateOutputLimit;
        position_ = 0;
    } else if ((origin == soCurrent && offset > 0) ||
               (origin == soBeginning && offset > position_)) {
        uint64_t target = origin == soCurrent ? static_cast<uint64_t>(position_) + offset
                                              : static_cast<uint64_t>(offset);
        // Data that ends early ends the skip where it ends.
        Inflate(target);
        position_ = static_cast<int32_t>(target < inflated_.length ? target : inflated_.length);
    }
    return position_;
}
