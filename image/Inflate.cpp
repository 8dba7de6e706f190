#include "image/Inflate.h"

#include <cstdlib>
#include <cstring>

namespace {

// Codes of up to this many bits are found by one table look-up; longer ones (rare by the nature
// of a Huffman code) by walking the canonical code from its first bit.
constexpr int kFastBits = 10;
constexpr int kMaxBits = 15;

struct HuffmanCode {
    uint16_t fast[1 << kFastBits];  // (symbol << 4) | length, or 0: longer or no code
    uint16_t count[kMaxBits + 1];   // how many codes have each length
    uint16_t symbols[288];          // ordered by length, then by symbol
};

// Builds the code of the given code lengths. Over-subscribed lengths are refused, and so are
// incomplete ones, except that a literal or distance code (`sparse`) may consist of one code of
// one bit, or of none (a block without matches); what such a code does not give fails when it
// is met.
bool BuildCode(HuffmanCode* code, const uint8_t* lengths, int n, bool sparse) {
    std::memset(code->count, 0, sizeof code->count);
    for (int i = 0; i < n; ++i) ++code->count[lengths[i]];
    code->count[0] = 0;
    int left = 1;
    int longest = 0;
    for (int length = 1; length <= kMaxBits; ++length) {
        left = (left << 1) - code->count[length];
        if (left < 0) return false;
        if (code->count[length] != 0) longest = length;
    }
    if (left > 0 && !(sparse && longest <= 1)) return false;

    uint16_t next[kMaxBits + 2];
    next[1] = 0;
    for (int length = 1; length <= kMaxBits; ++length)
        next[length + 1] = static_cast<uint16_t>(next[length] + code->count[length]);
    for (int i = 0; i < n; ++i)
        if (lengths[i] != 0) code->symbols[next[lengths[i]]++] = static_cast<uint16_t>(i);

    // The stream holds a code's first bit lowest, so the table is indexed by reversed codes.
    std::memset(code->fast, 0, sizeof code->fast);
    uint32_t value = 0;
    int index = 0;
    for (int length = 1; length <= kFastBits; ++length, value <<= 1) {
        for (int k = 0; k < code->count[length]; ++k, ++value) {
            uint32_t reversed = 0;
            for (int bit = 0; bit < length; ++bit) reversed |= ((value >> bit) & 1) << (length - 1 - bit);
            uint16_t entry = static_cast<uint16_t>(code->symbols[index++] << 4 | length);
            for (uint32_t r = reversed; r < (1u << kFastBits); r += 1u << length) code->fast[r] = entry;
        }
    }
    return true;
}

// RFC 1951, 3.2.5: the base and extra bits of the length symbols 257..285 and distance codes.
const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block gives the code lengths of its code-length code.
const uint8_t kLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

class Inflater {
public:
    Inflater(const uint8_t* input, uint32_t length, InflateOutput* output)
        : in_(input), inLength_(length), out_(output) {}

    InflateStatus Run();

private:
    // Keeps at least 25 bits in the buffer. Past the end of the input it shifts in zeros and
    // remembers it: Overrun() tells whether any of those were used.
    __attribute__((always_inline)) void Refill() {
        while (bitCount_ <= 24) {
            uint32_t byte = position_ < inLength_ ? in_[position_] : 0;
            ++position_;
            bits_ |= byte << bitCount_;
            bitCount_ += 8;
        }
    }
    __attribute__((always_inline)) bool Overrun() const {
        return position_ > inLength_ && (position_ - inLength_) * 8 > bitCount_;
    }
    uint32_t Bits(int n) {
        Refill();
        uint32_t value = bits_ & ((1u << n) - 1);
        bits_ >>= n;
        bitCount_ -= n;
        return value;
    }
    // A failure found on bits past the end of the input is the input's end.
    InflateStatus Fail(InflateStatus status) const {
        return Overrun() ? kInflateInputEnded : status;
    }
    int Decode(const HuffmanCode& code);
    InflateStatus Reserve(uint32_t count);
    InflateStatus Stored();
    InflateStatus Dynamic();
    InflateStatus Fixed();
    InflateStatus Codes();

    const uint8_t* in_;
    uint32_t inLength_;
    uint32_t position_ = 2;  // the next byte to load into the bit buffer
    uint32_t bits_ = 0;
    uint32_t bitCount_ = 0;
    InflateOutput* out_;
    HuffmanCode literals_;
    HuffmanCode distances_;
};

// The symbol of the next code, or -1 where the code gives none.
int Inflater::Decode(const HuffmanCode& code) {
    Refill();
    uint16_t entry = code.fast[bits_ & ((1u << kFastBits) - 1)];
    if (entry != 0) {
        bits_ >>= entry & 15;
        bitCount_ -= entry & 15;
        return entry >> 4;
    }
    int value = 0;
    int first = 0;  // the first code of the current length
    int index = 0;  // its symbol's place in code.symbols
    for (int length = 1; length <= kMaxBits; ++length) {
        value |= static_cast<int>(bits_ & 1);
        bits_ >>= 1;
        --bitCount_;
        int count = code.count[length];
        if (value - first < count) return code.symbols[index + value - first];
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    return -1;
}

InflateStatus Inflater::Reserve(uint32_t count) {
    InflateOutput& out = *out_;
    uint64_t needed = static_cast<uint64_t>(out.length) + count;
    if (needed <= out.capacity) return kInflateOk;
    if (needed > out.limit) return kInflateOutputLimit;
    // Doubling: data that inflates without end reaches the limit after a few dozen copies.
    uint64_t step = out.step != 0 ? out.step : 1;
    uint64_t capacity = out.capacity;
    while (capacity < needed) capacity += capacity > step ? capacity : step;
    if (capacity > out.limit) capacity = out.limit;
    auto* grown = static_cast<uint8_t*>(std::realloc(out.data, static_cast<size_t>(capacity)));
    if (!grown) return kInflateNoMemory;
    out.data = grown;
    out.capacity = static_cast<uint32_t>(capacity);
    return kInflateOk;
}

InflateStatus Inflater::Stored() {
    // To the byte boundary, and give back the whole bytes the bit buffer holds.
    bitCount_ -= bitCount_ % 8;
    position_ -= bitCount_ / 8;
    bits_ = 0;
    bitCount_ = 0;
    if (position_ > inLength_ || inLength_ - position_ < 4) return kInflateInputEnded;
    const uint8_t* p = in_ + position_;
    uint32_t length = p[0] | p[1] << 8;
    if ((length ^ (p[2] | p[3] << 8)) != 0xFFFF) return kInflateBadStoredLength;
    position_ += 4;
    uint32_t available = inLength_ - position_;
    uint32_t copied = length < available ? length : available;
    if (InflateStatus status = Reserve(copied)) return status;
    if (copied != 0) std::memcpy(out_->data + out_->length, in_ + position_, copied);
    out_->length += copied;
    position_ += copied;
    return copied < length ? kInflateInputEnded : kInflateOk;
}

InflateStatus Inflater::Fixed() {
    uint8_t lengths[288];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 112);
    std::memset(lengths + 256, 7, 24);
    std::memset(lengths + 280, 8, 8);
    BuildCode(&literals_, lengths, 288, false);
    // All 32 five-bit codes, so that 30 and 31 decode and are refused as distances.
    std::memset(lengths, 5, 32);
    BuildCode(&distances_, lengths, 32, false);
    return Codes();
}

InflateStatus Inflater::Dynamic() {
    uint32_t literalCount = Bits(5) + 257;
    uint32_t distanceCount = Bits(5) + 1;
    uint32_t lengthCount = Bits(4) + 4;
    if (literalCount > 286 || distanceCount > 30) return Fail(kInflateBadCodeLengths);
    uint8_t lengths[286 + 30];
    std::memset(lengths, 0, 19);
    for (uint32_t i = 0; i < lengthCount; ++i) lengths[kLengthOrder[i]] = static_cast<uint8_t>(Bits(3));
    if (Overrun()) return kInflateInputEnded;
    // The code-length code goes into distances_, which is built later.
    if (!BuildCode(&distances_, lengths, 19, false)) return kInflateBadCodeLengths;

    uint32_t total = literalCount + distanceCount;
    for (uint32_t i = 0; i < total;) {
        int symbol = Decode(distances_);  // the code is complete: every bit pattern is a symbol
        if (Overrun()) return kInflateInputEnded;
        if (symbol < 16) {
            lengths[i++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t value = 0;
        uint32_t repeat;
        if (symbol == 16) {
            if (i == 0) return kInflateBadCodeLengths;
            value = lengths[i - 1];
            repeat = 3 + Bits(2);
        } else if (symbol == 17) {
            repeat = 3 + Bits(3);
        } else {
            repeat = 11 + Bits(7);
        }
        if (Overrun()) return kInflateInputEnded;
        if (repeat > total - i) return kInflateBadCodeLengths;
        std::memset(lengths + i, value, repeat);
        i += repeat;
    }
    if (lengths[256] == 0) return kInflateBadCodeLengths;
    if (!BuildCode(&literals_, lengths, static_cast<int>(literalCount), true) ||
        !BuildCode(&distances_, lengths + literalCount, static_cast<int>(distanceCount), true))
        return kInflateBadCodeLengths;
    return Codes();
}

InflateStatus Inflater::Codes() {
    InflateOutput& out = *out_;
    for (;;) {
        int symbol = Decode(literals_);
        if (Overrun()) return kInflateInputEnded;
        if (symbol < 256) {
            if (symbol < 0) return kInflateBadCode;
            if (out.length == out.capacity)
                if (InflateStatus status = Reserve(1)) return status;
            out.data[out.length++] = static_cast<uint8_t>(symbol);
            continue;
        }
        if (symbol == 256) return kInflateOk;
        symbol -= 257;
        if (symbol >= 29) return kInflateBadCode;
        uint32_t length = kLengthBase[symbol] + Bits(kLengthExtra[symbol]);
        int code = Decode(distances_);
        if (code < 0 || code >= 30) return Fail(kInflateBadDistance);
        uint32_t distance = kDistanceBase[code] + Bits(kDistanceExtra[code]);
        if (Overrun()) return kInflateInputEnded;
        if (distance > out.length) return kInflateBadDistance;
        if (InflateStatus status = Reserve(length)) return status;
        uint8_t* to = out.data + out.length;
        const uint8_t* from = to - distance;
        if (distance >= length) {
            std::memcpy(to, from, length);
        } else {
            // Overlapping: the match repeats bytes it is itself writing.
            for (uint32_t i = 0; i < length; ++i) to[i] = from[i];
        }
        out.length += length;
    }
}

InflateStatus Inflater::Run() {
    out_->length = 0;
    if (inLength_ < 2) return kInflateInputEnded;
    uint32_t method = in_[0];
    uint32_t flags = in_[1];
    if ((method << 8 | flags) % 31 != 0 || (method & 15) != 8 || (method >> 4) > 7)
        return kInflateBadHeader;
    if (flags & 0x20) return kInflatePresetDictionary;

    for (bool last = false; !last;) {
        last = Bits(1) != 0;
        uint32_t type = Bits(2);
        if (Overrun()) return kInflateInputEnded;
        InflateStatus status = type == 0   ? Stored()
                               : type == 1 ? Fixed()
                               : type == 2 ? Dynamic()
                                           : kInflateBadBlockType;
        if (status != kInflateOk) return status;
    }

    bitCount_ -= bitCount_ % 8;
    position_ -= bitCount_ / 8;
    if (position_ > inLength_ || inLength_ - position_ < 4) return kInflateInputEnded;
    const uint8_t* p = in_ + position_;
    uint32_t check = static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    if (check != Adler32(out_->data, out_->length)) return kInflateBadCheck;
    return position_ + 4 == inLength_ ? kInflateOk : kInflateTrailingBytes;
}

}  // namespace

InflateStatus InflateZlib(const uint8_t* input, uint32_t inputLength, InflateOutput* output) {
    Inflater inflater(input, inputLength, output);
    return inflater.Run();
}

uint32_t Adler32(const uint8_t* data, uint32_t length) {
    constexpr uint32_t kBase = 65521;
    // 5552 bytes are the most whose sums cannot overflow 32 bits before they are reduced.
    uint32_t a = 1;
    uint32_t b = 0;
    while (length > 0) {
        uint32_t chunk = length < 5552 ? length : 5552;
        length -= chunk;
        for (; chunk >= 4; chunk -= 4, data += 4) {
            a += data[0];
            b += a;
            a += data[1];
            b += a;
            a += data[2];
            b += a;
            a += data[3];
            b += a;
        }
        for (; chunk > 0; --chunk) {
            a += *data++;
            b += a;
        }
        a %= kBase;
        b %= kBase;
    }
    return b << 16 | a;
}
