#include "FontTestSetup.h"
#include "RasterHelpers.h"

#include "platform/TextRaster.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pq {
namespace {

using test::InkBox;
using test::PixelAt;

constexpr uint32_t kWhite = 0xFFFFFF;

CDibSection WhiteBitmap(int32_t width, int32_t height, uint16_t bitCount) {
    CDibSection dib;
    EXPECT_TRUE(dib.Create(width, height, bitCount));
    std::fill(dib.GetBits().begin(), dib.GetBits().end(), uint8_t{0xFF});
    return dib;
}

CFont MakeFont(int32_t height, int32_t escapement = 0, int32_t weight = kFontWeightNormal,
               bool underline = false) {
    CLogFont logFont;
    logFont.faceName = u"DejaVu Sans";
    logFont.height = height;
    logFont.escapement = logFont.orientation = escapement;
    logFont.weight = weight;
    logFont.underline = underline;
    CFont font;
    EXPECT_TRUE(font.Create(logFont));
    return font;
}

CTextRasterOptions Colour(uint32_t colour) {
    CTextRasterOptions options;
    options.color = colour;
    return options;
}

TEST(RenderTextLine, InkStaysInsideTheCellAndTheReturnedRectangle) {
    CDibSection dib = WhiteBitmap(300, 120, 24);
    const CFont font = MakeFont(-40);
    const CRect written = RenderTextLine(dib, font, {20, 30}, u"Hxgj", Colour(0));
    const CRect ink = InkBox(dib);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_EQ(written, ink);
    const CTextSize extent = font.GetTextExtent(u"Hxgj");
    EXPECT_GE(ink.left, 20 - 2);
    EXPECT_LE(ink.right, 20 + extent.cx + 2);
    EXPECT_GE(ink.top, 30);
    EXPECT_LE(ink.bottom, 30 + extent.cy);
    // The capital reaches up to about the em's top, the descenders below the baseline.
    const int32_t baseline = 30 + font.GetTextMetrics().ascent;
    EXPECT_LT(ink.top, baseline - 25);
    EXPECT_GT(ink.bottom, baseline + 5);
}

TEST(RenderTextLine, GlyphsLookTheSameWhereverTheyArePlaced) {
    // The first line rasterises the glyphs, the second reuses them at another place.
    for (int32_t height : {-18, -300}) {
        CDibSection a = WhiteBitmap(400, 400, 24);
        CDibSection b = WhiteBitmap(400, 400, 24);
        const CFont font = MakeFont(height);
        const CPoint at = height > -100 ? CPoint{5, 7} : CPoint{-60, -40};
        RenderTextLine(a, font, at, u"Ag", Colour(0x00102030));
        RenderTextLine(b, font, at + CPoint{27, 13}, u"Ag", Colour(0x00102030));
        ASSERT_FALSE(InkBox(a).IsEmpty());
        for (int32_t y = 0; y + 13 < 400; ++y)
            for (int32_t x = 0; x + 27 < 400; ++x)
                ASSERT_EQ(PixelAt(a, x, y), PixelAt(b, x + 27, y + 13)) << x << "," << y << " at " << height;
    }
}

TEST(RenderTextLine, QuarterTurnStandsTheLineUpFromItsOrigin) {
    const CFont upright = MakeFont(-30);
    const CFont turned = MakeFont(-30, 900);
    CDibSection a = WhiteBitmap(300, 300, 24);
    CDibSection b = WhiteBitmap(300, 300, 24);
    const CPoint origin{100, 250};
    RenderTextLine(a, upright, origin, u"Rotate", Colour(0));
    RenderTextLine(b, turned, origin, u"Rotate", Colour(0));
    const CRect flat = InkBox(a);
    const CRect up = InkBox(b);
    ASSERT_FALSE(flat.IsEmpty());
    ASSERT_FALSE(up.IsEmpty());
    // The upright box turned counter-clockwise about the origin: (x, y) -> (origin.x + (y - origin.y),
    // origin.y - (x - origin.x)).
    EXPECT_EQ(up.left, origin.x + (flat.top - origin.y));
    EXPECT_EQ(up.right, origin.x + (flat.bottom - origin.y));
    EXPECT_EQ(up.top, origin.y - (flat.right - origin.x));
    EXPECT_EQ(up.bottom, origin.y - (flat.left - origin.x));
}

TEST(RenderTextLine, HalfTurnHangsUpsideDownAndObliqueTextRunsUpAndRight) {
    CDibSection dib = WhiteBitmap(300, 200, 32);
    const CFont half = MakeFont(-30, 1800);
    RenderTextLine(dib, half, {250, 150}, u"Upside", Colour(0));
    CRect ink = InkBox(dib);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_LE(ink.right, 250 + 2);
    EXPECT_GE(ink.left, 250 - half.GetTextExtent(u"Upside").cx - 2);
    EXPECT_LE(ink.bottom, 150 + 1);
    EXPECT_GE(ink.top, 150 - half.GetTextMetrics().height);

    // At 45 degrees the ink lies in the box of the cell turned about its top-left corner, along the line
    // (r, -r) and down the cell (r, r), and stretches along most of the line.
    dib = WhiteBitmap(300, 300, 24);
    const CFont oblique = MakeFont(-20, 450);
    const std::u16string text = u"Diagonal line of text";
    RenderTextLine(dib, oblique, {40, 260}, text, Colour(0));
    ink = InkBox(dib);
    const double w = oblique.GetTextExtent(text).cx, h = oblique.GetTextMetrics().height, r = 0.70710678;
    EXPECT_GE(ink.left, 40 - 2);
    EXPECT_LE(ink.right, 40 + (w + h) * r + 2);
    EXPECT_GE(ink.top, 260 - w * r - 2);
    EXPECT_LE(ink.bottom, 260 + h * r + 2);
    EXPECT_GT(ink.Width(), w * r - 4);
    EXPECT_GT(ink.Height(), w * r - 4);
}

TEST(RenderTextLine, NothingIsWrittenOutsideTheClip) {
    for (uint16_t bits : {uint16_t{24}, uint16_t{32}}) {
        CDibSection dib = WhiteBitmap(200, 100, bits);
        const CRect clip{50, 20, 120, 60};
        CTextRasterOptions options = Colour(0x00123456);
        options.clip = clip;
        const CFont font = MakeFont(-50, 0, kFontWeightBold, true);
        const CRect written = RenderTextLine(dib, font, {10, 5}, u"Clipped WWW text", options);
        EXPECT_GE(written.left, clip.left);
        EXPECT_LE(written.right, clip.right);
        EXPECT_GE(written.top, clip.top);
        EXPECT_LE(written.bottom, clip.bottom);
        int32_t inside = 0;
        for (int32_t y = 0; y < dib.GetHeight(); ++y) {
            for (int32_t x = 0; x < dib.GetWidth(); ++x) {
                if (clip.Contains({x, y}))
                    inside += PixelAt(dib, x, y) != kWhite;
                else
                    ASSERT_EQ(PixelAt(dib, x, y), kWhite)
                        << "pixel " << x << "," << y << " at " << bits << " bits";
            }
        }
        EXPECT_GT(inside, 100);
        // The padding after each 24-bit row (and the rows' fourth bytes outside the clip) is untouched.
        if (bits == 24) {
            const std::size_t used = 200 * 3;
            for (int32_t row = 0; row < dib.GetHeight(); ++row)
                for (std::size_t k = used; k < dib.GetBytesPerRow(); ++k)
                    EXPECT_EQ(dib.GetBits()[row * dib.GetBytesPerRow() + k], 0xFF);
        }
    }
}

TEST(RenderTextLine, TextOffTheBitmapWritesNothingAndTextAcrossItsEdgeIsCut) {
    CDibSection dib = WhiteBitmap(64, 64, 24);
    const CFont font = MakeFont(-30);
    EXPECT_TRUE(RenderTextLine(dib, font, {-5000, 20}, u"far away", Colour(0)).IsEmpty());
    EXPECT_TRUE(RenderTextLine(dib, font, {10, 2000000000}, u"far below", Colour(0)).IsEmpty());
    const CRect edge = RenderTextLine(dib, font, {-20, -10}, u"WWWWWWWW", Colour(0));
    EXPECT_EQ(edge, InkBox(dib));
    EXPECT_EQ(edge.left, 0);
    EXPECT_EQ(edge.top, 0);
    EXPECT_EQ(edge.right, 64);
    const CFont huge = MakeFont(-10000, 300, kFontWeightBold, true);
    const CRect big = RenderTextLine(dib, huge, {-3000, -9000}, u"Enormous", Colour(0));
    EXPECT_LE(big.right, 64);
    EXPECT_LE(big.bottom, 64);
}

TEST(RenderTextLine, CoveredPixelsTakeTheColourEdgesBlendAndAliasedTextHasNoBlend) {
    const uint32_t colour = 0x00336699; // red 0x99, green 0x66, blue 0x33
    for (bool antialias : {true, false}) {
        CDibSection dib = WhiteBitmap(200, 100, antialias ? 24 : 32);
        CTextRasterOptions options = Colour(colour);
        options.antialias = antialias;
        RenderTextLine(dib, MakeFont(-70, antialias ? 0 : 200, kFontWeightBold), {10, 10}, u"HI", options);
        int32_t exact = 0, blended = 0;
        for (int32_t y = 0; y < dib.GetHeight(); ++y) {
            for (int32_t x = 0; x < dib.GetWidth(); ++x) {
                const uint32_t p = PixelAt(dib, x, y);
                exact += p == colour;
                if (p == kWhite || p == colour)
                    continue;
                ++blended;
                // A blend lies between white and the colour in every channel, equally far along in each.
                const double t = (255.0 - (p & 0xFF)) / (255.0 - 0x99);
                EXPECT_NEAR((255.0 - ((p >> 8) & 0xFF)) / (255.0 - 0x66), t, 0.02);
                EXPECT_NEAR((255.0 - ((p >> 16) & 0xFF)) / (255.0 - 0x33), t, 0.02);
            }
        }
        EXPECT_GT(exact, 1000) << "the stems of two bold capitals";
        EXPECT_EQ(blended > 0, antialias);
    }
}

TEST(RenderTextLine, DepthsAndRowOrdersGetTheSamePixels) {
    const CFont font = MakeFont(-24, 100);
    CDibSection reference = WhiteBitmap(150, 50, 24);
    RenderTextLine(reference, font, {5, 10}, u"Same pixels", Colour(0x00204080));
    for (auto [height, bits] : {std::pair{50, 32}, {-50, 24}, {-50, 32}}) {
        CDibSection other = WhiteBitmap(150, height, static_cast<uint16_t>(bits));
        RenderTextLine(other, font, {5, 10}, u"Same pixels", Colour(0x00204080));
        EXPECT_EQ(test::CountDifferences(reference, other), 0) << height << " rows of " << bits << " bits";
        // The fourth byte of a written 32-bit pixel is cleared as the other drawing calls clear it.
        bool cleared = false;
        for (std::size_t i = 0; bits == 32 && i + 3 < other.GetBits().size(); i += 4)
            cleared = cleared || (other.GetBits()[i] != 0xFF && other.GetBits()[i + 3] == 0);
        EXPECT_EQ(cleared, bits == 32);
    }
}

TEST(RenderTextLine, UnderlineRunsUnderTheWholeLineAndAnOpaqueBackgroundFillsTheCell) {
    CDibSection plain = WhiteBitmap(300, 80, 24);
    CDibSection underlined = WhiteBitmap(300, 80, 24);
    const CFont font = MakeFont(-30);
    const CFont withLine = MakeFont(-30, 0, kFontWeightNormal, true);
    RenderTextLine(plain, font, {10, 10}, u"on on", Colour(0));
    RenderTextLine(underlined, withLine, {10, 10}, u"on on", Colour(0));
    const int32_t row = 10 + font.GetTextMetrics().ascent + withLine.GetUnderlineOffset();
    const CTextSize extent = font.GetTextExtent(u"on on");
    for (int32_t x = 9; x <= 10 + extent.cx; ++x) {
        EXPECT_EQ(PixelAt(underlined, x, row), x == 9 || x == 10 + extent.cx ? kWhite : 0u) << x;
        EXPECT_EQ(PixelAt(plain, x, row), kWhite) << x;
    }

    CTextRasterOptions options = Colour(0);
    options.opaque = true;
    options.backgroundColor = 0x0000FF00;
    plain = WhiteBitmap(300, 80, 24);
    RenderTextLine(plain, font, {15, 12}, u"on on", options);
    EXPECT_EQ(InkBox(plain), CRect(15, 12, 15 + extent.cx, 12 + extent.cy));
    EXPECT_EQ(PixelAt(plain, 15, 12), 0x00FF00u);
    EXPECT_EQ(PixelAt(plain, 15 + extent.cx - 1, 12 + extent.cy - 1), 0x00FF00u);
}

TEST(RenderTextLine, OtherDepthsAndEmptyFontsDrawNothing) {
    CDibSection grey;
    ASSERT_TRUE(grey.Create(20, 20, 8));
    const CFont font = MakeFont(-12);
    EXPECT_TRUE(RenderTextLine(grey, font, {0, 0}, u"x", Colour(0)).IsEmpty());
    CDibSection dib = WhiteBitmap(20, 20, 24);
    const CFont empty;
    EXPECT_TRUE(RenderTextLine(dib, empty, {0, 0}, u"x", Colour(0)).IsEmpty());
    CTextRasterOptions inverted = Colour(0);
    inverted.clip = CRect(10, 10, 5, 5);
    EXPECT_TRUE(RenderTextLine(dib, font, {0, 0}, u"x", inverted).IsEmpty());
    EXPECT_TRUE(InkBox(dib).IsEmpty());
}

} // namespace
} // namespace pq
