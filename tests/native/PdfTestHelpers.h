#pragma once

// Builders of drawings for the native format's tests, the write and read calls in memory, and the peer
// programs (qpdf, poppler, mupdf, Ghostscript) the tests ask whether our files are good PDF.

#include "FontMetricsSetup.h"
#include "ObjectBuilders.h"
#include "PeerHelpers.h"
#include "TestHelpers.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "native/PdfDeflate.h"
#include "native/PdfFile.h"
#include "platform/PenBrushStyles.h"
#include "render/FontTextMetrics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pq::test {

inline CNodeArray Polyline(std::initializer_list<CPointF> points) {
    return PolylineNodes(points);
}

inline CNodeArray Square(float left, float top, float size) {
    return BoxNodes({left, left + size, top, top + size});
}

inline std::unique_ptr<CGraphicObject> MakePathObject(std::initializer_list<CNodeArray> subpaths,
                                                      int32_t penStyle, int32_t brushStyle,
                                                      int32_t penWidth = 4, uint32_t penColor = 0x102030,
                                                      uint32_t fill = 0x405060, int32_t page = 0,
                                                      int32_t group = 0) {
    return BuildPath(subpaths, {penStyle, brushStyle, penWidth, penColor, fill, page, group});
}

inline std::unique_ptr<CGraphicObject> MakeTextObject(const std::u16string& s, CPointF position,
                                                      int32_t mode = kTextArtistic,
                                                      int32_t alignment = kAlignLeft, int32_t style = 0,
                                                      float angle = 0.0f, int32_t page = 0) {
    return BuildText(s, position,
                     {.faceName = u"Liberation Sans",
                      .corner = position + CPointF{600.0f, 400.0f},
                      .angle = angle,
                      .mode = mode,
                      .alignment = alignment,
                      .style = style,
                      .color = 0x0000C0,
                      .page = page});
}

// A width x height 24-bit picture of a colour ramp.
inline std::unique_ptr<CGraphicObject> MakeImageObject(const CRectF& placement, int32_t width = 5,
                                                       int32_t height = 3, int32_t page = 0) {
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    image->bitmap.Create(width, height, 24);
    auto bits = image->bitmap.GetBits();
    for (std::size_t i = 0; i < bits.size(); ++i)
        bits[i] = static_cast<uint8_t>(i * 37 + 11);
    image->placement = placement;
    object->page = page;
    object->RecalcBounds();
    return object;
}

// The paths have the same subpaths and nodes, each point within tolerance; only the control points that
// shape a segment count (the in of a first node and the out of a last one shape nothing).
inline void ExpectSameNodes(const CPathShape& got, const CPathShape& expected, double tolerance = 0.0) {
    ASSERT_EQ(got.SubpathCount(), expected.SubpathCount());
    for (std::size_t s = 0; s < got.SubpathCount(); ++s) {
        const CNodeArray& a = *got.subpaths[s];
        const CNodeArray& b = *expected.subpaths[s];
        ASSERT_EQ(a.GetSize(), b.GetSize()) << "subpath " << s;
        for (std::size_t i = 0; i < a.GetSize(); ++i) {
            EXPECT_TRUE(ExpectNear(a[i].anchor, b[i].anchor, tolerance)) << "subpath " << s << " node " << i;
            if (i > 0) {
                EXPECT_TRUE(ExpectNear(a[i].in, b[i].in, tolerance)) << "subpath " << s << " node " << i;
            }
            if (i + 1 < a.GetSize()) {
                EXPECT_TRUE(ExpectNear(a[i].out, b[i].out, tolerance)) << "subpath " << s << " node " << i;
            }
        }
    }
}

inline std::vector<uint8_t> WritePdf(CDrawing& drawing) {
    std::vector<uint8_t> bytes;
    CPdfFile pdf;
    EXPECT_TRUE(pdf.WriteToMemory(bytes, drawing)) << drawing.GetErrorMessage();
    return bytes;
}

inline std::string AsText(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A native file with every kind of object on three pages, groups included: what damage is done to.
inline std::string EveryKindSampleFile() {
    CDrawing drawing;
    drawing.SetPageCount(3);
    drawing.Add(MakePathObject({Square(0, 0, 100), Polyline({{0, 0}, {50, 80}})}, kPenSolid, kBrushSolid, 3,
                               1, 2, 0, 1));
    drawing.Add(MakeTextObject(u"text (one)\r\ntwo", {-200, 0}, kTextArtistic, kAlignLeft,
                               kTextStyleUnderline, 0.0f, 1));
    drawing.Add(MakeImageObject({0, 100, 0, 100}, 4, 4, 2));
    drawing.Add(MakePathObject({Square(10, 10, 10)}, kPenSolid, kBrushHollow, 1, 0, 0, 0, 1));
    return AsText(WritePdf(drawing));
}

inline bool ReadPdf(const std::vector<uint8_t>& bytes, CDrawing& drawing) {
    CPdfFile pdf;
    return pdf.ReadFromMemory(bytes, drawing);
}

inline bool ReadPdf(std::string_view text, CDrawing& drawing) {
    return ReadPdf(std::vector<uint8_t>(text.begin(), text.end()), drawing);
}

// The text of object number from "N 0 obj" to its "endobj"; empty when the file has no such object.
inline std::string ObjectText(const std::string& file, int number) {
    const std::string head = std::to_string(number) + " 0 obj\r\n";
    std::size_t at = file.rfind("\n" + head);
    if (at == std::string::npos)
        return {};
    ++at;
    const std::size_t end = file.find("endobj", at);
    return file.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// The inflated data of stream object number.
inline std::string StreamContent(const std::string& file, int number) {
    const std::string object = ObjectText(file, number);
    const std::size_t start = object.find("stream\r\n");
    const std::size_t end = object.rfind("endstream");
    if (start == std::string::npos || end == std::string::npos)
        return {};
    const std::string data = object.substr(start + 8, end - start - 8);
    std::vector<uint8_t> out;
    if (InflateBytes({reinterpret_cast<const uint8_t*>(data.data()), data.size()}, 1 << 26, out) !=
        InflateResult::Complete)
        return "<does not inflate>";
    return {out.begin(), out.end()};
}

} // namespace pq::test
