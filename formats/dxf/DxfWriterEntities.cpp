#include "formats/dxf/DxfWriter.h"

#include "formats/dxf/DxfTables.h"
#include "formats/dxf/DxfText.h"
#include "model/Drawing.h"
#include "platform/FontFamilies.h"
#include "platform/image/DibPixels.h"
#include "platform/image/JpegCodec.h"
#include "render/TextLayout.h"

#include <charconv>
#include <cmath>

namespace pq {

namespace {

constexpr const char* kLayer = "Layer 1";
constexpr uint32_t kModelSpaceRecord = 0x12;
// Text heights: the cell height of a text over the cap height MTEXT keeps.
constexpr double kCapHeightPerCell = 0.7204611;

// A subpath is closed when its ends meet (or it has no nodes).
bool IsClosed(const CNodeArray& nodes) {
    if (nodes.IsEmpty())
        return true;
    return nodes[0].anchor.DistanceTo(nodes[nodes.GetSize() - 1].anchor) < 1e-5f;
}

bool SameFace(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The face a text is written with: its own name, so that a face this machine lacks still reaches the
// reader; a text without a face gets Tahoma when installed (or when no faces are), else the first face.
std::u16string FaceForWriting(std::u16string_view face) {
    if (!face.empty())
        return std::u16string(face);
    const std::vector<std::u16string>& families = EnumerateFontFamilies();
    if (families.empty())
        return u"Tahoma";
    for (const std::u16string& family : families)
        if (SameFace(family, u"Tahoma"))
            return family;
    return families.front();
}

// A copy of the bitmap at 24 bits per pixel, the depth JPEG files are written from.
bool To24Bit(const CDibSection& source, CDibSection& out) {
    if (source.GetBitCount() == 24) {
        out = source;
        return true;
    }
    const int32_t width = source.GetWidth();
    const int32_t height = source.GetHeight();
    if (!out.Create(width, height, 24))
        return false;
    for (int32_t y = 0; y < height; ++y) {
        std::span<uint8_t> row = GetRowFromTop(out, y);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t colour = GetPixelColour(source, x, y);
            const auto at = static_cast<std::size_t>(x) * 3;
            row[at] = BlueOf(colour);
            row[at + 1] = GreenOf(colour);
            row[at + 2] = RedOf(colour);
        }
    }
    return true;
}

// The JPEG beside the DXF file: its name up to the extension, "_ACAD_<n>" and ".jpg". A name without an
// extension keeps its whole length.
std::string ImagePath(const std::string& dxfPath, int number) {
    const std::size_t slash = dxfPath.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = dxfPath.rfind('.');
    const std::size_t stemEnd = (dot != std::string::npos && dot > nameStart) ? dot : dxfPath.size();
    return dxfPath.substr(0, stemEnd) + "_ACAD_" + std::to_string(number) + ".jpg";
}

} // namespace

void CDxfWriter::Group(int code, std::string_view value) {
    entities += "  ";
    char buffer[16];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, code);
    entities.append(buffer, end);
    entities += "\r\n";
    entities += value;
    entities += "\r\n";
}

void CDxfWriter::GroupInt(int code, long long value) {
    char buffer[32] = "    ";
    const auto [end, error] = std::to_chars(buffer + 4, buffer + sizeof buffer, value);
    Group(code, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

void CDxfWriter::GroupReal(int code, double value) {
    std::string text;
    AppendDxfReal(text, value);
    Group(code, text);
}

void CDxfWriter::GroupHandle(int code, uint32_t handle) {
    std::string text;
    AppendDxfHandle(text, handle);
    Group(code, text);
}

void CDxfWriter::EntityStart(std::string_view name, uint32_t handle) {
    Group(0, name);
    GroupHandle(5, handle);
    GroupHandle(330, kModelSpaceRecord);
    Group(100, "AcDbEntity");
    Group(8, kLayer);
}

// The fill goes before the outline: readers draw entities in file order, and a fill drawn last would
// cover the inner half of its outline.
void CDxfWriter::WritePath(const CGraphicObject& object, const CPathShape& path) {
    if (path.brushStyle != kBrushHollow)
        WriteHatch(object, path);
    if (path.penStyle != kPenNull)
        for (const auto& nodes : path.subpaths)
            if (nodes->GetSize() >= 2)
                WriteSpline(*nodes, path);
}

// A subpath of n nodes is a clamped cubic B-spline whose control points are the Bezier points of the
// nodes (3n - 2 of them) and whose inner knots are triple, one per node: each knot span is one segment.
void CDxfWriter::WriteKnotsAndControlPoints(const CNodeArray& nodes, bool withZ) {
    const std::size_t n = nodes.GetSize();
    char buffer[32];
    for (std::size_t i = 0; i < n; ++i) {
        const int repeat = (i == 0 || i + 1 == n) ? 4 : 3;
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(i),
                                                std::chars_format::fixed, 1);
        for (int k = 0; k < repeat; ++k)
            Group(40, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
    }
    auto point = [&](CPointF p) {
        GroupReal(10, X(p.x));
        GroupReal(20, Y(p.y));
        if (withZ)
            Group(30, "0.0");
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0)
            point(nodes[i].in);
        point(nodes[i].anchor);
        if (i + 1 < n)
            point(nodes[i].out);
    }
}

void CDxfWriter::WriteSpline(const CNodeArray& nodes, const CPathShape& path) {
    const auto n = static_cast<long long>(nodes.GetSize());
    EntityStart("SPLINE", nextHandle++);
    const double width = path.penWidth < 21.1 ? path.penWidth * 10.0 : 211.0;
    GroupInt(370, StandardLineweight(width));
    GroupInt(62, DxfColourIndexForWriting(path.penColor));
    Group(100, "AcDbSpline");
    Group(210, "0.0");
    Group(220, "0.0");
    Group(230, "1.0");
    GroupInt(70, IsClosed(nodes) ? 9 : 8);
    GroupInt(71, 3);
    GroupInt(72, 3 * n + 2);
    GroupInt(73, 3 * n - 2);
    GroupInt(74, 0);
    Group(42, "0.00000001");
    Group(43, "0.00000001");
    WriteKnotsAndControlPoints(nodes, true);
}

void CDxfWriter::WriteHatch(const CGraphicObject& object, const CPathShape& path) {
    long long boundaries = 0;
    for (const auto& nodes : path.subpaths)
        if (nodes->GetSize() >= 2)
            ++boundaries;
    if (boundaries == 0)
        return;
    EntityStart("HATCH", nextHandle++);
    GroupInt(62, DxfColourIndexForWriting(object.color));
    Group(100, "AcDbHatch");
    Group(10, "0.0");
    Group(20, "0.0");
    Group(30, "0.0");
    Group(210, "0.0");
    Group(220, "0.0");
    Group(230, "1.0");
    Group(2, "SOLID");
    GroupInt(70, 1);
    GroupInt(71, 0);
    GroupInt(91, boundaries);
    for (const auto& nodes : path.subpaths) {
        const auto n = static_cast<long long>(nodes->GetSize());
        if (n < 2)
            continue;
        // A fill is bounded by a closed loop: an open subpath is closed by a line back to its start.
        const bool closed = IsClosed(*nodes);
        GroupInt(92, 0);
        GroupInt(93, closed ? 1 : 2);
        GroupInt(72, 4);
        GroupInt(94, 3);
        GroupInt(73, 0);
        GroupInt(74, 0);
        GroupInt(95, 3 * n + 2);
        GroupInt(96, 3 * n - 2);
        WriteKnotsAndControlPoints(*nodes, false);
        if (!closed) {
            const CPointF last = (*nodes)[nodes->GetSize() - 1].anchor;
            const CPointF first = (*nodes)[0].anchor;
            GroupInt(72, 1);
            GroupReal(10, X(last.x));
            GroupReal(20, Y(last.y));
            GroupReal(11, X(first.x));
            GroupReal(21, Y(first.y));
        }
        GroupInt(97, 0);
    }
    GroupInt(75, 0);
    GroupInt(76, 1);
    GroupInt(98, 1);
    Group(10, "0.0");
    Group(20, "0.0");
}

void CDxfWriter::WriteText(const CGraphicObject& object, const CTextShape& text) {
    const double radians = text.angle * 0.017453292;
    const double cosA = std::cos(radians);
    const double sinA = std::sin(radians);
    double x = text.position.x;
    double y = text.position.y;
    int attachment = 1;
    if (text.mode == kTextParagraph) {
        const double frame = text.corner.x - text.position.x;
        if (text.alignment == kAlignCentre)
            x += frame / 2.0;
        else if (text.alignment == kAlignRight)
            x += frame;
    } else if (text.alignment == kAlignCentre || text.alignment == kAlignRight) {
        const double width = MeasureTextBlock(text).x;
        const double along = text.alignment == kAlignCentre ? width / 2.0 : width;
        x += along * cosA;
        y -= along * sinA;
    }
    if (text.alignment == kAlignCentre)
        attachment = 2;
    else if (text.alignment == kAlignRight)
        attachment = 3;

    EntityStart("MTEXT", nextHandle++);
    GroupInt(62, DxfColourIndexForWriting(object.color));
    Group(100, "AcDbMText");
    GroupReal(10, x * 0.1);
    GroupReal(20, -y * 0.1);
    Group(30, "0.0");
    GroupReal(40, text.height * 0.1 * kCapHeightPerCell);
    if (text.mode == kTextParagraph) {
        char buffer[64];
        const auto [end, error] =
            std::to_chars(buffer, buffer + sizeof buffer, (text.corner.x - text.position.x) * 0.1,
                          std::chars_format::fixed, 4);
        Group(41, error == std::errc() ? std::string_view(buffer, static_cast<std::size_t>(end - buffer))
                                       : "0.0");
    } else {
        Group(41, "0.0");
    }
    GroupInt(71, attachment);
    GroupInt(72, 1);
    const std::vector<std::string> pieces =
        EncodeMTextValue(text.text, FaceForWriting(text.faceName), (text.style & kTextStyleBold) != 0,
                         (text.style & kTextStyleItalic) != 0, (text.style & kTextStyleUnderline) != 0);
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i)
        Group(3, pieces[i]);
    Group(1, pieces.back());
    Group(7, "Standard");
    GroupReal(11, cosA);
    GroupReal(21, sinA);
    Group(31, "0.0");
}

bool CDxfWriter::WriteImage(const CImageShape& image, std::vector<CDxfImageFile>& images,
                            std::string& message) {
    const CDibSection& bitmap = image.bitmap;
    if (bitmap.IsEmpty() || bitmap.GetWidth() < 1 || bitmap.GetHeight() < 1)
        return true; // nothing to show
    for (char c : dxfPath) {
        if (c == '\r' || c == '\n' || c == '\0') {
            message = "DXF: the pictures of the drawing cannot be named after this file name";
            return false;
        }
    }
    CDxfImageFile file;
    file.path = ImagePath(dxfPath, static_cast<int>(imageRecords.size()) + 1);
    CDibSection colour;
    if (!To24Bit(bitmap, colour)) {
        message = "DXF: a picture of the drawing cannot be converted for " + file.path;
        return false;
    }
    if (CImageResult encoded = EncodeJpeg(colour, 100, file.jpeg); !encoded) {
        message = "DXF: a picture of the drawing cannot be written to " + file.path + ": " + encoded.message;
        return false;
    }
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    const uint32_t handle = nextHandle;
    nextHandle += 3;
    imageRecords.push_back({handle, file.path, width, height});
    images.push_back(std::move(file));

    const CRectF& r = image.placement;
    const float left = std::min(r.left, r.right);
    const float bottom = std::max(r.top, r.bottom);
    Group(0, "IMAGE");
    GroupHandle(5, handle);
    GroupHandle(330, kModelSpaceRecord);
    Group(100, "AcDbEntity");
    Group(8, kLayer);
    Group(62, "  7");
    Group(92, "  0");
    Group(100, "AcDbRasterImage");
    Group(90, "  0");
    GroupReal(10, X(left));
    GroupReal(20, Y(bottom));
    Group(30, "0.0");
    GroupReal(11, std::fabs(r.right - r.left) / width * 0.1);
    Group(21, "0.0");
    Group(31, "0.0");
    Group(12, "0.0");
    GroupReal(22, std::fabs(r.bottom - r.top) / height * 0.1);
    Group(32, "0.0");
    GroupInt(13, width);
    GroupInt(23, height);
    GroupHandle(340, handle + 1);
    GroupInt(70, 5);
    GroupInt(280, 0);
    Group(281, "    50");
    Group(282, "    50");
    GroupInt(283, 0);
    GroupHandle(360, handle + 2);
    GroupInt(71, 1);
    GroupInt(91, 2);
    Group(14, "    -0.5");
    Group(24, "    -0.5");
    GroupReal(14, width - 0.5);
    GroupReal(24, height - 0.5);
    return true;
}

} // namespace pq
