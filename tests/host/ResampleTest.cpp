// Pictures drawn larger for a screen of more dots per inch: smooth, not blocks of repeated
// pixels, with the transparent colour kept clear.
#include <gtest/gtest.h>

#include "image/Resample.h"

namespace {

// A 24-bit bitmap from rows of COLORREF values, top row first.
TBitmap Picture(const std::vector<std::vector<TColorRef>>& rows) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            TColorRef c = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            uint8_t* p = b.ScanLine(y) + 3 * x;
            p[0] = static_cast<uint8_t>(c >> 16), p[1] = static_cast<uint8_t>(c >> 8), p[2] = static_cast<uint8_t>(c);
        }
    return b;
}

uint32_t Alpha(uint32_t argb) { return argb >> 24; }
uint32_t Red(uint32_t argb) { return (argb >> 16) & 0xFF; }

const TColorRef kBlack = RGBColor(0, 0, 0), kWhite = RGBColor(255, 255, 255), kKey = RGBColor(0, 0, 255);

TEST(Resample, TheSameSizeGivesTheSamePixels) {
    TBitmap b = Picture({{kBlack, kWhite, RGBColor(10, 20, 30)}, {kWhite, kBlack, kKey}});
    std::vector<uint32_t> out = ResampleArgb(b, 3, 2, false);
    ASSERT_EQ(6u, out.size());
    EXPECT_EQ(0xFF000000u, out[0]);
    EXPECT_EQ(0xFFFFFFFFu, out[1]);
    EXPECT_EQ(0xFF0A141Eu, out[2]);
    EXPECT_EQ(0xFF0000FFu, out[5]) << "not transparent when not asked";
}

TEST(Resample, GrowingBlendsNeighboursInsteadOfRepeatingThem) {
    // Black | white at twice the size: a nearest-neighbour copy would give 0,0,255,255 in each
    // row; a smooth one has in-between shades at the edge.
    TBitmap b = Picture({{kBlack, kWhite}});
    std::vector<uint32_t> out = ResampleArgb(b, 4, 2, false);
    ASSERT_EQ(8u, out.size());
    EXPECT_EQ(0u, Red(out[0]));
    EXPECT_EQ(255u, Red(out[3]));
    EXPECT_GT(Red(out[1]), 0u);
    EXPECT_LT(Red(out[1]), 128u);
    EXPECT_GT(Red(out[2]), 128u);
    EXPECT_LT(Red(out[2]), 255u);
    for (uint32_t p : out) EXPECT_EQ(255u, Alpha(p));
}

TEST(Resample, TheTransparentColourStaysClearAndTintsNothing) {
    // The bottom-left pixel names the transparent colour (blue here).
    TBitmap b = Picture({{kKey, kWhite, kWhite}, {kKey, kWhite, kWhite}});
    ASSERT_EQ(kKey, b.TransparentColor());
    std::vector<uint32_t> out = ResampleArgb(b, 6, 4, true);
    ASSERT_EQ(24u, out.size());
    EXPECT_EQ(0u, out[0]) << "clear, premultiplied to nothing";
    EXPECT_EQ(0xFFFFFFFFu, out[5]) << "opaque white stays white";
    uint32_t edge = out[2];  // between the clear column and the white one
    EXPECT_GT(Alpha(edge), 0u);
    EXPECT_LT(Alpha(edge), 255u);
    EXPECT_EQ(Alpha(edge), Red(edge)) << "white at partial cover, not tinted blue";
    EXPECT_EQ(Alpha(edge), edge & 0xFF);
}

TEST(Resample, ShrinkingAveragesAndBadSizesGiveNothing) {
    TBitmap b = Picture({{kBlack, kWhite}, {kWhite, kBlack}});
    std::vector<uint32_t> out = ResampleArgb(b, 1, 1, false);
    ASSERT_EQ(1u, out.size());
    EXPECT_NEAR(128, static_cast<int>(Red(out[0])), 1);
    EXPECT_TRUE(ResampleArgb(b, 0, 5, false).empty());
    EXPECT_TRUE(ResampleArgb(TBitmap(), 4, 4, false).empty());
}

}  // namespace
