// The PNG reader: chunk handling, the five filters, the bit depths, the files it refuses, and the
// program's own logo. Test files are built here with zlib.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "image/PNG.h"
#include "platform/fake/fake.h"

namespace {

using Bytes = std::string;
using Rows = std::vector<std::vector<uint8_t>>;

Bytes BigEndian(uint32_t v) {
    Bytes out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(v >> (24 - 8 * i));
    return out;
}

Bytes Chunk(const Bytes& name, const Bytes& data) {
    Bytes body = name + data;
    uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    return BigEndian(static_cast<uint32_t>(data.size())) + body + BigEndian(crc);
}

const Bytes kSignature("\x89PNG\r\n\x1a\n", 8);

Bytes Header(uint32_t width, uint32_t height, int depth, int colorType = 3, int interlace = 0) {
    Bytes data = BigEndian(width) + BigEndian(height);
    data += static_cast<char>(depth);
    data += static_cast<char>(colorType);
    data += '\0';  // compression
    data += '\0';  // filter method
    data += static_cast<char>(interlace);
    return Chunk("IHDR", data);
}

std::vector<TPaletteEntry> SamplePalette(int count) {
    std::vector<TPaletteEntry> entries(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        entries[i].Red = static_cast<uint8_t>(i);
        entries[i].Green = static_cast<uint8_t>(255 - i);
        entries[i].Blue = static_cast<uint8_t>(i * 7 + 3);
    }
    return entries;
}

Bytes Plte(const std::vector<TPaletteEntry>& entries) {
    Bytes data;
    for (const auto& e : entries) {
        data += static_cast<char>(e.Red);
        data += static_cast<char>(e.Green);
        data += static_cast<char>(e.Blue);
    }
    return Chunk("PLTE", data);
}

Bytes Compress(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size, '\0');
    EXPECT_EQ(Z_OK, compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                              reinterpret_cast<const Bytef*>(raw.data()),
                              static_cast<uLong>(raw.size()), 9));
    out.resize(size);
    return out;
}

// Filtered scan lines: each row's filter type followed by its bytes.
Bytes ScanLines(const Rows& rows, const std::vector<uint8_t>& types) {
    Bytes raw;
    for (size_t y = 0; y < rows.size(); ++y) {
        raw += static_cast<char>(types[y % types.size()]);
        raw.append(rows[y].begin(), rows[y].end());
    }
    return raw;
}

Bytes Unfiltered(const Rows& rows) { return ScanLines(rows, {0}); }

// A complete indexed file with one IDAT.
Bytes File(uint32_t width, uint32_t height, int depth, const Bytes& scanLines,
           int paletteSize = 256) {
    return kSignature + Header(width, height, depth) + Plte(SamplePalette(paletteSize)) +
           Chunk("IDAT", Compress(scanLines)) + Chunk("IEND", "");
}

bool Load(const Bytes& file, TPNGImage* image) {
    TMemoryStream stream(file.data(), static_cast<int32_t>(file.size()));
    return image->LoadFromStream(stream);
}

Rows RandomRows(size_t width, size_t height, unsigned seed) {
    std::mt19937 random(seed);
    Rows rows(height, std::vector<uint8_t>(width));
    for (auto& row : rows)
        for (auto& b : row) b = static_cast<uint8_t>(random() % 4 == 0 ? 250 + random() % 6
                                                                      : random() % 256);
    return rows;
}

// The encoder's side of the five filters, with one byte per pixel, straight from the PNG
// definition: each byte minus its predictor from the original (unfiltered) neighbours.
std::vector<uint8_t> FilterRow(uint8_t type, const std::vector<uint8_t>& row,
                               const std::vector<uint8_t>* above) {
    std::vector<uint8_t> out(row.size());
    for (size_t i = 0; i < row.size(); ++i) {
        int a = i > 0 ? row[i - 1] : 0;
        int b = above ? (*above)[i] : 0;
        int c = above && i > 0 ? (*above)[i - 1] : 0;
        int predictor = 0;
        if (type == 1) predictor = a;
        if (type == 2) predictor = b;
        if (type == 3) predictor = (a + b) / 2;
        if (type == 4) {
            int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        }
        out[i] = static_cast<uint8_t>(row[i] - predictor);
    }
    return out;
}

Bytes Filtered(const Rows& rows, const std::vector<uint8_t>& types) {
    Rows filtered;
    for (size_t y = 0; y < rows.size(); ++y)
        filtered.push_back(
            FilterRow(types[y % types.size()], rows[y], y > 0 ? &rows[y - 1] : nullptr));
    return ScanLines(filtered, types);
}

std::vector<uint8_t> RowOf(const TBitmap& image, int y, size_t bytes) {
    const uint8_t* line = image.ScanLine(y);
    return std::vector<uint8_t>(line, line + bytes);
}

Rows PixelsOf(const TBitmap& image) {
    Rows rows;
    for (int y = 0; y < image.Height(); ++y) rows.push_back(RowOf(image, y, image.Width()));
    return rows;
}

class PNG : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        InitPNGUnit();
    }
};

// ---- Chunks ----

TEST_F(PNG, RegistryHoldsTheFourChunkClassesInOrderOnce) {
    InitPNGUnit();
    InitPNGUnit();
    const TChunkClasses& classes = ChunkClasses();
    ASSERT_EQ(4u, classes.Count());
    const char* names[] = {"IEND", "IHDR", "IDAT", "PLTE"};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(0, std::memcmp(names[i], classes.NameAt(i).data(), 4)) << i;
    EXPECT_EQ(nullptr, classes.Find({'i', 'h', 'd', 'r'}));  // raw bytes, case matters
    EXPECT_EQ(nullptr, classes.Find({'t', 'E', 'X', 't'}));
}

TEST_F(PNG, LoadsSizePaletteAndPixels) {
    Rows rows = RandomRows(5, 3, 1);
    TPNGImage image;
    Load(File(5, 3, 8, Unfiltered(rows), 256), &image);
    EXPECT_EQ(5, image.Width());
    EXPECT_EQ(3, image.Height());
    EXPECT_EQ(pf8bit, image.PixelFormat());
    EXPECT_EQ(SamplePalette(256), image.Palette());
    EXPECT_EQ(rows, PixelsOf(image));
}

TEST_F(PNG, PaletteHasOneEntryPerTripleOfTheLastPLTE) {
    Rows rows = {{0, 1, 2, 3}};
    std::vector<TPaletteEntry> first = SamplePalette(200), last = SamplePalette(4);
    last[3].Red = 77;
    // A trailing partial triple does not make an entry.
    Bytes lastPlte = Plte(last);
    Bytes partial = Chunk("PLTE", lastPlte.substr(8, 12) + "\x01\x02");
    TPNGImage image;
    Load(kSignature + Header(4, 1, 8) + Plte(first) + Chunk("IDAT", Compress(Unfiltered(rows))) +
             partial + Chunk("IEND", ""),
         &image);
    ASSERT_EQ(last, image.Palette());
    EXPECT_EQ(RGBColor(77, last[3].Green, last[3].Blue), image.PixelColor(3, 0));
    for (const auto& entry : image.Palette()) EXPECT_EQ(0, entry.Flags);
}

TEST_F(PNG, SplitImageDataWithOtherChunksBetweenDecodesAsOne) {
    Rows rows = RandomRows(33, 20, 2);
    Bytes data = Compress(Filtered(rows, {0, 1, 2, 3, 4}));
    TPNGImage whole;
    Load(kSignature + Header(33, 20, 8) + Plte(SamplePalette(256)) + Chunk("IDAT", data) +
             Chunk("IEND", ""),
         &whole);

    // Pieces of 1, 0, 7 bytes and the rest, with unregistered chunks (ancillary and critical)
    // between them.
    Bytes split = kSignature + Header(33, 20, 8) + Plte(SamplePalette(256)) +
                  Chunk("IDAT", data.substr(0, 1)) + Chunk("tEXt", Bytes("Title\0Logo", 10)) +
                  Chunk("IDAT", "") + Chunk("IDAT", data.substr(1, 7)) +
                  Chunk("ZZZZ", Bytes(300, 'z')) + Chunk("IDAT", data.substr(8)) +
                  Chunk("IEND", "");
    TPNGImage pieces;
    Load(split, &pieces);
    EXPECT_EQ(rows, PixelsOf(whole));
    EXPECT_EQ(PixelsOf(whole), PixelsOf(pieces));
}

TEST_F(PNG, DamagedCrcsAreNotChecked) {
    Rows rows = RandomRows(6, 4, 3);
    Bytes file = File(6, 4, 8, Filtered(rows, {1, 4}));
    // The CRC of every chunk: IHDR, PLTE, IDAT, IEND.
    size_t at = 8;
    while (at < file.size()) {
        uint32_t length = static_cast<uint8_t>(file[at]) << 24 |
                          static_cast<uint8_t>(file[at + 1]) << 16 |
                          static_cast<uint8_t>(file[at + 2]) << 8 |
                          static_cast<uint8_t>(file[at + 3]);
        file[at + 8 + length] ^= 0x5A;
        at += 12 + length;
    }
    TPNGImage image;
    Load(file, &image);
    EXPECT_EQ(rows, PixelsOf(image));
}

TEST_F(PNG, FileWithoutIendOrCrcAtTheEndLoads) {
    Rows rows = RandomRows(4, 4, 4);
    Bytes withoutEnd = kSignature + Header(4, 4, 8) + Plte(SamplePalette(16)) +
                       Chunk("IDAT", Compress(Unfiltered(rows)));
    TPNGImage image;
    Load(withoutEnd, &image);
    EXPECT_EQ(rows, PixelsOf(image));

    TPNGImage noCrc;
    Load(withoutEnd.substr(0, withoutEnd.size() - 4), &noCrc);
    EXPECT_EQ(rows, PixelsOf(noCrc));
}

TEST_F(PNG, NothingAfterIendIsRead) {
    Rows rows = RandomRows(3, 2, 5);
    TPNGImage image;
    Load(File(3, 2, 8, Unfiltered(rows)) + "garbage that is no chunk", &image);
    EXPECT_EQ(rows, PixelsOf(image));
}

TEST_F(PNG, ReadsFromTheStreamsPositionAndStopsAtIend) {
    Rows rows = RandomRows(3, 2, 6);
    Bytes file = "prefix" + File(3, 2, 8, Unfiltered(rows)) + "suffix";
    TMemoryStream stream(file.data(), static_cast<int32_t>(file.size()));
    stream.SetPosition(6);
    TPNGImage image;
    ASSERT_TRUE(image.LoadFromStream(stream));
    EXPECT_EQ(rows, PixelsOf(image));
    EXPECT_EQ(static_cast<int32_t>(file.size() - 6), stream.Position());
}

TEST_F(PNG, SaveWritesNothing) {
    TPNGImage image;
    Load(File(3, 2, 8, Unfiltered(RandomRows(3, 2, 7))), &image);
    TMemoryStream out;
    EXPECT_FALSE(image.SaveToStream(out));
    EXPECT_EQ(0u, out.Bytes().size());
}

TEST_F(PNG, ImageDataThatEndsEarlyLeavesTheLastRowsAtIndexZero) {
    Rows rows = RandomRows(5, 4, 8);
    for (auto& row : rows)
        for (auto& b : row) b |= 1;  // never 0, so the rows without data stand out
    Rows firstTwo(rows.begin(), rows.begin() + 2);
    TPNGImage image;
    Load(File(5, 4, 8, Unfiltered(firstTwo)), &image);
    Rows expected = firstTwo;
    expected.resize(4, std::vector<uint8_t>(5, 0));
    EXPECT_EQ(expected, PixelsOf(image));
}

TEST_F(PNG, AHeaderAskingForAHugeOrEmptyImageIsRefusedAndALargeOneWithLittleDataLoads) {
    Bytes row = Unfiltered({{7, 7, 7, 7}});
    TPNGImage huge;
    EXPECT_FALSE(Load(File(100000, 100000, 8, row), &huge)) << "10^10 pixels";
    EXPECT_FALSE(Load(File(0x7FFFFFFF, 2, 1, row), &huge));
    EXPECT_FALSE(Load(File(0, 50000000, 8, row), &huge)) << "no width, millions of rows";
    EXPECT_FALSE(Load(File(4, 0, 8, row), &huge));
    // 4096 x 4096 is allowed; the rows after the data read as index 0 without being decoded.
    TPNGImage large;
    Load(File(4096, 4096, 8, Unfiltered({std::vector<uint8_t>(4096, 9)})), &large);
    ASSERT_EQ(4096, large.Height());
    EXPECT_EQ(9, large.ScanLine(0)[4095]);
    EXPECT_EQ(0, large.ScanLine(1)[0]);
    EXPECT_EQ(0, large.ScanLine(4095)[4095]);
}

// ---- Filters ----

TEST_F(PNG, EachFilterTypeDecodesAsDefined) {
    Rows rows = RandomRows(17, 9, 9);
    for (uint8_t type = 0; type <= 4; ++type) {
        TPNGImage image;
        Load(File(17, 9, 8, Filtered(rows, {type})), &image);
        EXPECT_EQ(rows, PixelsOf(image)) << "filter type " << int(type);
    }
    // Every type after every other type.
    TPNGImage mixed;
    Rows tall = RandomRows(11, 26, 10);
    Load(File(11, 26, 8, Filtered(tall, {0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 2, 4, 1, 3, 0, 3, 1, 4,
                                         2, 0, 4, 0, 1, 2, 3})),
         &mixed);
    EXPECT_EQ(tall, PixelsOf(mixed));
}

TEST_F(PNG, FirstRowSeesZerosAboveAndFirstByteZerosLeft) {
    struct Case {
        uint8_t type;
        std::vector<uint8_t> filtered, expected;
    } cases[] = {
        {1, {200, 100, 0, 0}, {200, 44, 44, 44}},     // Sub wraps modulo 256
        {2, {1, 2, 3, 4}, {1, 2, 3, 4}},              // Up: b = 0
        {3, {10, 10, 10, 10}, {10, 15, 17, 18}},      // Average: floor(a / 2)
        {4, {10, 10, 10, 250}, {10, 20, 30, 24}},     // Paeth: b = c = 0 picks a
    };
    for (const auto& c : cases) {
        TPNGImage image;
        Load(File(4, 1, 8, ScanLines({c.filtered}, {c.type})), &image);
        EXPECT_EQ(c.expected, RowOf(image, 0, 4)) << "filter type " << int(c.type);
    }
}

TEST_F(PNG, FirstByteOfALaterRowSeesNothingToItsLeft) {
    // The row above ends in a filter type byte of its own; it must not serve as c, nor the
    // current row's filter type as a.
    Rows filtered = {{3, 9, 9}, {0, 5, 5}};
    TPNGImage paeth;
    Load(File(3, 2, 8, ScanLines(filtered, {2, 4})), &paeth);
    // Row 0 (Up, first row): 3 9 9. Row 1 Paeth: x0 a=0 b=3 c=0 -> b = 3;
    // x1 a=3 b=9 c=3 -> p=9 -> b = 9 -> 14; x2 a=14 b=9 c=9 -> p=14 -> a = 14 -> 19.
    EXPECT_EQ((std::vector<uint8_t>{3, 14, 19}), RowOf(paeth, 1, 3));

    TPNGImage average;
    Load(File(3, 2, 8, ScanLines({{50, 0, 0}, {0, 0, 0}}, {0, 3})), &average);
    // x0: a=0 b=50 -> 25; x1: a=25 b=0 -> 12; x2: a=12 b=0 -> 6.
    EXPECT_EQ((std::vector<uint8_t>{25, 12, 6}), RowOf(average, 1, 3));
}

TEST_F(PNG, PaethPrefersAThenBThenC) {
    // Row 0 (filter None) is the row above; row 1 uses Paeth. Its first byte always gets b.
    struct Case {
        const char* what;
        Rows filtered;
        std::vector<uint8_t> expected;
    } cases[] = {
        // x0 = 4 + 10 = 14; x1: a=14 b=2 c=10, p=6, pa=8 pb=4 pc=4 -> b.
        {"tie of b and c", {{10, 2}, {4, 0}}, {14, 2}},
        // x0 = 248 + 10 = 2 (mod 256); x1: a=2 b=14 c=10, p=6, pa=4 pb=8 pc=4 -> a.
        {"tie of a and c", {{10, 14}, {248, 0}}, {2, 2}},
        // x0 = 252 + 9 = 5; x1: a=5 b=12 c=9, p=8, pa=3 pb=4 pc=1 -> c.
        {"c nearest", {{9, 12}, {252, 0}}, {5, 9}},
        // x0 = 20 + 10 = 30; x1: a=30 b=20 c=10, p=40, pa=10 pb=20 pc=30 -> a;
        // x2: a=30 b=40 c=20, p=50, pa=20 pb=10 pc=30 -> b.
        {"a nearest, then b", {{10, 20, 40}, {20, 0, 0}}, {30, 30, 40}},
    };
    for (const auto& c : cases) {
        TPNGImage image;
        size_t width = c.expected.size();
        Load(File(static_cast<uint32_t>(width), 2, 8, ScanLines(c.filtered, {0, 4})), &image);
        EXPECT_EQ(c.expected, RowOf(image, 1, width)) << c.what;
    }
}

TEST_F(PNG, FilterTypeAboveFourFails) {
    for (uint8_t type : {5, 6, 255}) {
        TPNGImage image;
        EXPECT_FALSE(Load(File(4, 2, 8, ScanLines({{1, 2, 3, 4}, {1, 2, 3, 4}}, {0, type})),
                          &image))
            << int(type);
    }
}

// ---- Bit depths ----

TEST_F(PNG, Depth1KeepsTheBitsAsOneBitPerPixel) {
    Rows rows = {{0xA5, 0xC0}, {0x3C, 0x40}, {0xFF, 0x80}};  // width 10: 2 bytes
    TPNGImage image;
    Load(File(10, 3, 1, Filtered(rows, {0, 1, 2})), &image);
    ASSERT_EQ(pf1bit, image.PixelFormat());
    EXPECT_EQ(10, image.Width());
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(rows[y], RowOf(image, y, 2)) << y;
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ((rows[y][x / 8] >> (7 - x % 8)) & 1u, image.PixelIndex(x, y));
    }
}

TEST_F(PNG, Depth2KeepsEachIndexInFourBitsPerPixel) {
    // Width 5: indices 0 1 2 3 2 / 3 3 0 1 1, packed four to a byte.
    Rows rows = {{0x1B, 0x80}, {0xF1, 0x40}};
    TPNGImage image;
    Load(File(5, 2, 2, Unfiltered(rows), 4), &image);
    ASSERT_EQ(pf4bit, image.PixelFormat());
    EXPECT_EQ((std::vector<uint8_t>{0x01, 0x23, 0x20}), RowOf(image, 0, 3));
    EXPECT_EQ((std::vector<uint8_t>{0x33, 0x01, 0x10}), RowOf(image, 1, 3));
    std::vector<TPaletteEntry> palette = SamplePalette(4);
    EXPECT_EQ(RGBColor(palette[3].Red, palette[3].Green, palette[3].Blue),
              image.PixelColor(0, 1));
}

TEST_F(PNG, Depth4KeepsTheNibbles) {
    Rows rows = {{0x12, 0x34, 0x50}, {0xFE, 0xDC, 0xB0}};  // width 5
    TPNGImage image;
    Load(File(5, 2, 4, Filtered(rows, {0, 2}), 16), &image);
    ASSERT_EQ(pf4bit, image.PixelFormat());
    EXPECT_EQ(rows[0], RowOf(image, 0, 3));
    EXPECT_EQ(rows[1], RowOf(image, 1, 3));
    EXPECT_EQ(5u, image.PixelIndex(4, 0));
    EXPECT_EQ(14u, image.PixelIndex(1, 1));
}

TEST_F(PNG, Depth16KeepsTheHighByteOfEachSample) {
    Rows rows = {{0x12, 0xAB, 0x00, 0xFF, 0xFE, 0x01}};
    TPNGImage image;
    Load(File(3, 1, 16, Unfiltered(rows)), &image);
    ASSERT_EQ(pf8bit, image.PixelFormat());
    EXPECT_EQ((std::vector<uint8_t>{0x12, 0x00, 0xFE}), RowOf(image, 0, 3));
}

TEST_F(PNG, UnknownDepthKeepsThePixelFormatAndCopiesNothing) {
    TPNGImage image;
    image.SetPixelFormat(pf32bit);
    Load(File(4, 2, 3, Unfiltered({{0xFF, 0xFF}, {0xFF, 0xFF}})), &image);
    EXPECT_EQ(pf32bit, image.PixelFormat());
    EXPECT_EQ(4, image.Width());
    EXPECT_EQ(2, image.Height());
    EXPECT_EQ(std::vector<uint8_t>(16, 0), RowOf(image, 1, 16));
}

// ---- Files that fail ----

TEST_F(PNG, RefusesFilesItCannotRead) {
    Rows rows = {{1, 2}, {3, 4}};
    Bytes data = Chunk("IDAT", Compress(Unfiltered(rows)));
    Bytes plte = Plte(SamplePalette(8));
    Bytes end = Chunk("IEND", "");
    Bytes good = kSignature + Header(2, 2, 8) + plte + data + end;
    Bytes badSignature = good;
    badSignature[4] = '\x0A';  // as after a text-mode transfer
    Bytes truncated = good.substr(0, 8 + 25 + 12 + 24 + 8 + 5);  // inside the IDAT data

    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty stream", ""},
        {"short signature", kSignature.substr(0, 5)},
        {"wrong signature", badSignature},
        {"only the signature", kSignature},
        {"first chunk not IHDR", kSignature + plte + Header(2, 2, 8) + data + end},
        {"no IDAT", kSignature + Header(2, 2, 8) + plte + end},
        {"IDAT only after IEND", kSignature + Header(2, 2, 8) + plte + end + data},
        {"chunk data past the end", truncated},
        {"chunk length beyond any file", kSignature + Header(2, 2, 8) + plte +
                                             BigEndian(0xFFFFFFF0u) + "IDAT" + "\x78\xDA"},
        {"chunk header cut short", kSignature + Header(2, 2, 8) + plte + data + Bytes(2, '\0')},
        {"colour type 2", kSignature + Header(2, 2, 8, 2) + plte + data + end},
        {"colour type 0", kSignature + Header(2, 2, 8, 0) + plte + data + end},
        {"colour type 6", kSignature + Header(2, 2, 8, 6) + plte + data + end},
        {"interlaced", kSignature + Header(2, 2, 8, 3, 1) + plte + data + end},
        {"no PLTE", kSignature + Header(2, 2, 8) + data + end},
        {"empty PLTE", kSignature + Header(2, 2, 8) + Chunk("PLTE", "") + data + end},
        {"PLTE of 257 entries", kSignature + Header(2, 2, 8) + Plte(SamplePalette(257)) + data +
                                    end},
        {"IHDR too short to say indexed", kSignature + Chunk("IHDR", Header(2, 2, 8).substr(8, 9)) +
                                              plte + data + end},
    };
    for (const auto& c : cases) {
        TPNGImage image;
        EXPECT_FALSE(Load(c.file, &image)) << c.what;
    }
    TPNGImage image;
    EXPECT_TRUE(Load(good, &image));
    // Skipped chunks do not count: the first chunk kept is what must be the header.
    EXPECT_TRUE(Load(kSignature + Chunk("tEXt", "a") + Header(2, 2, 8) + plte + data + end,
                     &image));
}

TEST_F(PNG, HugeDimensionsFail) {
    Bytes data = Chunk("IDAT", Compress(Unfiltered({{1}})));
    Bytes plte = Plte(SamplePalette(2));
    for (uint32_t size : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        for (int depth : {1, 8, 16, 255}) {
            TPNGImage image;
            EXPECT_FALSE(Load(kSignature + Header(size, size, depth) + plte + data, &image))
                << size << " " << depth;
        }
    }
}

// ---- The program's logo ----

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

Bytes LogoFile() { return ReadFile(std::string(TSD_SOURCE_DIR) + "/resources/logo.png"); }

struct ParsedChunk {
    Bytes name, data;
};

std::vector<ParsedChunk> ChunksOf(const Bytes& file) {
    std::vector<ParsedChunk> chunks;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        uint32_t length = static_cast<uint8_t>(file[at]) << 24 |
                          static_cast<uint8_t>(file[at + 1]) << 16 |
                          static_cast<uint8_t>(file[at + 2]) << 8 |
                          static_cast<uint8_t>(file[at + 3]);
        chunks.push_back({file.substr(at + 4, 4), file.substr(at + 8, length)});
        at += 12 + length;
    }
    return chunks;
}

TEST_F(PNG, LogoFileIsTheKindTheReaderIsMadeFor) {
    Bytes file = LogoFile();
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(kSignature, file.substr(0, 8));
    std::vector<ParsedChunk> chunks = ChunksOf(file);
    ASSERT_EQ(4u, chunks.size());
    EXPECT_EQ("IHDR", chunks[0].name);
    EXPECT_EQ(Header(120, 260, 8).substr(8, 13), chunks[0].data);
    EXPECT_EQ("PLTE", chunks[1].name);
    EXPECT_EQ(768u, chunks[1].data.size());
    EXPECT_EQ("IDAT", chunks[2].name);
    EXPECT_EQ("\x78\xDA", chunks[2].data.substr(0, 2));
    EXPECT_EQ("IEND", chunks[3].name);
    EXPECT_EQ(Chunk("IEND", ""), file.substr(file.size() - 12));

    uLongf size = 261 * 121;
    Bytes raw(size, '\0');
    ASSERT_EQ(Z_OK, uncompress(reinterpret_cast<Bytef*>(&raw[0]), &size,
                               reinterpret_cast<const Bytef*>(chunks[2].data.data()),
                               static_cast<uLong>(chunks[2].data.size())));
    ASSERT_EQ(260u * 121u, size);
    for (size_t y = 0; y < 260; ++y) EXPECT_EQ('\0', raw[y * 121]) << "filter of row " << y;
}

TEST_F(PNG, LogoLoadsWithItsPaletteAndIndices) {
    Bytes file = LogoFile();
    std::vector<ParsedChunk> chunks = ChunksOf(file);
    ASSERT_EQ(4u, chunks.size());
    Bytes raw(260 * 121, '\0');
    uLongf size = static_cast<uLongf>(raw.size());
    ASSERT_EQ(Z_OK, uncompress(reinterpret_cast<Bytef*>(&raw[0]), &size,
                               reinterpret_cast<const Bytef*>(chunks[2].data.data()),
                               static_cast<uLong>(chunks[2].data.size())));

    fake::SetResource("PNG", "LOGO", file);
    TBitmap logo;
    ASSERT_TRUE(LoadLogo(logo));
    ASSERT_EQ(120, logo.Width());
    ASSERT_EQ(260, logo.Height());
    EXPECT_EQ(pf8bit, logo.PixelFormat());
    ASSERT_EQ(256u, logo.Palette().size());
    for (size_t i = 0; i < 256; ++i) {
        TPaletteEntry expected;
        expected.Red = static_cast<uint8_t>(chunks[1].data[3 * i]);
        expected.Green = static_cast<uint8_t>(chunks[1].data[3 * i + 1]);
        expected.Blue = static_cast<uint8_t>(chunks[1].data[3 * i + 2]);
        EXPECT_EQ(expected, logo.Palette()[i]) << i;
    }
    for (int y = 0; y < 260; ++y)
        ASSERT_EQ(0, std::memcmp(raw.data() + y * 121 + 1, logo.ScanLine(y), 120)) << y;
}

TEST_F(PNG, LogoNeedsItsResource) {
    TBitmap logo;
    EXPECT_FALSE(LoadLogo(logo));
    fake::SetResource("PNG", "LOGO", LogoFile().substr(0, 100));
    EXPECT_FALSE(LoadLogo(logo));
    EXPECT_TRUE(logo.Empty());
}

TEST_F(PNG, ResourceStreamReadsTheResourceInPlace) {
    fake::SetResource("PNG", "LOGO", "0123456789");
    TResourceStream stream("LOGO", "PNG");
    EXPECT_TRUE(stream.Found());
    const void* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(plat::LoadOwnResource("PNG", "LOGO", &data, &size));
    EXPECT_EQ(data, stream.Memory());
    EXPECT_EQ(10, stream.Size());
    char buffer[8] = {};
    EXPECT_EQ(4, stream.Read(buffer, 4));
    EXPECT_EQ("0123", Bytes(buffer, 4));
    EXPECT_EQ(8, stream.Seek(-2, soEnd));
    EXPECT_EQ(2, stream.Read(buffer, 8));
    EXPECT_EQ("89", Bytes(buffer, 2));
    EXPECT_EQ(0, stream.Read(buffer, 8));
    EXPECT_EQ(0, stream.Write("x", 1));
    EXPECT_EQ(3, stream.Seek(3, soBeginning));
    EXPECT_EQ(3, stream.Seek(-1, soBeginning));  // before the start: not moved
    TResourceStream otherType("LOGO", "BITMAP");
    TResourceStream otherName("OTHER", "PNG");
    EXPECT_FALSE(otherType.Found());
    EXPECT_FALSE(otherName.Found());
    EXPECT_EQ(0, otherName.Size()) << "a missing resource reads as an empty stream";
}

}  // namespace
