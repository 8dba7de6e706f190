// The runtime bitmap: the program's four BITMAP resources, device-independent bitmaps of every
// format, the memory layout a window backend relies on, and .bmp files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image/Bitmap.h"
#include "image/PNG.h"
#include "platform/fake/fake.h"

namespace {

using Bytes = std::string;

void Put16(Bytes* out, uint32_t v) {
    *out += static_cast<char>(v & 0xFF);
    *out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(Bytes* out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

struct Dib {
    int32_t width = 0, height = 0;  // height < 0: rows stored top-down
    uint16_t bits = 4;
    uint32_t compression = 0;
    uint16_t planes = 1;
    uint32_t headerSize = 40;
    std::vector<TPaletteEntry> palette;
    uint32_t colorsUsed = 0;
    std::vector<std::vector<uint8_t>> rows;  // in storage order, already padded

    Bytes Build() const {
        Bytes out;
        Put32(&out, headerSize);
        Put32(&out, static_cast<uint32_t>(width));
        Put32(&out, static_cast<uint32_t>(height));
        Put16(&out, planes);
        Put16(&out, bits);
        Put32(&out, compression);
        Put32(&out, 0);
        Put32(&out, 2835);
        Put32(&out, 2835);
        Put32(&out, colorsUsed);
        Put32(&out, 0);
        out.resize(headerSize, '\0');  // a longer header's extra fields
        for (const auto& e : palette) {
            out += static_cast<char>(e.Blue);
            out += static_cast<char>(e.Green);
            out += static_cast<char>(e.Red);
            out += '\0';
        }
        for (const auto& row : rows) out.append(row.begin(), row.end());
        return out;
    }
};

TPaletteEntry Entry(uint8_t r, uint8_t g, uint8_t b) {
    TPaletteEntry e;
    e.Red = r;
    e.Green = g;
    e.Blue = b;
    return e;
}

std::vector<TPaletteEntry> Greys(int count) {
    std::vector<TPaletteEntry> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back(Entry(static_cast<uint8_t>(i), static_cast<uint8_t>(i),
                                static_cast<uint8_t>(255 - i)));
    return palette;
}

bool LoadDib(const Bytes& dib, TBitmap* bitmap) {
    return bitmap->LoadFromDIB(dib.data(), dib.size());
}

std::vector<uint8_t> Row(const TBitmap& bitmap, int y) {
    const uint8_t* line = bitmap.ScanLine(y);
    return std::vector<uint8_t>(line, line + bitmap.RowBytes());
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// ---- The program's pictures ----

struct Picture {
    const char* name;
    const char* file;
    int width, height;
    TColorRef transparent;
};

const Picture kPictures[] = {
    {"OPENFOLDER", "openfolder.bmp", 16, 16, RGBColor(128, 128, 0)},
    {"CLOSEDFOLDER", "closedfolder.bmp", 16, 16, RGBColor(128, 128, 0)},
    {"FIXEDDRIVE", "fixeddrive.bmp", 16, 11, RGBColor(0, 0, 255)},
    {"REMOVABLEDRIVE", "removabledrive.bmp", 16, 10, RGBColor(255, 255, 255)},
};

class Bitmap : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }

    // What a BITMAP resource holds: the .bmp file without its 14-byte file header.
    static Bytes ResourceOf(const Picture& picture) {
        Bytes file = ReadFile(std::string(TSD_SOURCE_DIR) + "/resources/" + picture.file);
        EXPECT_EQ("BM", file.substr(0, 2)) << picture.file;
        return file.size() > 14 ? file.substr(14) : Bytes();
    }
};

TEST_F(Bitmap, ProgramPicturesLoadFromTheirResources) {
    for (const Picture& picture : kPictures) {
        Bytes resource = ResourceOf(picture);
        fake::SetResource("#2", picture.name, resource);
        TBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromResourceName(picture.name)) << picture.name;
        EXPECT_EQ(picture.width, bitmap.Width()) << picture.name;
        EXPECT_EQ(picture.height, bitmap.Height()) << picture.name;
        EXPECT_EQ(pf4bit, bitmap.PixelFormat()) << picture.name;
        EXPECT_EQ(16u, bitmap.Palette().size()) << picture.name;
        EXPECT_EQ(picture.transparent, bitmap.TransparentColor()) << picture.name;

        // The rows come bottom-up in the resource: its first stored pixel is the bottom-left.
        const auto* dib = reinterpret_cast<const uint8_t*>(resource.data());
        uint32_t colors = Get32(dib + 32) ? Get32(dib + 32) : 16;
        const uint8_t* stored = dib + Get32(dib) + colors * 4;
        int stride = bitmap.RowBytes();
        for (int y = 0; y < bitmap.Height(); ++y)
            EXPECT_EQ(0, std::memcmp(stored + (bitmap.Height() - 1 - y) * stride,
                                     bitmap.ScanLine(y), stride))
                << picture.name << " row " << y;
    }
}

TEST_F(Bitmap, ProgramPicturesSitOnTheirTransparentColour) {
    for (const Picture& picture : kPictures) {
        fake::SetResource("#2", picture.name, ResourceOf(picture));
        TBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromResourceName(picture.name)) << picture.name;
        int w = bitmap.Width(), h = bitmap.Height();
        auto transparent = [&](int x, int y) {
            return bitmap.PixelColor(x, y) == picture.transparent;
        };
        EXPECT_TRUE(transparent(0, 0) && transparent(w - 1, 0) && transparent(w - 1, h - 1))
            << picture.name;
        // Every transparent pixel is reached from the border through transparent pixels: the
        // picture itself never uses the colour, or it would show holes.
        std::vector<char> reached(static_cast<size_t>(w * h), 0);
        std::vector<std::pair<int, int>> todo;
        for (int x = 0; x < w; ++x) todo.insert(todo.end(), {{x, 0}, {x, h - 1}});
        for (int y = 0; y < h; ++y) todo.insert(todo.end(), {{0, y}, {w - 1, y}});
        while (!todo.empty()) {
            auto [x, y] = todo.back();
            todo.pop_back();
            if (x < 0 || y < 0 || x >= w || y >= h || reached[y * w + x] || !transparent(x, y))
                continue;
            reached[y * w + x] = 1;
            todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
        }
        int opaque = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (transparent(x, y))
                    EXPECT_TRUE(reached[y * w + x]) << picture.name << " " << x << "," << y;
                else
                    ++opaque;
            }
        EXPECT_GT(opaque, w * h / 3) << picture.name;
    }
}

TEST_F(Bitmap, MissingResourceLoadsNothing) {
    TBitmap bitmap;
    EXPECT_FALSE(bitmap.LoadFromResourceName("OPENFOLDER"));
    EXPECT_TRUE(bitmap.Empty());
    // Only RT_BITMAP counts.
    fake::SetResource("BITMAP", "OPENFOLDER", ResourceOf(kPictures[0]));
    EXPECT_FALSE(bitmap.LoadFromResourceName("OPENFOLDER"));
}

// ---- Device-independent bitmaps ----

TEST_F(Bitmap, BottomUpAndTopDownRowsEndUpTopFirst) {
    Dib dib;
    dib.width = 3;
    dib.height = 3;
    dib.bits = 8;
    dib.palette = Greys(4);
    dib.colorsUsed = 4;
    dib.rows = {{3, 3, 3, 0}, {2, 2, 2, 0}, {1, 1, 1, 0}};  // bottom row first
    TBitmap up;
    ASSERT_TRUE(LoadDib(dib.Build(), &up));
    dib.height = -3;
    dib.rows = {{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}};  // top row first
    TBitmap down;
    ASSERT_TRUE(LoadDib(dib.Build(), &down));
    for (const TBitmap* bitmap : {&up, &down}) {
        EXPECT_EQ(3, bitmap->Height());
        for (int y = 0; y < 3; ++y) EXPECT_EQ(uint32_t(y + 1), bitmap->PixelIndex(1, y));
        EXPECT_EQ(RGBColor(3, 3, 252), bitmap->TransparentColor());
        EXPECT_EQ(4u, bitmap->Palette().size());
    }
}

TEST_F(Bitmap, EveryFormatKeepsItsRowsAndColours) {
    Dib one;
    one.width = 10;
    one.height = 2;
    one.bits = 1;
    one.palette = {Entry(0, 0, 0), Entry(255, 0, 0)};
    one.rows = {{0x80, 0x40, 0, 0}, {0x00, 0xC0, 0, 0}};
    TBitmap bitmap;
    ASSERT_TRUE(LoadDib(one.Build(), &bitmap));
    EXPECT_EQ(pf1bit, bitmap.PixelFormat());
    EXPECT_EQ(4, bitmap.RowBytes());
    EXPECT_EQ(1u, bitmap.PixelIndex(8, 0));   // top row = last stored
    EXPECT_EQ(1u, bitmap.PixelIndex(9, 0));
    EXPECT_EQ(0u, bitmap.PixelIndex(7, 0));
    EXPECT_EQ(RGBColor(255, 0, 0), bitmap.TransparentColor());  // bottom-left: bit 7 of row 0

    Dib four;
    four.width = 3;
    four.height = 1;
    four.bits = 4;
    four.palette = Greys(16);
    four.rows = {{0x5A, 0xF0, 0, 0}};
    ASSERT_TRUE(LoadDib(four.Build(), &bitmap));
    EXPECT_EQ(pf4bit, bitmap.PixelFormat());
    EXPECT_EQ(5u, bitmap.PixelIndex(0, 0));
    EXPECT_EQ(10u, bitmap.PixelIndex(1, 0));
    EXPECT_EQ(15u, bitmap.PixelIndex(2, 0));
    EXPECT_EQ(RGBColor(10, 10, 245), bitmap.PixelColor(1, 0));

    Dib rgb;
    rgb.width = 3;
    rgb.height = 2;
    rgb.bits = 24;
    rgb.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}, {10, 20, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
    ASSERT_TRUE(LoadDib(rgb.Build(), &bitmap));
    EXPECT_EQ(pf24bit, bitmap.PixelFormat());
    EXPECT_EQ(12, bitmap.RowBytes());
    EXPECT_TRUE(bitmap.Palette().empty());
    EXPECT_EQ(RGBColor(30, 20, 10), bitmap.PixelColor(0, 0));
    EXPECT_EQ(RGBColor(3, 2, 1), bitmap.TransparentColor());
    EXPECT_EQ(RGBColor(9, 8, 7), bitmap.PixelColor(2, 1));

    Dib rgbx;
    rgbx.width = 1;
    rgbx.height = 1;
    rgbx.bits = 32;
    rgbx.colorsUsed = 2;  // an optional colour table before the pixels is skipped
    rgbx.palette = Greys(2);
    rgbx.rows = {{40, 50, 60, 0}};
    ASSERT_TRUE(LoadDib(rgbx.Build(), &bitmap));
    EXPECT_EQ(pf32bit, bitmap.PixelFormat());
    EXPECT_EQ(RGBColor(60, 50, 40), bitmap.TransparentColor());
}

TEST_F(Bitmap, ShortColourTableLeavesHigherIndicesBlack) {
    Dib dib;
    dib.width = 2;
    dib.height = 1;
    dib.bits = 4;
    dib.colorsUsed = 2;
    dib.palette = {Entry(1, 2, 3), Entry(4, 5, 6)};
    dib.rows = {{0x19, 0, 0, 0}};
    TBitmap bitmap;
    ASSERT_TRUE(LoadDib(dib.Build(), &bitmap));
    EXPECT_EQ(2u, bitmap.Palette().size());
    EXPECT_EQ(RGBColor(4, 5, 6), bitmap.PixelColor(0, 0));
    EXPECT_EQ(RGBColor(0, 0, 0), bitmap.PixelColor(1, 0));
}

TEST_F(Bitmap, LongerInfoHeadersAreTaken) {
    Dib dib;
    dib.headerSize = 124;  // BITMAPV5HEADER
    dib.width = 1;
    dib.height = 1;
    dib.bits = 8;
    dib.colorsUsed = 1;
    dib.palette = {Entry(7, 8, 9)};
    dib.rows = {{0, 0, 0, 0}};
    TBitmap bitmap;
    ASSERT_TRUE(LoadDib(dib.Build(), &bitmap));
    EXPECT_EQ(RGBColor(7, 8, 9), bitmap.TransparentColor());
}

TEST_F(Bitmap, RefusedDataLeavesTheBitmapAsItWas) {
    Dib good;
    good.width = 2;
    good.height = 2;
    good.bits = 4;
    good.palette = Greys(16);
    good.rows = {{0x12, 0, 0, 0}, {0x34, 0, 0, 0}};
    Bytes valid = good.Build();

    std::vector<std::pair<const char*, Bytes>> bad;
    bad.push_back({"empty", ""});
    bad.push_back({"pixels cut short", valid.substr(0, valid.size() - 1)});
    bad.push_back({"header only", valid.substr(0, 40)});
    auto variant = [&](const char* what, auto change) {
        Dib dib = good;
        change(dib);
        bad.push_back({what, dib.Build()});
    };
    variant("run-length compressed", [](Dib& d) { d.compression = 2; });
    variant("16 bits per pixel", [](Dib& d) { d.bits = 16; });
    variant("two planes", [](Dib& d) { d.planes = 2; });
    variant("width 0", [](Dib& d) { d.width = 0; });
    variant("negative width", [](Dib& d) { d.width = -2; });
    variant("height 0", [](Dib& d) { d.height = 0; });
    variant("core header", [](Dib& d) { d.headerSize = 12; });
    variant("more colours than the format has", [](Dib& d) {
        d.colorsUsed = 17;
        d.palette = Greys(17);
    });
    variant("huge picture", [](Dib& d) {
        d.width = 0x7FFFFFFF;
        d.height = 0x7FFFFFFF;
    });

    fake::SetResource("#2", "GOOD", valid);
    TBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromResourceName("GOOD"));
    std::vector<uint8_t> before = Row(bitmap, 0);
    for (const auto& [what, bytes] : bad) {
        fake::SetResource("#2", "BAD", bytes);
        EXPECT_FALSE(bitmap.LoadFromResourceName("BAD")) << what;
        EXPECT_EQ(2, bitmap.Width()) << what;
        EXPECT_EQ(before, Row(bitmap, 0)) << what;
    }
    EXPECT_FALSE(bitmap.LoadFromDIB(nullptr, 100));
}

// ---- Memory layout and settings ----

TEST_F(Bitmap, SizeAndFormatGiveZeroedPaddedRows) {
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(nullptr, bitmap.ScanLine(0));
    ASSERT_TRUE(bitmap.SetPixelFormat(pf8bit));
    ASSERT_TRUE(bitmap.SetSize(5, 3));
    EXPECT_EQ(8, bitmap.RowBytes());
    EXPECT_EQ(24u, bitmap.ImageSize());
    bitmap.ScanLine(2)[4] = 9;
    EXPECT_EQ(bitmap.Bits() + 16, bitmap.ScanLine(2));
    EXPECT_EQ(nullptr, bitmap.ScanLine(3));
    EXPECT_EQ(nullptr, bitmap.ScanLine(-1));
    EXPECT_EQ(9u, bitmap.PixelIndex(4, 2));
    EXPECT_EQ(0u, bitmap.PixelIndex(5, 2));

    struct {
        TPixelFormat format;
        int width, rowBytes;
    } strides[] = {{pf1bit, 33, 8}, {pf4bit, 9, 8}, {pf8bit, 4, 4}, {pf24bit, 5, 16},
                   {pf32bit, 3, 12}};
    for (const auto& s : strides) {
        ASSERT_TRUE(bitmap.SetPixelFormat(s.format));
        ASSERT_TRUE(bitmap.SetSize(s.width, 2));
        EXPECT_EQ(s.rowBytes, bitmap.RowBytes()) << s.format;
        EXPECT_EQ(std::vector<uint8_t>(s.rowBytes * 2, 0),
                  std::vector<uint8_t>(bitmap.Bits(), bitmap.Bits() + bitmap.ImageSize()));
    }
    EXPECT_FALSE(bitmap.SetPixelFormat(static_cast<TPixelFormat>(16)));
    EXPECT_FALSE(bitmap.SetSize(0x7FFFFFFF, 0x7FFFFFFF));
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(0u, bitmap.ImageSize());
}

TEST_F(Bitmap, PaletteKeepsAtMost256Entries) {
    TBitmap bitmap;
    std::vector<TPaletteEntry> many(300, Entry(1, 2, 3));
    bitmap.SetPalette(many);
    EXPECT_EQ(256u, bitmap.Palette().size());
}

TEST_F(Bitmap, BitmapInfoDescribesTheMemoryAsATopDownDib) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf4bit);
    bitmap.SetSize(3, 2);
    bitmap.SetPalette({Entry(10, 20, 30), Entry(40, 50, 60)});
    std::vector<uint8_t> info = bitmap.BitmapInfo();
    ASSERT_EQ(40u + 16 * 4, info.size());
    EXPECT_EQ(40u, Get32(&info[0]));
    EXPECT_EQ(3u, Get32(&info[4]));
    EXPECT_EQ(static_cast<uint32_t>(-2), Get32(&info[8]));
    EXPECT_EQ(1, info[12] | info[13] << 8);
    EXPECT_EQ(4, info[14] | info[15] << 8);
    EXPECT_EQ(0u, Get32(&info[16]));
    EXPECT_EQ(bitmap.ImageSize(), Get32(&info[20]));
    EXPECT_EQ(16u, Get32(&info[32]));
    EXPECT_EQ((std::vector<uint8_t>{30, 20, 10, 0, 60, 50, 40, 0, 0, 0, 0, 0}),
              std::vector<uint8_t>(info.begin() + 40, info.begin() + 52));

    // Read back as a packed DIB it gives the same picture.
    bitmap.ScanLine(0)[0] = 0x10;
    Bytes packed(info.begin(), info.end());
    packed.append(reinterpret_cast<const char*>(bitmap.Bits()), bitmap.ImageSize());
    TBitmap copy;
    ASSERT_TRUE(LoadDib(packed, &copy));
    EXPECT_EQ(Row(bitmap, 0), Row(copy, 0));
    EXPECT_EQ(Row(bitmap, 1), Row(copy, 1));

    TBitmap rgb;
    rgb.SetPixelFormat(pf32bit);
    rgb.SetSize(2, 2);
    EXPECT_EQ(40u, rgb.BitmapInfo().size());
}

TEST_F(Bitmap, BmpFilesRoundTripThroughStreams) {
    for (const Picture& picture : kPictures) {
        TBitmap original;
        fake::SetResource("#2", picture.name, ResourceOf(picture));
        ASSERT_TRUE(original.LoadFromResourceName(picture.name));
        TMemoryStream stream;
        ASSERT_TRUE(original.SaveToStream(stream));
        // The same file as the generator wrote, but for the colour table's length field.
        Bytes file = ReadFile(std::string(TSD_SOURCE_DIR) + "/resources/" + picture.file);
        EXPECT_EQ(file.size(), stream.Bytes().size()) << picture.file;

        stream.SetPosition(0);
        TBitmap loaded;
        ASSERT_TRUE(loaded.LoadFromStream(stream));
        EXPECT_EQ(original.Width(), loaded.Width());
        EXPECT_EQ(original.Height(), loaded.Height());
        EXPECT_EQ(original.Palette(), loaded.Palette());
        for (int y = 0; y < original.Height(); ++y) EXPECT_EQ(Row(original, y), Row(loaded, y));
    }
    Bytes notBmp = "PK\3\4 this is no bitmap at all, not even close to one";
    TMemoryStream stream(notBmp.data(), static_cast<int32_t>(notBmp.size()));
    TBitmap bitmap;
    EXPECT_FALSE(bitmap.LoadFromStream(stream));
}

TEST_F(Bitmap, AssignCopiesAnImageOfAnyClass) {
    TPNGImage image;
    image.SetPixelFormat(pf8bit);
    image.SetSize(2, 1);
    image.SetPalette({Entry(1, 1, 1), Entry(2, 2, 2)});
    image.ScanLine(0)[1] = 1;
    TBitmap target;
    target.Assign(image);
    EXPECT_EQ(pf8bit, target.PixelFormat());
    EXPECT_EQ(2, target.Width());
    EXPECT_EQ(RGBColor(2, 2, 2), target.PixelColor(1, 0));
    image.ScanLine(0)[1] = 0;
    EXPECT_EQ(1u, target.PixelIndex(1, 0));  // a copy, not shared
}

}  // namespace
