#include "native/PdfTestHelpers.h"

#include "RasterHelpers.h"
#include "TestHelpers.h"
#include "formats/FormatDispatch.h"
#include "formats/ai/IllustratorFile.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using namespace test;

constexpr float kTolerance = 0.01f; // document units: four decimals of a point carry about 0.0002

// A page with every kind of object: plain, compound, curved, open and closed paths, grouped and not,
// artistic texts rotated and aligned, a paragraph, an underlined text, images, and objects on another
// page that the file leaves out.
void BuildShowcase(CDrawing& drawing) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    drawing.SetPageCount(2);
    drawing.Add(
        MakePathObject({Square(-600, -900, 300)}, kPenSolid, kBrushSolid, 12, 0x2040A0, 0x60C080, 0, 1));
    drawing.Add(MakePathObject({Square(-300, -300, 400), Square(-200, -200, 100)}, kPenNull, kBrushSolid, 0,
                               0, 0xC08040, 0, 0));
    CNodeArray curve;
    curve.Add({{-400, 600}, {-400, 600}, {-200, 300}});
    curve.Add({{200, 700}, {400, 500}, {450, 520}});
    curve.Add({{500, 800}, {600, 900}, {600, 900}});
    drawing.Add(MakePathObject({curve}, kPenSolid, kBrushHollow, 3, 0x800080, 0, 0, 1));
    drawing.Add(MakePathObject({Polyline({{0, 0}, {300, 100}, {100, 300}})}, kPenSolid, kBrushSolid, 0,
                               0x112233, 0x445566, 0, 2));
    drawing.Add(MakePathObject({Polyline({{10, 10}, {20, 20}})}, kPenNull, kBrushHollow, 0, 0, 0, 0, 2));
    drawing.Add(MakeTextObject(u"Rotated (text) \\ \u00e9\u20ac\u4e2d\r\nsecond line", {-450, 100},
                               kTextArtistic, kAlignCentre, kTextStyleBold, 30.0f));
    drawing.Add(MakeTextObject(u"Right aligned\r\nand underlined", {-100, 500}, kTextArtistic, kAlignRight,
                               kTextStyleUnderline | kTextStyleItalic));
    drawing.Add(MakeTextObject(u"A paragraph that wraps inside its frame  twice spaced\r\n\r\nand more",
                               {-450, 700}, kTextParagraph, kAlignCentre, kTextStyleUnderline));
    drawing.Add(MakeImageObject({100, 400, -600, -400}, 6, 4));
    drawing.Add(MakePathObject({Square(100, 100, 50)}, kPenSolid, kBrushHollow, 25, 0x0000FF, 0, 0, 3));
    drawing.Add(MakeTextObject(u"plain", {300, -800}));
    drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenSolid, kBrushSolid, 1, 0, 0, 1, 0)); // page 2
    drawing.GetAt(drawing.Count() - 2)->group = 3;
}

void ExpectSamePath(const CGraphicObject& a, const CGraphicObject& b) {
    const CPathShape* pa = a.AsPath();
    const CPathShape* pb = b.AsPath();
    ASSERT_NE(pb, nullptr);
    EXPECT_EQ(pa->penStyle, pb->penStyle);
    EXPECT_EQ(pa->brushStyle, pb->brushStyle);
    if (pa->penStyle != kPenNull) {
        EXPECT_EQ(pa->penWidth, pb->penWidth);
        EXPECT_EQ(pa->penColor, pb->penColor);
    }
    if (pa->brushStyle != kBrushHollow) {
        EXPECT_EQ(a.color, b.color);
    }
    ASSERT_EQ(pa->SubpathCount(), pb->SubpathCount());
    for (std::size_t s = 0; s < pa->SubpathCount(); ++s) {
        const CNodeArray& na = *pa->subpaths[s];
        const CNodeArray& nb = *pb->subpaths[s];
        // An open filled subpath comes back closed by the line the file draws back to its start.
        const bool closedByFile =
            pa->brushStyle != kBrushHollow && na[0].anchor != na[na.GetSize() - 1].anchor;
        ASSERT_EQ(na.GetSize() + (closedByFile ? 1 : 0), nb.GetSize()) << "subpath " << s;
        for (std::size_t i = 0; i < na.GetSize(); ++i) {
            EXPECT_TRUE(ExpectNear(na[i].anchor, nb[i].anchor, kTolerance));
            EXPECT_TRUE(ExpectNear(na[i].in, nb[i].in, kTolerance));
            EXPECT_TRUE(ExpectNear(na[i].out, nb[i].out, kTolerance));
        }
    }
}

void ExpectSameText(const CGraphicObject& a, const CGraphicObject& b) {
    const CTextShape* ta = a.AsText();
    const CTextShape* tb = b.AsText();
    ASSERT_NE(tb, nullptr);
    EXPECT_EQ(ta->text, tb->text);
    EXPECT_EQ(ta->faceName, tb->faceName);
    EXPECT_EQ(ta->style, tb->style);
    EXPECT_EQ(ta->alignment, tb->alignment);
    EXPECT_EQ(ta->mode, tb->mode);
    EXPECT_NEAR(ta->height, tb->height, kTolerance);
    EXPECT_NEAR(ta->angle, tb->angle, 1e-3);
    EXPECT_EQ(a.color, b.color);
    EXPECT_TRUE(ExpectNear(ta->position, tb->position, 0.05f));
    if (ta->mode == kTextParagraph) {
        EXPECT_TRUE(ExpectNear(ta->corner, tb->corner, kTolerance));
    }
}

void ExpectSamePage(const CDrawing& original, int page, const CDrawing& back) {
    std::vector<const CGraphicObject*> objects;
    for (const auto& object : original.Objects())
        if (object->page == page)
            objects.push_back(object.get());
    ASSERT_EQ(static_cast<std::size_t>(back.Count()), objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        SCOPED_TRACE("object " + std::to_string(i));
        const CGraphicObject& a = *objects[i];
        const CGraphicObject& b = *back.GetAt(static_cast<int>(i));
        ASSERT_EQ(a.GetKind(), b.GetKind());
        EXPECT_EQ(b.page, 0);
        if (a.AsPath() != nullptr) {
            ExpectSamePath(a, b);
        } else if (a.AsText() != nullptr) {
            ExpectSameText(a, b);
        } else {
            const CImageShape* ia = a.AsImage();
            const CImageShape* ib = b.AsImage();
            EXPECT_EQ(CountDifferences(ia->bitmap, ib->bitmap), 0);
            EXPECT_NEAR(ia->placement.left, ib->placement.left, kTolerance);
            EXPECT_NEAR(ia->placement.right, ib->placement.right, kTolerance);
            EXPECT_NEAR(ia->placement.top, ib->placement.top, kTolerance);
            EXPECT_NEAR(ia->placement.bottom, ib->placement.bottom, kTolerance);
        }
    }
    // Groups: the same partition of the page's objects.
    for (std::size_t i = 0; i < objects.size(); ++i)
        for (std::size_t j = 0; j < objects.size(); ++j) {
            const bool together = objects[i]->group != 0 && objects[i]->group == objects[j]->group;
            const int gi = back.GetAt(static_cast<int>(i))->group;
            const int gj = back.GetAt(static_cast<int>(j))->group;
            EXPECT_EQ(together, gi != 0 && gi == gj) << i << " and " << j;
        }
}

TEST(AiRoundTrip, EveryPathColourGroupTextAndImageOfThePageComesBack) {
    CDrawing drawing;
    BuildShowcase(drawing);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(CIllustratorFile().ExportToMemory(bytes, drawing, 0));
    CDrawing back;
    ASSERT_TRUE(CIllustratorFile().ImportFromMemory(bytes, back)) << back.GetErrorMessage();
    back.RenumberAll();
    EXPECT_TRUE(ExpectNear(back.GetPageWidth(), drawing.GetPageWidth(), 0.05f));
    EXPECT_TRUE(ExpectNear(back.GetPageHeight(), drawing.GetPageHeight(), 0.05f));
    ExpectSamePage(drawing, 0, back);

    // Written again, the file is the same: nothing drifts from one round to the next.
    std::vector<uint8_t> again;
    ASSERT_TRUE(CIllustratorFile().ExportToMemory(again, back, 0));
    CDrawing third;
    ASSERT_TRUE(CIllustratorFile().ImportFromMemory(again, third));
    third.RenumberAll();
    ExpectSamePage(back, 0, third);
}

TEST(AiRoundTrip, NativeDocumentToIllustratorAndBackThroughTheDispatch) {
    CTempFolder folder;
    CDrawing drawing;
    BuildShowcase(drawing);
    ASSERT_TRUE(SaveDrawing(drawing, folder.File("show.pdf"), 0, -1, -1, nullptr));
    CDrawing native;
    ASSERT_TRUE(OpenDrawing(native, folder.File("show.pdf"))) << native.GetErrorMessage();

    ASSERT_TRUE(SaveDrawing(native, folder.File("show.ai"), 0, -1, -1, nullptr));
    CDrawing back;
    ASSERT_TRUE(OpenDrawing(back, folder.File("show.ai"))) << back.GetErrorMessage();
    ExpectSamePage(native, 0, back);
    ASSERT_TRUE(SaveDrawing(back, folder.File("back.pdf"), 0, -1, -1, nullptr));
    CDrawing final;
    ASSERT_TRUE(OpenDrawing(final, folder.File("back.pdf")));
    ExpectSamePage(native, 0, final);
}

TEST(AiRoundTrip, PenWidthsAboveTenAndEveryCharacterOfTextComeBackExactly) {
    CDrawing drawing;
    for (int width : {0, 1, 9, 10, 11, 40, 250})
        drawing.Add(MakePathObject({Polyline({{0, 0}, {100, 100}})}, kPenSolid, kBrushHollow, width));
    std::u16string all;
    for (char16_t c = 1; c <= 0xFF; ++c)
        all += c;
    drawing.Add(MakeTextObject(all, {0, 0}));
    // A backslash before "r" or "n" is text, not a line break; lone CR and LF are characters.
    drawing.Add(MakeTextObject(u"C:\\reports\\new\r\nline\ttab\rcr\nlf", {0, 0}));
    drawing.Add(MakeTextObject(u"C:\\reports\\new\r\nline", {-300, -300}, kTextParagraph));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(CIllustratorFile().ExportToMemory(bytes, drawing, 0));
    CDrawing back;
    ASSERT_TRUE(CIllustratorFile().ImportFromMemory(bytes, back));
    ExpectSamePage(drawing, 0, back);
}

} // namespace
} // namespace pq
