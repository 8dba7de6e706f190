// The inflater on hand-made streams (each kind of block, each kind of damage) and on what zlib
// makes of varied data at several levels.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "image/Inflate.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Outcome {
    InflateStatus status;
    std::string output;
};

Outcome InflateAll(const Bytes& input, uint32_t limit = 0x7FFFFFFF) {
    InflateOutput out;
    out.limit = limit;
    InflateStatus status = InflateZlib(input.data(), static_cast<uint32_t>(input.size()), &out);
    Outcome outcome{status, std::string(reinterpret_cast<char*>(out.data), out.length)};
    std::free(out.data);
    return outcome;
}

Bytes Cut(const Bytes& bytes, size_t length) { return Bytes(bytes.begin(), bytes.begin() + length); }
Bytes Plus(Bytes bytes, uint8_t extra) {
    bytes.push_back(extra);
    return bytes;
}

// A stored block holding "hello", and its Adler-32 0x062C0215.
const Bytes kStoredHello = {0x78, 0x01, 0x01, 0x05, 0x00, 0xFA, 0xFF, 'h',  'e',
                            'l',  'l',  'o',  0x06, 0x2C, 0x02, 0x15};
// A fixed block from zlib's level 1: literals and two matches.
const Bytes kFixed = {0x78, 0x01, 0x4B, 0x4C, 0x4A, 0x4E, 0x84, 0x21, 0x85, 0x8C, 0xD4,
                      0x9C, 0x9C, 0x7C, 0x08, 0x09, 0x00, 0x70, 0x12, 0x09, 0x01};
const char kFixedText[] = "abcabcabcabc hello hello";
// A dynamic block from zlib's level 9.
const Bytes kDynamic = {
    0x78, 0xDA, 0xB5, 0x8D, 0x4B, 0x16, 0x83, 0x20, 0x10, 0x04, 0xAF, 0xD2, 0xB9, 0x80, 0xE7,
    0xC8, 0x32, 0x0B, 0x2F, 0x00, 0x3A, 0x20, 0x09, 0x32, 0x91, 0xAF, 0x70, 0x7A, 0xE7, 0xE5,
    0xE5, 0x0A, 0xAE, 0xAB, 0xBA, 0x7A, 0xDE, 0x08, 0x47, 0x71, 0xCB, 0x07, 0x3A, 0x72, 0x0B,
    0x30, 0x7C, 0xE2, 0x5D, 0xF6, 0x6F, 0x02, 0x57, 0x8A, 0xC8, 0x82, 0xBD, 0x1A, 0x1D, 0x2B,
    0xDB, 0x09, 0xF3, 0x6D, 0xF2, 0x4B, 0x89, 0xB7, 0x77, 0x68, 0x91, 0x9A, 0xCB, 0x1B, 0x8C,
    0xAB, 0x24, 0x68, 0x50, 0x80, 0x77, 0x47, 0xE1, 0x28, 0x5B, 0x9B, 0x26, 0x3C, 0xB9, 0xA1,
    0xD2, 0xE9, 0x82, 0xF5, 0xFD, 0x9F, 0x5F, 0x95, 0xC9, 0x18, 0xA4, 0xA3, 0x4A, 0xBF, 0x83,
    0xC7, 0x05, 0xD0, 0x50, 0x4C, 0x91};
const char kDynamicText[] =
    "The quick brown fox jumps over the lazy dog. The quick brown fox jumps over the lazy dog. "
    "The quick brown fox jumps over the lazy dog. Pack my box with five dozen liquor jugs. How "
    "vexingly quick daft zebras jump!";

// The header of the dynamic blocks below: final, dynamic, 257 literal/length and one distance
// code lengths, a code-length code of 13 four-bit and 6 five-bit codes.
#define DYNAMIC_HEADER 0x78, 0x01, 0x05, 0xE0, 0xDB, 0x92, 0x24, 0x49, 0x92, 0x2C, 0xCB

struct Case {
    const char* what;
    Bytes input;
    InflateStatus status;
    std::string output;
};

TEST(InflateZlib, HandMadeStreams) {
    const Case cases[] = {
        {"stored block", kStoredHello, kInflateOk, "hello"},
        {"fixed block", kFixed, kInflateOk, kFixedText},
        {"dynamic block", kDynamic, kInflateOk, kDynamicText},
        {"stored block, then a fixed one",
         {0x78, 0x01, 0x00, 0x02, 0x00, 0xFD, 0xFF, 'h', 'i', 0x53, 0x04, 0x00, 0x02, 0x2E, 0x00,
          0xF3},
         kInflateOk, "hi!"},
        {"a match that overlaps what it writes",
         {0x78, 0x01, 0x4B, 0x04, 0x02, 0x00, 0x03, 0xCE, 0x01, 0x85}, kInflateOk, "aaaa"},
        {"length 258 at distance 1",
         {0x78, 0x01, 0xAB, 0x1A, 0x05, 0x00, 0xB2, 0x81, 0x7B, 0x6F}, kInflateOk,
         std::string(259, 'z')},
        {"a literal code of two one-bit codes, one distance code of one bit",
         {DYNAMIC_HEADER, 0x7E, 0x2B, 0xFE, 0xFF, 0x4F, 0x20, 0x12, 0x01, 0x25, 0x00, 0xC3},
         kInflateOk, "aa"},
        {"no distance code at all",
         {DYNAMIC_HEADER, 0x7E, 0x2B, 0xFE, 0xFF, 0x4F, 0x20, 0x08, 0x00, 0x62, 0x00, 0x62},
         kInflateOk, "a"},

        {"header check fails", {0x78, 0x02, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0, 0, 0, 1},
         kInflateBadHeader, ""},
        {"method 9", {0x79, 0x18, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0, 0, 0, 1}, kInflateBadHeader, ""},
        {"a 64 KiB window", {0x88, 0x1C, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0, 0, 0, 1},
         kInflateBadHeader, ""},
        {"preset dictionary",
         {0x78, 0xF9, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0, 0, 0, 1},
         kInflatePresetDictionary, ""},
        {"block type 3", {0x78, 0x01, 0x07, 0x00, 0x00, 0x00, 0x00}, kInflateBadBlockType, ""},
        {"stored length and complement disagree",
         {0x78, 0x01, 0x01, 0x05, 0x00, 0xFA, 0xFE, 'h', 'e', 'l', 'l', 'o', 0x06, 0x2C, 0x02,
          0x15},
         kInflateBadStoredLength, ""},
        {"code-length code incomplete", {0x78, 0x01, 0x05, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00},
         kInflateBadCodeLengths, ""},
        {"code-length code over-subscribed",
         {0x78, 0x01, 0x05, 0x00, 0x92, 0x00, 0x00, 0x00, 0x00, 0x00}, kInflateBadCodeLengths, ""},
        {"repeat with nothing before", {DYNAMIC_HEADER, 0x5E, 0x00, 0x00, 0x00, 0x00, 0x00},
         kInflateBadCodeLengths, ""},
        {"zeros past the last length",
         {DYNAMIC_HEADER, 0xFE, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x00}, kInflateBadCodeLengths,
         ""},
        {"a repeat of the last length past the end",
         {DYNAMIC_HEADER, 0x7E, 0x2B, 0xFE, 0xFF, 0x4F, 0xE0, 0x45, 0x00, 0x62, 0x00, 0x62},
         kInflateBadCodeLengths, ""},
        {"no end-of-block code",
         {DYNAMIC_HEADER, 0x7E, 0x2B, 0xE2, 0xFF, 0xFF, 0x04, 0x02, 0x00, 0x00, 0x00, 0x00},
         kInflateBadCodeLengths, ""},
        {"literal code incomplete",
         {DYNAMIC_HEADER, 0x7E, 0x2B, 0xFE, 0xFF, 0x4F, 0x10, 0x02, 0x00, 0x00, 0x00, 0x00},
         kInflateBadCodeLengths, ""},
        {"literal code over-subscribed",
         {DYNAMIC_HEADER, 0x7E, 0x2B, 0xE2, 0xFF, 0x7F, 0x04, 0x22, 0x00, 0x00, 0x00, 0x00},
         kInflateBadCodeLengths, ""},
        {"287 literal/length codes", {0x78, 0x01, 0xF5, 0xE0, 0x01, 0x00, 0x00, 0x00, 0x00},
         kInflateBadCodeLengths, ""},
        {"literal/length code 286 after 'a'", {0x78, 0x01, 0x4B, 0x1C, 0x03, 0x00, 0x00, 0x00, 0x00},
         kInflateBadCode, "a"},
        {"distance code 30", {0x78, 0x01, 0x4B, 0x04, 0x3E, 0x00, 0x00, 0x00, 0x00},
         kInflateBadDistance, "a"},
        {"the distance code that the code does not give",
         {0x78, 0x01, 0x0D, 0xE0, 0xDB, 0x92, 0x24, 0x49, 0x92, 0x2C, 0xCB, 0x7E, 0x2B, 0xFE, 0xFF,
          0x4F, 0x10, 0xA1, 0x03, 0x00, 0x00, 0x00, 0x00},
         kInflateBadDistance, "a"},
        {"distance 2 after one byte", {0x78, 0x01, 0x4B, 0x04, 0x42, 0x00, 0x00, 0x00, 0x00, 0x00},
         kInflateBadDistance, "a"},
        {"empty input", {}, kInflateInputEnded, ""},
        {"one byte", {0x78}, kInflateInputEnded, ""},
        {"header alone", {0x78, 0x01}, kInflateInputEnded, ""},
        {"stored block cut in its length", Cut(kStoredHello, 5), kInflateInputEnded, ""},
        {"stored block cut in its data", Cut(kStoredHello, 10), kInflateInputEnded, "hel"},
        {"check value cut", Cut(kStoredHello, 14), kInflateInputEnded, "hello"},
        {"fixed block cut", Cut(kFixed, 9), kInflateInputEnded, "abcabcabcabc "},
        {"dynamic block cut in its code lengths", Cut(kDynamic, 20), kInflateInputEnded, ""},
        {"a byte after the stream", Plus(kStoredHello, 0), kInflateTrailingBytes, "hello"},
        {"wrong check value", Plus(Cut(kStoredHello, 15), 0x14), kInflateBadCheck, "hello"},
    };
    for (const Case& c : cases) {
        Outcome outcome = InflateAll(c.input);
        EXPECT_EQ(c.status, outcome.status) << c.what;
        EXPECT_EQ(c.output, outcome.output) << c.what;
    }
}

TEST(InflateZlib, DistanceCode30IsRefusedEvenWhereItsDistanceWouldReach) {
    // A stored block of 40,000 'x', then a fixed block: length 3 at distance code 30 (which
    // would mean 32,769 and more), end of block, a check value of zeros.
    Bytes input = {0x78, 0x01, 0x00, 0x40, 0x9C, 0xBF, 0x63};
    input.insert(input.end(), 40000, 'x');
    input.insert(input.end(), {0x03, 0x3E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Outcome outcome = InflateAll(input);
    EXPECT_EQ(kInflateBadDistance, outcome.status);
    EXPECT_EQ(std::string(40000, 'x'), outcome.output);
}

TEST(InflateZlib, StopsAtTheLimit) {
    EXPECT_EQ(kInflateOutputLimit, InflateAll(kStoredHello, 4).status);
    EXPECT_EQ(kInflateOk, InflateAll(kStoredHello, 5).status);
    Bytes longMatch = {0x78, 0x01, 0xAB, 0x1A, 0x05, 0x00, 0xB2, 0x81, 0x7B, 0x6F};  // 259 'z'
    EXPECT_EQ(kInflateOutputLimit, InflateAll(longMatch, 258).status);
    EXPECT_EQ(kInflateOk, InflateAll(longMatch, 259).status);
    EXPECT_EQ(kInflateOutputLimit, InflateAll(kFixed, 23).status);
    EXPECT_EQ(kInflateOk, InflateAll(kFixed, 24).status);
}

TEST(InflateZlib, Adler32OfKnownTexts) {
    const uint8_t hello[] = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(0x062C0215u, Adler32(hello, 5));
    EXPECT_EQ(1u, Adler32(nullptr, 0));
    // 100,000 bytes of 0xFF: both sums wrap the modulus many times.
    std::vector<uint8_t> ones(100000, 0xFF);
    EXPECT_EQ(0x149A302Cu, Adler32(ones.data(), 100000));
}

// Text with runs and random bytes between, so that zlib picks every kind of block and match.
std::string Mixed(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string out;
    while (out.size() < size) {
        switch (random() % 3) {
            case 0: out += "template library clip memo "; break;
            case 1: out.append(random() % 300, static_cast<char>('a' + random() % 26)); break;
            default:
                for (int i = random() % 200; i > 0; --i) out += static_cast<char>(random());
        }
    }
    out.resize(size);
    return out;
}

TEST(InflateZlib, InflatesWhatZlibDeflatesAtEveryLevel) {
    for (int level : {0, 1, 6, 9}) {
        for (size_t size : {size_t{0}, size_t{1}, size_t{1000}, size_t{65535}, size_t{65536},
                            size_t{70001}, size_t{600000}}) {
            std::string raw = Mixed(size, static_cast<unsigned>(size + level));
            uLongf packedSize = compressBound(static_cast<uLong>(size));
            Bytes packed(packedSize);
            ASSERT_EQ(Z_OK, compress2(packed.data(), &packedSize,
                                      reinterpret_cast<const Bytef*>(raw.data()),
                                      static_cast<uLong>(size), level));
            packed.resize(packedSize);
            Outcome outcome = InflateAll(packed);
            EXPECT_EQ(kInflateOk, outcome.status) << level << " " << size;
            EXPECT_TRUE(raw == outcome.output) << level << " " << size;
        }
    }
}

}  // namespace
