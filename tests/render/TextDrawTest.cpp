#include "CountingMetrics.h"
#include "FontTestSetup.h"
#include "RasterHelpers.h"
#include "SampleDrawings.h"

#include "geometry/ViewMapping.h"
#include "render/FontTextMetrics.h"
#include "render/PageRenderer.h"
#include "render/TextLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

constexpr uint32_t kInk = 0xFF0000; // blue, 0x00BBGGRR

const std::u16string kProse =
    u"Open, draw and save: this page is a PDF any viewer shows, and the editor reads it back "
    u"exactly, text boxes and groups included. WWW mmm www fill iii MMM.";

// Pixels of blue ink: the text's colour and its blends with white, never the black dots of a frame.
bool IsInk(uint32_t c) {
    return ((c >> 16) & 0xFF) > (c & 0xFF) + 8;
}

CRect InkBox(const CDibSection& bitmap) {
    return test::InkBox(bitmap, IsInk);
}

// A view at the given zoom showing the document rectangle area with a margin, painted on white.
struct CView {
    CView(const CRectF& area, float zoom) {
        mapping.SetScale(zoom);
        mapping.SetOrigins(area.left, area.top, 0, 0);
        bitmap = MakeBitmap(static_cast<int32_t>(std::ceil((area.right - area.left) * zoom)) + 1,
                            static_cast<int32_t>(std::ceil((area.bottom - area.top) * zoom)) + 1, 24);
    }
    void Paint(const CDrawing& drawing) {
        CDeviceContext dc(&bitmap);
        DrawPage(drawing, 0, dc, mapping, CRect{0, 0, bitmap.GetWidth(), bitmap.GetHeight()},
                 PaintThreads::One);
    }

    CViewMapping mapping;
    CDibSection bitmap;
};

class TextDrawing : public ::testing::Test {
protected:
    void SetUp() override { InstallFontTextMetrics(); }
    void TearDown() override { SetTextMetrics(nullptr); }
};

// The character heights span 3 to 70 pixels; the frames hold several full lines and cut the rest.
TEST_F(TextDrawing, AWrappedParagraphsInkStaysInsideItsFrameAtEveryZoom) {
    const std::u16string faces[] = {u"Arial", u"Times New Roman", u"Courier New", u"DejaVu Sans"};
    const float heights[] = {8.0f, 10.58f, 17.0f, 30.0f};
    const float zooms[] = {0.37f, 0.8f, 1.5f, 2.3f};
    int painted = 0;
    for (const std::u16string& face : faces)
        for (const int32_t style : {0, kTextStyleBold})
            for (std::size_t i = 0; i < 4; ++i) {
                const float height = heights[i];
                const float zoom = zooms[(i + painted) % 4];
                const CRectF frame{0.0f, 17.3f * height, 0.0f, 11.3f * height};
                CDrawing drawing;
                drawing.Add(test::BuildText(kProse + u" " + kProse, {frame.left, frame.top},
                                            {.faceName = face,
                                             .corner = {frame.right, frame.bottom},
                                             .height = height,
                                             .mode = kTextParagraph,
                                             .style = style,
                                             .color = kInk}));
                const float margin = 3.0f * height;
                CView view(
                    {frame.left - margin, frame.right + margin, frame.top - margin, frame.bottom + margin},
                    zoom);
                view.Paint(drawing);
                const CRect ink = InkBox(view.bitmap);
                const std::string what = "face " + std::string(face.begin(), face.end()) + " height " +
                                         std::to_string(height) + " zoom " + std::to_string(zoom) +
                                         " style " + std::to_string(style);
                ASSERT_FALSE(ink.IsEmpty()) << what;
                // Several lines are drawn, and lines are drawn as long as the frame allows.
                EXPECT_GT(ink.Height(), 2.5f * height * zoom) << what;
                EXPECT_GT(ink.Width(), 0.8f * (frame.right - frame.left) * zoom) << what;
                EXPECT_GE(ink.left, std::floor(view.mapping.DocToDeviceXf(frame.left)) - 1) << what;
                EXPECT_LE(ink.right, std::ceil(view.mapping.DocToDeviceXf(frame.right)) + 1) << what;
                EXPECT_GE(ink.top, std::floor(view.mapping.DocToDeviceYf(frame.top)) - 1) << what;
                // The last line may reach one unit below the frame.
                EXPECT_LE(ink.bottom, std::ceil(view.mapping.DocToDeviceYf(frame.bottom + 1.0f)) + 1) << what;
                ++painted;
            }
    EXPECT_EQ(painted, 32);
}

TEST_F(TextDrawing, AnArtisticTextsInkStaysInsideItsBoundsTurnedOrNot) {
    const float angles[] = {0.0f, 30.0f, 90.0f, 135.0f, 200.0f, 333.5f};
    const float zooms[] = {0.45f, 1.0f, 2.2f};
    int painted = 0;
    for (const float angle : angles)
        for (const int32_t alignment : {kAlignLeft, kAlignCentre, kAlignRight})
            for (const float zoom : zooms) {
                const float height = painted % 2 == 0 ? 13.7f : 31.0f;
                CDrawing drawing;
                drawing.Add(test::BuildText(u"Pentaquill Draw\r\nshape, fill and share\r\nWWW", {0.0f, 0.0f},
                                            {.faceName = painted % 3 == 0 ? u"Times New Roman" : u"Arial",
                                             .corner = {},
                                             .height = height,
                                             .angle = angle,
                                             .alignment = alignment,
                                             .style = painted % 4 == 3 ? kTextStyleBold : 0,
                                             .color = kInk}));
                const CRectF bounds = drawing.Objects().front()->bounds;
                const float margin = 2.0f * height;
                CView view({bounds.left - margin, bounds.right + margin, bounds.top - margin,
                            bounds.bottom + margin},
                           zoom);
                view.Paint(drawing);
                const CRect ink = InkBox(view.bitmap);
                const std::string what = "angle " + std::to_string(angle) + " alignment " +
                                         std::to_string(alignment) + " zoom " + std::to_string(zoom);
                ASSERT_FALSE(ink.IsEmpty()) << what;
                EXPECT_GE(ink.left, std::floor(view.mapping.DocToDeviceXf(bounds.left)) - 1) << what;
                EXPECT_LE(ink.right, std::ceil(view.mapping.DocToDeviceXf(bounds.right)) + 1) << what;
                EXPECT_GE(ink.top, std::floor(view.mapping.DocToDeviceYf(bounds.top)) - 1) << what;
                EXPECT_LE(ink.bottom, std::ceil(view.mapping.DocToDeviceYf(bounds.bottom)) + 1) << what;
                // The ink fills its bounds, it is not drawn small inside them.
                EXPECT_GT(ink.Width(), 0.6f * (bounds.right - bounds.left) * zoom) << what;
                ++painted;
            }
    EXPECT_EQ(painted, 54);
}

// What a repaint redraws and culls by, an object's reach, holds all of a text's ink, however far its
// glyphs overhang the bounds: an italic's last letter, a swash, an accent (a moved italic text once left a
// strip of its old letters behind), turned or not, in either edge style.
TEST_F(TextDrawing, AllOfATextsInkLiesInItsReach) {
    int painted = 0;
    for (const char16_t* face : {u"DejaVu Sans", u"Liberation Serif", u"Arial"})
        for (const int32_t style : {kTextStyleItalic, kTextStyleBold | kTextStyleItalic})
            for (const float angle : {0.0f, 200.0f})
                for (const float zoom : {0.4f, 2.5f}) {
                    CDrawing drawing;
                    drawing.Add(test::BuildText(
                        u"Wfjy \u00c5\u0192ff", {0.0f, 0.0f},
                        {.faceName = face, .height = 60.0f, .angle = angle, .style = style, .color = kInk}));
                    const CRectF bounds = drawing.Objects().front()->bounds;
                    CView view({bounds.left - 120, bounds.right + 120, bounds.top - 120, bounds.bottom + 120},
                               zoom);
                    const CRect reach = ObjectReach(*drawing.Objects().front(), view.mapping);
                    for (const EdgeStyle edges : {EdgeStyle::Aliased, EdgeStyle::Smooth}) {
                        view.bitmap = MakeBitmap(view.bitmap.GetWidth(), view.bitmap.GetHeight(), 24);
                        CDeviceContext dc(&view.bitmap);
                        DrawPage(drawing, 0, dc, view.mapping,
                                 CRect{0, 0, view.bitmap.GetWidth(), view.bitmap.GetHeight()},
                                 PaintThreads::One, edges);
                        const CRect ink = InkBox(view.bitmap);
                        ASSERT_FALSE(ink.IsEmpty());
                        EXPECT_TRUE(ink.left >= reach.left && ink.top >= reach.top &&
                                    ink.right <= reach.right && ink.bottom <= reach.bottom)
                            << "style " << style << ", angle " << angle << ", zoom " << zoom << ": ink "
                            << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom
                            << " beyond the reach " << reach.left << "," << reach.top << "," << reach.right
                            << "," << reach.bottom;
                        ++painted;
                    }
                }
    EXPECT_EQ(painted, 48);
}

// Where the ink of the rows [top, bottom) lies on average across, weighted by how much of each pixel
// it covers: it moves exactly as far as the glyphs move. Blue over white keeps blue at 255 and leaves
// 255 - coverage in red; the frame's dots invert what they cross, which turns that inside out.
double InkCentre(const CDibSection& bitmap, int top, int bottom) {
    double mass = 0.0;
    double moment = 0.0;
    for (int y = std::max(0, top); y < std::min(bottom, bitmap.GetHeight()); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            const uint32_t c = PixelAt(bitmap, x, y);
            const uint32_t blue = (c >> 16) & 0xFF, red = c & 0xFF;
            const double coverage = blue == 0xFF ? 1.0 - red / 255.0 : blue == 0 ? red / 255.0 : 0.0;
            mass += coverage;
            moment += coverage * (x + 0.5);
        }
    return mass > 0.0 ? moment / mass : -1.0;
}

// The ink centre of each line of a text as laid out from its position down, taken in the middle of the
// line's cell (the tips of a neighbour's descenders or accents may reach into its edges).
std::vector<double> LineCentres(const CView& view, const CTextShape& text, std::size_t count) {
    const float lineHeight = GetTextMetrics().MeasureString(text, u"a").y;
    std::vector<double> centres;
    for (std::size_t k = 0; k < count; ++k) {
        const float top = text.position.y + lineHeight * static_cast<float>(k);
        centres.push_back(InkCentre(view.bitmap,
                                    static_cast<int>(view.mapping.DocToDeviceYf(top + 0.2f * lineHeight)),
                                    static_cast<int>(view.mapping.DocToDeviceYf(top + 0.8f * lineHeight))));
    }
    return centres;
}

TEST_F(TextDrawing, RightAndCentredLinesSitWhereTheLayoutPutsThem) {
    for (const float zoom : {0.6f, 1.0f, 1.37f, 3.0f}) {
        for (const std::u16string face : {u"Arial", u"Times New Roman"}) {
            const float height = 14.0f;
            const CRectF frame{0.0f, 260.0f, 0.0f, 200.0f};
            CTextShape text;
            auto paint = [&](int32_t alignment, CView& view) {
                CDrawing drawing;
                drawing.Add(test::BuildText(kProse, {frame.left, frame.top},
                                            {.faceName = face,
                                             .corner = {frame.right, frame.bottom},
                                             .height = height,
                                             .mode = kTextParagraph,
                                             .alignment = alignment,
                                             .color = kInk}));
                view.Paint(drawing);
                text.CopyFrom(*drawing.Objects().front()->AsText());
            };
            const CRectF area{-20.0f, 280.0f, -20.0f, 220.0f};
            CView left(area, zoom), right(area, zoom), centre(area, zoom);
            paint(kAlignLeft, left);
            paint(kAlignRight, right);
            paint(kAlignCentre, centre);

            // The lines as the layout has them, with their widths at document scale.
            std::vector<float> widths;
            std::size_t index = 0;
            while (index < text.text.size())
                widths.push_back(GetTextMetrics().MeasureString(text, GetWrappedLine(text, index, 260.0f)).x);
            ASSERT_GE(widths.size(), 4u);
            const auto leftInk = LineCentres(left, text, widths.size());
            const auto rightInk = LineCentres(right, text, widths.size());
            const auto centreInk = LineCentres(centre, text, widths.size());
            for (std::size_t k = 0; k < widths.size(); ++k) {
                const std::string what = "zoom " + std::to_string(zoom) + " line " + std::to_string(k);
                ASSERT_GT(leftInk[k], 0.0) << what;
                const double room = (frame.right - frame.left - widths[k]) * zoom;
                EXPECT_NEAR(rightInk[k] - leftInk[k], room, 0.3) << what;
                EXPECT_NEAR(centreInk[k] - leftInk[k], room / 2.0, 0.3) << what;
            }
        }
    }
}

TEST_F(TextDrawing, ArtisticLinesAlignInTheirMeasuredBlock) {
    const std::u16string lines[] = {u"Pentaquill Draw for everyone", u"short", u"a middle line"};
    for (const float zoom : {0.7f, 1.0f, 2.6f}) {
        std::vector<CView> views;
        CTextShape shown;
        for (const int32_t alignment : {kAlignLeft, kAlignRight, kAlignCentre}) {
            CDrawing drawing;
            drawing.Add(
                test::BuildText(lines[0] + u"\r\n" + lines[1] + u"\r\n" + lines[2], {0.0f, 0.0f},
                                {.corner = {}, .height = 23.0f, .alignment = alignment, .color = kInk}));
            shown.CopyFrom(*drawing.Objects().front()->AsText());
            views.emplace_back(CRectF{-20.0f, 420.0f, -20.0f, 120.0f}, zoom);
            views.back().Paint(drawing);
        }
        const float block = MeasureTextBlock(shown).x;
        ASSERT_GT(block, 200.0f);
        const auto leftInk = LineCentres(views[0], shown, 3);
        const auto rightInk = LineCentres(views[1], shown, 3);
        const auto centreInk = LineCentres(views[2], shown, 3);
        for (std::size_t k = 0; k < 3; ++k) {
            const double room = (block - GetTextMetrics().MeasureString(shown, lines[k]).x) * zoom;
            EXPECT_NEAR(rightInk[k] - leftInk[k], room, 0.3) << "zoom " << zoom << " line " << k;
            EXPECT_NEAR(centreInk[k] - leftInk[k], room / 2.0, 0.3) << "zoom " << zoom << " line " << k;
        }
    }
}

TEST_F(TextDrawing, PaintingALongParagraphMeasuresEachCharacterAFewTimes) {
    const CFontTextMetrics fonts;
    test::CountingMetrics counting(fonts);
    SetTextMetrics(&counting);
    std::mt19937 random(4);
    std::uniform_int_distribution<int> letter(0, 25), wordLength(1, 12);
    for (const std::size_t length : {5500u, 22000u}) {
        std::u16string prose;
        while (prose.size() < length) {
            prose += prose.empty() ? u"" : u" ";
            for (int i = wordLength(random); i > 0; --i)
                prose += static_cast<char16_t>(u'a' + letter(random));
        }
        CDrawing drawing;
        drawing.Add(test::BuildText(
            prose, {0.0f, 0.0f}, {.corner = {1000.0f, 40000.0f}, .height = 20.0f, .mode = kTextParagraph}));
        // Shown whole at a small zoom (every line is drawn), and the top of it close up.
        for (const float zoom : {0.02f, 1.0f}) {
            CView view({-10.0f, 1010.0f, -10.0f, zoom < 0.1f ? 40010.0f : 800.0f}, zoom);
            counting.measured = 0;
            view.Paint(drawing);
            EXPECT_LT(counting.measured, 12 * length) << length << " characters at zoom " << zoom;
        }
    }
}

// Texts far too small or too large for the view, at the zooms the view allows, are drawn (or not)
// without harm: nothing is written outside the bitmap and the paint finishes.
TEST_F(TextDrawing, ExtremeSizesAndZoomsDrawWithinTheBitmap) {
    for (const float zoom :
         {CViewMapping::kDefaultMinScale, 0.01f, 1.0f, 300.0f, CViewMapping::kDefaultMaxScale})
        for (const float height : {0.01f, 0.4f, 40.0f, 50000.0f})
            for (const int32_t mode : {kTextArtistic, kTextParagraph}) {
                CDrawing drawing;
                drawing.Add(test::BuildText(u"Wide glyphs, underlined\r\nand turned", {0.0f, 0.0f},
                                            {.corner = {30.0f * height, 3.0f * height},
                                             .height = height,
                                             .angle = mode == kTextArtistic ? 17.0f : 0.0f,
                                             .mode = mode,
                                             .style = kTextStyleUnderline | kTextStyleBold,
                                             .color = kInk}));
                CView view({-5.0f / zoom, 195.0f / zoom, -5.0f / zoom, 115.0f / zoom}, zoom);
                ASSERT_EQ(view.bitmap.GetWidth(), 201);
                view.Paint(drawing);
                // The start of the text is in view from a size of a few pixels up.
                if (height * zoom >= 8.0f && height * zoom < 600.0f) {
                    EXPECT_FALSE(InkBox(view.bitmap).IsEmpty()) << "zoom " << zoom << " height " << height;
                }
            }
}

} // namespace
} // namespace pq
