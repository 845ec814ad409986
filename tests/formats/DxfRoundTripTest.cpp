#include "DxfTestHelpers.h"
#include "TestHelpers.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq {
namespace {

using test::BuildPath;
using test::BuildText;
using test::ExpectNear;

// Written and read back: the reader centres what it reads, so positions are compared after moving the
// copy by the shift of its first anchor.
struct CRoundTrip {
    CDrawing back;
    CPointF shift;
    bool ok = false;

    CRoundTrip(const CDrawing& drawing, CPointF firstAnchor) {
        ok = test::ReadDxf(test::WriteDxf(drawing), back);
        EXPECT_TRUE(ok) << back.GetErrorMessage();
        if (ok && back.Count() > 0 && back.GetAt(0)->AsPath() != nullptr)
            shift = firstAnchor - (*back.GetAt(0)->AsPath()->subpaths[0])[0].anchor;
    }
    CPointF Moved(CPointF p) const { return p + shift; }
};

CNodeArray Curve() {
    CNodeArray nodes;
    nodes.Add({{-5, 3}, {0, 0}, {40, -30}});
    nodes.Add({{80, -30}, {120, 10}, {150, 60}});
    nodes.Add({{200, 90}, {210, 200}, {210, 200}});
    return nodes;
}

TEST(DxfRoundTrip, PathsKeepTheirNodesWidthsAndColours) {
    CDrawing drawing;
    drawing.Add(BuildPath(
        {Curve()}, {.penStyle = kPenSolid, .brushStyle = kBrushHollow, .penWidth = 6, .penColor = 0x0000FF}));
    drawing.Add(BuildPath({test::BoxNodes({0, 300, 0, 200}), test::BoxNodes({50, 100, 50, 100})},
                          {.penStyle = kPenNull, .brushStyle = kBrushSolid, .fill = 0x00FF00}));
    CRoundTrip trip(drawing, {0, 0});
    ASSERT_TRUE(trip.ok);
    ASSERT_EQ(trip.back.Count(), 2);

    const CPathShape* stroke = trip.back.GetAt(0)->AsPath();
    ASSERT_NE(stroke, nullptr);
    EXPECT_EQ(stroke->penStyle, kPenSolid);
    EXPECT_EQ(stroke->brushStyle, kBrushHollow);
    EXPECT_EQ(stroke->penWidth, 6);
    EXPECT_EQ(stroke->penColor, 0x0000FFu);
    ASSERT_EQ(stroke->subpaths.size(), 1u);
    const CNodeArray original = Curve();
    const CNodeArray& nodes = *stroke->subpaths[0];
    ASSERT_EQ(nodes.GetSize(), original.GetSize());
    // The first node's incoming and the last node's outgoing control points are not part of the curve.
    for (std::size_t i = 0; i < nodes.GetSize(); ++i) {
        EXPECT_TRUE(ExpectNear(trip.Moved(nodes[i].anchor), original[i].anchor, 1e-3)) << "node " << i;
        if (i > 0) {
            EXPECT_TRUE(ExpectNear(trip.Moved(nodes[i].in), original[i].in, 1e-3)) << "node " << i;
        }
        if (i + 1 < nodes.GetSize()) {
            EXPECT_TRUE(ExpectNear(trip.Moved(nodes[i].out), original[i].out, 1e-3)) << "node " << i;
        }
    }

    const CGraphicObject* fillObject = trip.back.GetAt(1);
    const CPathShape* fill = fillObject->AsPath();
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->brushStyle, kBrushSolid);
    EXPECT_EQ(fill->penStyle, kPenNull);
    EXPECT_EQ(fillObject->color, 0x00FF00u);
    ASSERT_EQ(fill->subpaths.size(), 2u);
    EXPECT_EQ(fill->subpaths[1]->GetSize(), 5u);
    EXPECT_TRUE(ExpectNear(trip.Moved((*fill->subpaths[1])[2].anchor), {100, 100}, 1e-3));
}

TEST(DxfRoundTrip, BlackAndWhiteStayBlackAndWhite) {
    CDrawing drawing;
    drawing.Add(BuildPath(
        {test::BoxNodes({0, 10, 0, 10})},
        {.penStyle = kPenSolid, .brushStyle = kBrushSolid, .penColor = 0x000000, .fill = 0xFFFFFF}));
    CDrawing back;
    ASSERT_TRUE(test::ReadDxf(test::WriteDxf(drawing), back));
    ASSERT_EQ(back.Count(), 2); // the fill, then the outline
    EXPECT_EQ(back.GetAt(0)->color, 0xFFFFFFu);
    EXPECT_EQ(back.GetAt(1)->AsPath()->penColor, 0u);
}

// Entities are drawn in file order: a fill written after its outline would cover the outline's inner
// half, and hairline edges would vanish. The fill goes first, as the editor paints a path.
TEST(DxfRoundTrip, OutlinesStayOnTopOfTheirFills) {
    CDrawing drawing;
    drawing.Add(BuildPath({test::BoxNodes({0, 300, 0, 200})}, {.penStyle = kPenSolid,
                                                               .brushStyle = kBrushSolid,
                                                               .penWidth = 0,
                                                               .penColor = 0x0000FF,
                                                               .fill = 0xFFFFFF}));
    drawing.Add(BuildPath({test::BoxNodes({100, 400, 100, 300})},
                          {.penStyle = kPenSolid, .brushStyle = kBrushHollow, .penColor = 0x00FF00}));
    const std::string file = test::WriteDxf(drawing);
    EXPECT_LT(file.find("HATCH"), file.find("SPLINE"));
    CDrawing back;
    ASSERT_TRUE(test::ReadDxf(file, back));
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.GetAt(0)->AsPath()->brushStyle, kBrushSolid);
    EXPECT_EQ(back.GetAt(0)->AsPath()->penStyle, kPenNull);
    EXPECT_EQ(back.GetAt(1)->AsPath()->penColor, 0x0000FFu);
    EXPECT_EQ(back.GetAt(1)->AsPath()->brushStyle, kBrushHollow);
    EXPECT_EQ(back.GetAt(2)->AsPath()->penColor, 0x00FF00u); // the next object keeps its place
}

TEST(DxfRoundTrip, TextsKeepContentFontStyleAndPlace) {
    std::u16string longText;
    for (int i = 0; i < 40; ++i)
        longText +=
            u"word{" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u"}; \\ \u00E9\u4E2D ";
    CDrawing drawing;
    drawing.Add(BuildPath({test::PolylineNodes({{0, 0}, {1, 0}})}, {.brushStyle = kBrushHollow}));
    drawing.Add(BuildText(u"Left {braces}; semi\r\nsecond \\line", {100, 200},
                          {.faceName = u"Liberation Sans",
                           .corner = {},
                           .height = 0.0f,
                           .angle = 0.0f,
                           .mode = kTextArtistic,
                           .alignment = kAlignLeft,
                           .style = kTextStyleBold | kTextStyleUnderline}));
    drawing.Add(BuildText(u"Centred", {300, 400},
                          {.faceName = u"DejaVu Serif",
                           .corner = {},
                           .height = 0.0f,
                           .angle = 30.0f,
                           .mode = kTextArtistic,
                           .alignment = kAlignCentre,
                           .style = kTextStyleItalic}));
    drawing.Add(BuildText(u"Right", {-300, 50},
                          {.faceName = u"Liberation Sans",
                           .corner = {},
                           .height = 0.0f,
                           .angle = 0.0f,
                           .mode = kTextArtistic,
                           .alignment = kAlignRight}));
    drawing.Add(BuildText(longText, {0, 600},
                          {.faceName = u"Liberation Sans",
                           .corner = {900, 1200},
                           .height = 0.0f,
                           .angle = 0.0f,
                           .mode = kTextParagraph}));
    CRoundTrip trip(drawing, {0, 0});
    ASSERT_TRUE(trip.ok);
    ASSERT_EQ(trip.back.Count(), drawing.Count());
    for (int i = 1; i < drawing.Count(); ++i) {
        const CTextShape* original = drawing.GetAt(i)->AsText();
        const CTextShape* text = trip.back.GetAt(i)->AsText();
        ASSERT_NE(text, nullptr) << "object " << i;
        EXPECT_EQ(text->text, original->text) << "object " << i;
        EXPECT_EQ(text->faceName, original->faceName) << "object " << i;
        EXPECT_EQ(text->style, original->style) << "object " << i;
        EXPECT_EQ(text->alignment, original->alignment) << "object " << i;
        EXPECT_EQ(text->mode, original->mode) << "object " << i;
        EXPECT_NEAR(text->height, original->height, 1e-3) << "object " << i;
        EXPECT_NEAR(text->angle, original->angle, 1e-3) << "object " << i;
        EXPECT_TRUE(ExpectNear(trip.Moved(text->position), original->position, 1e-2)) << "object " << i;
    }
    const CTextShape* paragraph = trip.back.GetAt(4)->AsText();
    EXPECT_NEAR(paragraph->corner.x - paragraph->position.x, 900, 1e-2);
}

TEST(DxfRoundTrip, PicturesAreWrittenBesideTheFileAndReadBack) {
    test::CTempFolder folder;
    CDrawing drawing;
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    ASSERT_TRUE(image->bitmap.Create(8, 6, 24));
    for (auto& byte : image->bitmap.GetBits())
        byte = 200;
    image->placement = {100, 180, 50, 110};
    object->RecalcBounds();
    drawing.Add(std::move(object));
    drawing.Add(BuildPath({test::PolylineNodes({{100, 50}, {180, 50}})}, {.brushStyle = kBrushHollow}));
    const std::string path = folder.File("pictures.dxf");
    ASSERT_EQ(CDxfFile().ExportToDxf(path, drawing, 0), 1) << drawing.GetErrorMessage();

    // Moved to another folder with its picture, the drawing still finds it by name.
    test::CTempFolder other;
    std::filesystem::rename(path, other.File("pictures.dxf"));
    std::filesystem::rename(folder.File("pictures_ACAD_1.jpg"), other.File("pictures_ACAD_1.jpg"));
    CDrawing back;
    ASSERT_EQ(CDxfFile().ImportFromDxf(other.File("pictures.dxf"), back), 1) << back.GetErrorMessage();
    ASSERT_EQ(back.Count(), 2);
    const CImageShape* read = back.GetAt(0)->AsImage();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->bitmap.GetWidth(), 8);
    EXPECT_EQ(read->bitmap.GetHeight(), 6);
    const CPointF line = (*back.GetAt(1)->AsPath()->subpaths[0])[0].anchor;
    EXPECT_TRUE(ExpectNear(read->placement.right - read->placement.left, 80, 1e-3));
    EXPECT_TRUE(ExpectNear(read->placement.bottom - read->placement.top, 60, 1e-3));
    EXPECT_TRUE(ExpectNear(CPointF{read->placement.left, read->placement.top} - line, {0, 0}, 1e-3));

    // Without its picture the IMAGE gives nothing, and the rest is still read.
    std::filesystem::remove(other.File("pictures_ACAD_1.jpg"));
    ASSERT_EQ(CDxfFile().ImportFromDxf(other.File("pictures.dxf"), back), 1);
    EXPECT_EQ(back.Count(), 1);

    // A file that cannot be written leaves no pictures of its own behind; a picture that stood there
    // before is not taken away.
    std::filesystem::create_directory(folder.File("blocked.dxf"));
    EXPECT_EQ(CDxfFile().ExportToDxf(folder.File("blocked.dxf"), drawing, 0), 0);
    EXPECT_FALSE(drawing.GetErrorMessage().empty());
    EXPECT_FALSE(std::filesystem::exists(folder.File("blocked_ACAD_1.jpg")));
    std::ofstream(folder.File("blocked_ACAD_1.jpg")) << "an earlier picture";
    EXPECT_EQ(CDxfFile().ExportToDxf(folder.File("blocked.dxf"), drawing, 0), 0);
    EXPECT_TRUE(std::filesystem::exists(folder.File("blocked_ACAD_1.jpg")));
}

} // namespace
} // namespace pq
