// InflateBuffer over arbitrary bytes: it ends, and what it gives is exactly what zlib inflates
// from a complete stream with nothing after it, when that is no longer than the limit; anything
// else is refused.
#include <zlib.h>

#include <cstring>

#include "image/Zlib.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// zlib's own answer: the inflated bytes of a complete stream that uses the whole input.
bool Reference(const uint8_t* data, size_t size, std::string* out) {
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    uint8_t chunk[4096];
    int result;
    do {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        result = inflate(&z, Z_NO_FLUSH);
        out->append(reinterpret_cast<char*>(chunk), sizeof chunk - z.avail_out);
    } while (result == Z_OK && out->size() < (64u << 20));
    bool complete = result == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return complete;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the initial capacity: 0 (the default), tiny, or generous; and the
    // largest length taken: the format's, or one that a stream may well pass.
    uint32_t capacities[] = {0, 1, 7, 256, 4096, 1u << 20};
    uint32_t capacity = capacities[data[0] % 6];
    uint32_t limits[] = {kMaxInflatedLength, 1, 300, 70000};
    uint32_t limit = limits[(data[0] / 6) % 4];
    std::vector<uint8_t> input(data + 1, data + size);
    InflatedData block;
    uint32_t length = 0;
    bool ok = InflateBuffer(input.data(), static_cast<uint32_t>(input.size()), capacity, &block,
                            &length, limit);
    std::string expected;
    bool complete = Reference(input.data(), input.size(), &expected);
    FUZZ_REQUIRE(ok == (complete && expected.size() <= limit));
    if (ok) {
        FUZZ_REQUIRE(length == expected.size());
        FUZZ_REQUIRE(length == 0 || std::memcmp(block.get(), expected.data(), length) == 0);
    } else {
        FUZZ_REQUIRE(!block && length == 0);
    }
    return 0;
}
