// TZDecompressionStream over arbitrary bytes, read in pieces of changing sizes with seeks in
// between: it ends, never delivers more than asked, and what it delivers is a prefix of what
// zlib inflates from the same bytes; where zlib finds the whole stream, read to the end it is
// exactly zlib's output.
#include <zlib.h>

#include <cstring>

#include "image/Zlib.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// Everything zlib inflates from the bytes before it stops (at the end or at damage); *complete
// tells whether it reached the end of the stream.
std::string Reference(const std::string& bytes, bool* complete) {
    *complete = false;
    std::string out;
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) return out;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    uint8_t chunk[4096];
    int result;
    do {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        result = inflate(&z, Z_NO_FLUSH);
        out.append(reinterpret_cast<char*>(chunk), sizeof chunk - z.avail_out);
    } while (result == Z_OK && z.avail_out == 0 && out.size() < (16u << 20));
    *complete = result == Z_STREAM_END;
    inflateEnd(&z);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = FuzzParts(data, size, 2);
    const std::string& plan = parts[0];    // piece sizes and seeks
    const std::string& source = parts[1];  // the compressed bytes
    bool complete;
    std::string expected = Reference(source, &complete);

    TMemoryStream memory(source.data(), static_cast<int32_t>(source.size()));
    TZDecompressionStream stream(&memory);
    std::string delivered;  // the bytes from position 0 on
    std::vector<uint8_t> buffer;
    {
        stream.Seek(0, soBeginning);
        for (size_t i = 0; i < plan.size() && i < 64; ++i) {
            uint8_t step = static_cast<uint8_t>(plan[i]);
            if (step == 0xFE) {  // back to the start
                FUZZ_REQUIRE(stream.Seek(0, soBeginning) == 0);
                delivered.clear();
                continue;
            }
            if (step >= 0xF0) {  // a forward skip of the following byte's count
                int32_t skip = i + 1 < plan.size() ? static_cast<uint8_t>(plan[++i]) : 1;
                int32_t before = stream.Position();
                int32_t after = stream.Seek(skip, soCurrent);
                FUZZ_REQUIRE(after >= before && after <= before + skip);
                if (after < before + skip) return 0;  // a skip past the end of the data
                delivered.append(expected, delivered.size(), static_cast<size_t>(skip));
                continue;
            }
            int32_t count = step < 0x80 ? step : (step - 0x80) * 1024;
            buffer.assign(static_cast<size_t>(count) + 1, 0xAA);
            int32_t got = stream.Read(buffer.data(), count);
            FUZZ_REQUIRE(got >= 0 && got <= count);
            FUZZ_REQUIRE(buffer[static_cast<size_t>(count)] == 0xAA);  // nothing beyond
            delivered.append(reinterpret_cast<char*>(buffer.data()), static_cast<size_t>(got));
            FUZZ_REQUIRE(stream.Position() == static_cast<int32_t>(delivered.size()));
        }
    }
    FUZZ_REQUIRE(delivered.size() <= expected.size());
    FUZZ_REQUIRE(expected.compare(0, delivered.size(), delivered) == 0);
    if (complete) {
        // The rest, to the end: all of it, nothing more, bytes after the stream or not.
        buffer.assign(4096, 0);
        for (int32_t got; (got = stream.Read(buffer.data(), 4096)) > 0;)
            delivered.append(reinterpret_cast<char*>(buffer.data()), static_cast<size_t>(got));
        FUZZ_REQUIRE(delivered == expected);
    }
    return 0;
}
