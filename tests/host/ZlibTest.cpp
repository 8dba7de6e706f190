// Inflation in one piece and as a stream, on good and on damaged data.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>

#include "image/Zlib.h"

namespace {

// Text that compresses well, with enough variety to need several deflate blocks.
std::string SampleBytes(size_t size, unsigned seed = 7) {
    std::mt19937 random(seed);
    static const char* words[] = {"tessaron ", "word ", "processor ", "template ", "clip ",
                                  "library ", "\r\n", "letter ", "memo "};
    std::string out;
    while (out.size() < size) out += words[random() % 9];
    out.resize(size);
    return out;
}

std::string Deflate(const std::string& raw, int level = 9) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    EXPECT_EQ(Z_OK, compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                              reinterpret_cast<const Bytef*>(raw.data()),
                              static_cast<uLong>(raw.size()), level));
    out.resize(size);
    return out;
}

bool Inflate(const std::string& packed, uint32_t capacity, std::string* out,
             uint32_t limit = kMaxInflatedLength) {
    InflatedData block;
    uint32_t length = 12345;
    bool ok = InflateBuffer(packed.data(), static_cast<uint32_t>(packed.size()), capacity, &block,
                            &length, limit);
    if (ok) out->assign(reinterpret_cast<const char*>(block.get()), length);
    return ok;
}

TEST(InflateBuffer, GivesExactlyTheInflatedBytesWhateverTheFirstCapacity) {
    std::string raw = SampleBytes(300000);
    std::string packed = Deflate(raw);
    ASSERT_EQ('\x78', packed[0]);
    ASSERT_EQ('\xDA', packed[1]);
    for (uint32_t capacity : {0u, 1u, 256u, 4096u, 299999u, 300000u, 300001u,
                              static_cast<uint32_t>(packed.size() * 5), 4000000u}) {
        std::string out;
        ASSERT_TRUE(Inflate(packed, capacity, &out)) << capacity;
        EXPECT_EQ(raw, out) << capacity;
    }
}

TEST(InflateBuffer, HandlesEmptyAndTinyStreams) {
    std::string out = "x";
    ASSERT_TRUE(Inflate(Deflate(""), 0, &out));
    EXPECT_EQ("", out);
    ASSERT_TRUE(Inflate(Deflate("12345678"), 0, &out));
    EXPECT_EQ("12345678", out);
}

TEST(InflateBuffer, FailsOnDamagedDataInsteadOfGrowingForever) {
    std::string raw = SampleBytes(200000);
    std::string packed = Deflate(raw);

    std::string corrupt = packed;
    for (size_t i = corrupt.size() / 2; i < corrupt.size() / 2 + 8; ++i) corrupt[i] ^= 0x5A;
    std::string out;
    EXPECT_FALSE(Inflate(corrupt, 0, &out));

    std::string badCheck = packed;
    badCheck.back() ^= 1;  // Adler-32 of the output
    EXPECT_FALSE(Inflate(badCheck, 0, &out));

    std::string truncated = packed.substr(0, packed.size() - 20);
    EXPECT_FALSE(Inflate(truncated, 0, &out));
    EXPECT_FALSE(Inflate(packed.substr(0, 2), 0, &out));
    EXPECT_FALSE(Inflate("", 0, &out));

    std::string trailing = packed + "garbage";
    EXPECT_FALSE(Inflate(trailing, 0, &out));

    std::string badHeader = packed;
    badHeader[0] = 0x79;
    EXPECT_FALSE(Inflate(badHeader, 0, &out));

    // A header that asks for a preset dictionary (FDICT set, check bits kept valid).
    std::string dictionary = "\x78\xF9" + std::string(4, '\0') + packed.substr(2);
    EXPECT_FALSE(Inflate(dictionary, 0, &out));
}

TEST(InflateBuffer, AStreamThatInflatesPastTheLimitStops) {
    // 32 MiB of zeros from 32 KiB: from a first capacity of one step the block must grow to the
    // limit, which it does by doubling.
    const std::string bomb = Deflate(std::string(32u << 20, '\0'));
    ASSERT_LT(bomb.size(), 50000u);
    std::string out;
    EXPECT_FALSE(Inflate(bomb, 0, &out, 8u << 20));
    EXPECT_FALSE(Inflate(bomb, 0, &out, (32u << 20) - 1)) << "one byte short";
    ASSERT_TRUE(Inflate(bomb, 0, &out, 32u << 20)) << "exactly the limit";
    EXPECT_EQ(32u << 20, out.size());
    // A first capacity above the limit is held to it.
    EXPECT_FALSE(Inflate(bomb, 128u << 20, &out, 1u << 20));
    ASSERT_TRUE(Inflate(Deflate("12345678"), 4096, &out, 8));
    EXPECT_EQ("12345678", out);
}

class ZStream : public ::testing::Test {
protected:
    void SetUp() override {
        raw = SampleBytes(250000, 11);
        std::string packed = Deflate(raw);
        source = std::make_unique<TMemoryStream>(packed.data(), static_cast<int32_t>(packed.size()));
    }
    std::string ReadAll(TZDecompressionStream& z, int32_t piece) {
        std::string out;
        std::string buffer(static_cast<size_t>(piece), '\0');
        for (;;) {
            int32_t got = z.Read(&buffer[0], piece);
            out.append(buffer, 0, static_cast<size_t>(got));
            if (got < piece) return out;
        }
    }
    std::string raw;
    std::unique_ptr<TMemoryStream> source;
};

TEST_F(ZStream, ReadingInPiecesOfAnySizeGivesTheSameBytes) {
    for (int32_t piece : {1, 7, 3 * 97 + 1, 4096, 65536, 100000, 300000}) {
        source->SetPosition(0);
        TZDecompressionStream z(source.get());
        EXPECT_EQ(raw, ReadAll(z, piece)) << piece;
        EXPECT_EQ(static_cast<int32_t>(raw.size()), z.Position());
        char c;
        EXPECT_EQ(0, z.Read(&c, 1)) << "after the last byte";
    }
}

TEST_F(ZStream, SeekToTheBeginningRestartsAtSourcePositionZero) {
    TZDecompressionStream z(source.get());
    char head[100];
    z.Read(head, 100);
    ASSERT_EQ(100, z.Position());
    source->SetPosition(17);  // another user of the source moves it
    EXPECT_EQ(0, z.Seek(0, soBeginning));
    char again[100];
    ASSERT_EQ(100, z.Read(again, 100));
    EXPECT_EQ(0, std::memcmp(head, again, 100));
    EXPECT_EQ(std::string(raw, 0, 100), std::string(again, 100));
}

TEST_F(ZStream, ForwardSeeksSkipAndOtherSeeksChangeNothing) {
    TZDecompressionStream z(source.get());
    EXPECT_EQ(10000, z.Seek(10000, soBeginning));
    EXPECT_EQ(10000 + 5000, z.Seek(5000, soCurrent));
    char c;
    z.Read(&c, 1);
    EXPECT_EQ(raw[15000], c);
    EXPECT_EQ(15001, z.Seek(500, soBeginning)) << "backwards, not to 0";
    EXPECT_EQ(15001, z.Seek(0, soEnd)) << "reports the position, not the size";
    EXPECT_EQ(15001, z.Seek(-5, soCurrent));
    EXPECT_EQ(15001, z.Seek(15001, soBeginning));
    EXPECT_EQ(static_cast<int32_t>(raw.size()), z.Seek(static_cast<int32_t>(raw.size()), soCurrent))
        << "skipping past the end stops at the end";
}

TEST_F(ZStream, ReadsFromWhereTheSourceStood) {
    std::string packed(source->Bytes().begin(), source->Bytes().end());
    std::string prefixed = "PREFIX" + packed;
    TMemoryStream withPrefix(prefixed.data(), static_cast<int32_t>(prefixed.size()));
    withPrefix.SetPosition(6);
    TZDecompressionStream z(&withPrefix);
    EXPECT_EQ(raw, ReadAll(z, 4096));
}

TEST_F(ZStream, SeekToTheBeginningGoesToTheSourcesStartNotToWhereTheStreamBegan) {
    std::string first = Deflate("the stream at source position 0");
    std::string second(source->Bytes().begin(), source->Bytes().end());
    std::string both = first + second;
    TMemoryStream two(both.data(), static_cast<int32_t>(both.size()));
    two.SetPosition(static_cast<int32_t>(first.size()));
    TZDecompressionStream z(&two);
    char head[100];
    ASSERT_EQ(100, z.Read(head, 100));
    EXPECT_EQ(std::string(raw, 0, 100), std::string(head, 100));
    EXPECT_EQ(0, z.Seek(0, soBeginning));
    EXPECT_EQ("the stream at source position 0", ReadAll(z, 4096))
        << "the first stream, and nothing of the second one after it";
}

TEST_F(ZStream, DamagedDataEndsTheReadWithTheBytesDelivered) {
    std::string packed(source->Bytes().begin(), source->Bytes().end());
    for (size_t i = packed.size() / 3; i < packed.size() / 3 + 16; ++i) packed[i] ^= 0x33;
    TMemoryStream damaged(packed.data(), static_cast<int32_t>(packed.size()));
    TZDecompressionStream z(&damaged);
    std::string out = ReadAll(z, 65536);
    EXPECT_LT(out.size(), raw.size());

    std::string trailing = std::string(source->Bytes().begin(), source->Bytes().end()) + "tail";
    TMemoryStream withTail(trailing.data(), static_cast<int32_t>(trailing.size()));
    TZDecompressionStream z2(&withTail);
    EXPECT_EQ(raw, ReadAll(z2, 65536)) << "bytes after the stream end the read, not loop";
}

}  // namespace
