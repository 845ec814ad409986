#include "FontTestSetup.h"
#include "RasterHelpers.h"

#include "platform/TextRaster.h"
#include "platform/Utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace pq {
namespace {

using test::InkBox;
using test::MakeBitmap;
using test::PixelAt;

CFont DejaVu(int32_t pixels, int32_t escapement = 0, bool underline = false) {
    CLogFont logFont;
    logFont.faceName = u"DejaVu Sans";
    logFont.height = -pixels;
    logFont.escapement = logFont.orientation = escapement;
    logFont.underline = underline;
    CFont font;
    EXPECT_TRUE(font.Create(logFont));
    return font;
}

// Pens from the font's advances times a factor, starting at first.
std::vector<double> ScaledPens(const CFont& font, std::u16string_view text, double factor,
                               double first = 0.0) {
    std::vector<double> pen(text.size() + 1, first);
    double at = first;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        const int32_t advance = font.GetCharAdvance(NextCodePoint(text, i));
        for (std::size_t k = start; k < i; ++k)
            pen[k] = at;
        at += factor * advance;
    }
    pen[text.size()] = at;
    return pen;
}

CRect Draw(CDibSection& dib, const CFont& font, double x, double y, std::u16string_view text,
           const std::vector<double>& pen, double glyphScale) {
    CGlyphRun run;
    run.baseX = x;
    run.baseY = y;
    run.text = text;
    run.pen = pen;
    run.glyphScale = glyphScale;
    return RenderGlyphRun(dib, font, run, CTextRasterOptions{});
}

// The mean column of the ink weighted by its coverage (black on white).
double InkCentreX(const CDibSection& dib) {
    double mass = 0.0, moment = 0.0;
    for (int32_t y = 0; y < dib.GetHeight(); ++y)
        for (int32_t x = 0; x < dib.GetWidth(); ++x) {
            const double coverage = 1.0 - static_cast<double>(PixelAt(dib, x, y) & 0xFF) / 255.0;
            mass += coverage;
            moment += coverage * (x + 0.5);
        }
    return moment / mass;
}

TEST(RenderGlyphRun, ScaledOutlinesAreTheOutlinesOfTheScaledSize) {
    // A 20-pixel font scaled by 2.5 draws what a 50-pixel font draws, upright and turned.
    for (const int32_t escapement : {0, 900, 300}) {
        const CFont small = DejaVu(20, escapement), large = DejaVu(50, escapement);
        const std::u16string text = u"HgW";
        CDibSection a = MakeBitmap(400, 400, 24), b = MakeBitmap(400, 400, 24);
        Draw(a, small, 150.0, 250.0, text, ScaledPens(small, text, 2.5), 2.5);
        Draw(b, large, 150.0, 250.0, text, ScaledPens(small, text, 2.5), 1.0);
        const CRect boxA = InkBox(a), boxB = InkBox(b);
        ASSERT_FALSE(boxB.IsEmpty());
        EXPECT_GT(boxB.Width() + boxB.Height(), 100) << escapement;
        EXPECT_NEAR(boxA.left, boxB.left, 1) << escapement;
        EXPECT_NEAR(boxA.right, boxB.right, 1) << escapement;
        EXPECT_NEAR(boxA.top, boxB.top, 1) << escapement;
        EXPECT_NEAR(boxA.bottom, boxB.bottom, 1) << escapement;
        // Edges may differ by a shade where the two sizes round their outline points differently.
        int different = 0;
        for (int32_t y = 0; y < 400; ++y)
            for (int32_t x = 0; x < 400; ++x)
                different += std::abs(static_cast<int>(PixelAt(a, x, y) & 0xFF) -
                                      static_cast<int>(PixelAt(b, x, y) & 0xFF)) > 24;
        EXPECT_LT(different, 20) << escapement;
    }
}

TEST(RenderGlyphRun, GlyphsLandOnTheirPensToAQuarterPixel) {
    const CFont font = DejaVu(16);
    const std::u16string text = u"Hamburg";
    const std::vector<double> pen = ScaledPens(font, text, 1.0);
    CDibSection base = MakeBitmap(160, 60, 24);
    Draw(base, font, 20.0, 40.0, text, pen, 1.0);
    const double centre = InkCentreX(base);
    // Whole pixels move the very same pixels; fractions move the ink by the fraction (as far as the
    // coverage of whole pixels can tell, and to the nearest quarter).
    CDibSection moved = MakeBitmap(160, 60, 24);
    Draw(moved, font, 23.0, 40.0, text, pen, 1.0);
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x + 3 < 160; ++x)
            ASSERT_EQ(PixelAt(base, x, y), PixelAt(moved, x + 3, y)) << x << "," << y;
    for (const double shift : {0.25, 0.5, 0.75, 1.6, -0.3}) {
        CDibSection part = MakeBitmap(160, 60, 24);
        Draw(part, font, 20.0 + shift, 40.0, text, pen, 1.0);
        EXPECT_NEAR(InkCentreX(part) - centre, shift, 0.15) << shift;
    }
    // The pens, not the font's advances, space the glyphs.
    std::vector<double> spread = pen;
    for (std::size_t k = 0; k < spread.size(); ++k)
        spread[k] += 10.0 * static_cast<double>(k);
    CDibSection wide = MakeBitmap(300, 60, 24);
    Draw(wide, font, 20.0, 40.0, text, spread, 1.0);
    EXPECT_NEAR(InkBox(wide).Width() - InkBox(base).Width(), 60, 1);
}

TEST(RenderGlyphRun, UnderlineRunsTheLengthOfThePen) {
    const CFont font = DejaVu(20, 0, true);
    const std::u16string text = u"ab";
    std::vector<double> pen{0.0, 40.0, 150.0};
    CDibSection dib = MakeBitmap(250, 60, 24);
    Draw(dib, font, 30.0, 30.0, text, pen, 1.0);
    const CRect box = InkBox(dib);
    EXPECT_NEAR(box.left, 30, 1);
    EXPECT_NEAR(box.right, 180, 1);
    // At half the size the bar keeps its length and becomes thinner, never thinner than a pixel.
    CDibSection half = MakeBitmap(250, 60, 24);
    Draw(half, font, 30.0, 30.0, text, pen, 0.5);
    EXPECT_NEAR(InkBox(half).right, 180, 1);
    EXPECT_LT(InkBox(half).Height(), box.Height());
}

// Inside a glyph the pixels take the text colour exactly, channel by channel; at its edges every channel
// lies between the background's and the text's. Colours whose channels all differ catch channels mixed
// up; both pixel sizes are drawn.
TEST(RenderGlyphRun, CoveredPixelsTakeTheTextColourAndEdgesLieBetween) {
    const CFont font = DejaVu(80);
    const uint32_t background = 0x20A040, ink = 0x3366CC; // 0x00BBGGRR
    for (uint16_t depth : {24, 32}) {
        CDibSection dib = MakeBitmap(120, 110, depth, background);
        CTextRasterOptions options;
        options.color = ink;
        ASSERT_FALSE(RenderTextLine(dib, font, CPoint{10, 5}, u"IM", options).IsEmpty());
        int inked = 0, edges = 0;
        for (int32_t y = 0; y < dib.GetHeight(); ++y)
            for (int32_t x = 0; x < dib.GetWidth(); ++x) {
                const uint32_t pixel = PixelAt(dib, x, y);
                inked += pixel == ink;
                edges += pixel != ink && pixel != background;
                for (int shift : {0, 8, 16}) {
                    const uint32_t c = pixel >> shift & 0xFF, from = background >> shift & 0xFF,
                                   to = ink >> shift & 0xFF;
                    EXPECT_GE(c, std::min(from, to)) << x << "," << y << " depth " << depth;
                    EXPECT_LE(c, std::max(from, to)) << x << "," << y << " depth " << depth;
                }
            }
        EXPECT_GT(inked, 500) << "depth " << depth; // the stems of I and M, some 9 x 58 pixels each
        EXPECT_GT(edges, 0) << "depth " << depth;
    }
}

TEST(RenderGlyphRun, MalformedRunsDrawNothingAndHugeOnesStayInTheBitmap) {
    const CFont font = DejaVu(20);
    const std::u16string text = u"text";
    const std::vector<double> pen = ScaledPens(font, text, 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    CDibSection dib = MakeBitmap(100, 60, 24);
    EXPECT_TRUE(Draw(dib, font, 10.0, 40.0, text, std::vector<double>(3, 0.0), 1.0).IsEmpty());
    EXPECT_TRUE(Draw(dib, font, nan, 40.0, text, pen, 1.0).IsEmpty());
    EXPECT_TRUE(Draw(dib, font, 10.0, inf, text, pen, 1.0).IsEmpty());
    for (const double scale : {0.0, -2.0, nan, inf})
        EXPECT_TRUE(Draw(dib, font, 10.0, 40.0, text, pen, scale).IsEmpty()) << scale;
    std::vector<double> broken = pen;
    broken[1] = nan;
    EXPECT_EQ(InkBox(dib), CRect());
    // A pen that is not a number skips its glyph only.
    EXPECT_FALSE(Draw(dib, font, 10.0, 40.0, text, broken, 1.0).IsEmpty());

    // Glyphs millions of pixels high are held to a size the rasteriser can take.
    CDibSection big = MakeBitmap(100, 60, 24);
    const CRect written = Draw(big, font, -50.0, 30.0, u"O", std::vector<double>{0.0, 1e7}, 1e6);
    EXPECT_TRUE(written.IsEmpty() || (written.left >= 0 && written.right <= 100 && written.bottom <= 60));
}

} // namespace
} // namespace pq
