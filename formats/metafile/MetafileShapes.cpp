#include "formats/metafile/MetafilePlayback.h"

#include "geometry/Ellipse.h"
#include "model/Drawing.h"
#include "model/TextMetrics.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// The shapes, texts and pictures of a metafile's playback: each becomes figures of the open path or an
// object of its own.

namespace pq {

void CMetafilePlayback::Polyline(std::span<const CPoint> points, bool closed) {
    const uint32_t count[] = {static_cast<uint32_t>(points.size())};
    Polylines(count, points, closed);
}

void CMetafilePlayback::Polylines(std::span<const uint32_t> counts, std::span<const CPoint> points,
                                  bool closed) {
    std::vector<std::vector<CPathNode>> figures;
    std::size_t at = 0;
    for (uint32_t count : counts) {
        if (count > points.size() - at)
            break;
        std::vector<CPathNode> nodes;
        nodes.reserve(count + 1);
        for (uint32_t i = 0; i < count; ++i)
            nodes.push_back(CPathNode::FromPoint(ToFloat(Map(points[at + i]))));
        at += count;
        if (closed && nodes.size() >= 2 && nodes.back().anchor != nodes.front().anchor)
            nodes.push_back(nodes.front());
        figures.push_back(std::move(nodes));
    }
    AddSubpaths(std::move(figures), closed);
}

void CMetafilePlayback::PolyBezier(std::span<const CPoint> points) {
    if (points.empty())
        return;
    std::vector<CPathNode> nodes;
    nodes.reserve(points.size() / 3 + 1);
    nodes.push_back(CPathNode::FromPoint(ToFloat(Map(points[0]))));
    for (std::size_t i = 1; i + 2 < points.size(); i += 3) {
        nodes.back().out = ToFloat(Map(points[i]));
        const CPointF end = ToFloat(Map(points[i + 2]));
        nodes.push_back({ToFloat(Map(points[i + 1])), end, end});
    }
    std::vector<std::vector<CPathNode>> figures;
    figures.push_back(std::move(nodes));
    AddSubpaths(std::move(figures), false);
}

void CMetafilePlayback::Rectangle(CRect box) {
    const CPoint corners[] = {
        {box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
    Polyline(corners, true);
}

void CMetafilePlayback::Ellipse(CRect box) {
    const CNodeArray logical = EllipseToNodes({static_cast<float>(box.left), static_cast<float>(box.right),
                                               static_cast<float>(box.top), static_cast<float>(box.bottom)});
    std::vector<std::vector<CPathNode>> figures;
    figures.push_back(MapNodes({logical.data(), logical.GetSize()}));
    AddSubpaths(std::move(figures), true);
}

void CMetafilePlayback::Arc(const emr::CArc& arc, ArcKind kind) {
    std::vector<CPointD> points;
    const CPointD start{static_cast<double>(arc.start.x), static_cast<double>(arc.start.y)};
    const CPointD end{static_cast<double>(arc.end.x), static_cast<double>(arc.end.y)};
    if (arcClockwise) {
        ArcToPolyline(arc.box.left, arc.box.top, arc.box.right, arc.box.bottom, end, start, points);
        std::reverse(points.begin(), points.end());
    } else {
        ArcToPolyline(arc.box.left, arc.box.top, arc.box.right, arc.box.bottom, start, end, points);
    }
    if (points.empty())
        return;
    std::vector<CPathNode> nodes;
    nodes.reserve(points.size() + 2);
    const auto node = [this](CPointD p) { return CPathNode::FromPoint(ToFloat(Map(p.x, p.y))); };
    if (kind == ArcKind::ArcTo) {
        StartFigureIfNeeded();
        for (CPointD p : points)
            current.push_back(node(p));
        position = Map(points.back().x, points.back().y);
        return;
    }
    const CPointD centre{(arc.box.left + static_cast<double>(arc.box.right)) * 0.5,
                         (arc.box.top + static_cast<double>(arc.box.bottom)) * 0.5};
    if (kind == ArcKind::Pie)
        nodes.push_back(node(centre));
    for (CPointD p : points)
        nodes.push_back(node(p));
    if (kind != ArcKind::Arc && nodes.back().anchor != nodes.front().anchor)
        nodes.push_back(nodes.front());
    std::vector<std::vector<CPathNode>> figures;
    figures.push_back(std::move(nodes));
    AddSubpaths(std::move(figures), kind != ArcKind::Arc);
}

void CMetafilePlayback::FillBlock(CPoint origin, CPoint size) {
    FlushFigure();
    const CPoint corners[] = {origin,
                              {origin.x + size.x, origin.y},
                              {origin.x + size.x, origin.y + size.y},
                              {origin.x, origin.y + size.y},
                              origin};
    std::vector<CPathNode> nodes;
    for (CPoint p : corners)
        nodes.push_back(CPathNode::FromPoint(ToFloat(Map(p))));
    std::vector<std::vector<CPathNode>> figures;
    figures.push_back(std::move(nodes));
    MakePath(figures, false, true);
}

void CMetafilePlayback::Text(std::u16string text, CPoint reference, bool worldTransform) {
    FlushFigure();
    while (!text.empty() && text.back() == u'\0')
        text.pop_back();
    if (text.empty())
        return;
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* shape = object->AsText();
    shape->text = std::move(text);
    shape->faceName = font.face;
    // The glyphs grow with the page mapping, and with the world transform when it applies to text.
    const float height = static_cast<float>((font.height > 0.0f ? font.height : kDefaultFontHeight) *
                                            LengthScale(worldTransform));
    CPointD at;
    if (worldTransform) {
        at = Map(reference);
    } else {
        const emr::CXform saved = world;
        world = emr::CXform();
        at = Map(reference);
        world = saved;
    }
    shape->height = std::clamp(height, 1.0f, kMaxTextHeight);
    shape->style = font.style;
    shape->angle = static_cast<float>(font.escapement % 3600) * 0.1f;
    shape->mode = kTextArtistic;
    shape->alignment = kAlignLeft;
    object->color = textColour;

    const double radians = shape->angle * std::numbers::pi / 180.0;
    const CPointD down{std::sin(radians), std::cos(radians)};
    const CPointD along{std::cos(radians), -std::sin(radians)};
    // A baseline or bottom reference point lies one height below the top of the line.
    if ((textAlign & 8) != 0)
        at = at - down * shape->height;
    // Centred and right-aligned text hangs from its reference point by half or all of its width.
    const uint32_t horizontal = textAlign & 6;
    if (horizontal == 2 || horizontal == 6) {
        const double width = GetTextMetrics().MeasureString(*shape, shape->text).x;
        at = at - along * (horizontal == 6 ? width * 0.5 : width);
    }
    shape->position = ToFloat(at);
    Append(std::move(object));
}

void CMetafilePlayback::Image(const emr::CDibParts& dib, CPoint dest, CPoint destSize) {
    FlushFigure();
    if (dib.info.size() < CBitmapInfoHeader::kSize)
        return;
    CBitmapInfoHeader header = CBitmapInfoHeader::ReadFrom(dib.info.data());
    if (header.size < CBitmapInfoHeader::kSize || header.size > dib.info.size())
        return;
    // Larger headers (version 4 and 5) start with the same 40 bytes; their bit-field masks sit right
    // after those, where a 40-byte header's masks would be.
    const std::size_t tableStart =
        header.compression == CBitmapInfoHeader::kCompressionFields ? CBitmapInfoHeader::kSize : header.size;
    header.size = CBitmapInfoHeader::kSize;
    const uint32_t entries = emr::FileColourEntries(header.bitCount, header.compression, header.clrUsed);
    if (entries > CDibSection::kMaxColours || tableStart + 4u * entries > dib.info.size())
        return;
    // The bitmap object keeps a full table (masks for 16 and 32 bits) whatever the file carried.
    std::vector<uint32_t> colours(
        std::max(entries, CDibSection::ColourTableSize(header.bitCount, header.clrUsed)));
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* p = dib.info.data() + tableStart + 4 * i;
        colours[i] = static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (p[3] << 24));
    }
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* shape = object->AsImage();
    if (!shape->bitmap.SetFromDib(header, colours, dib.bits)) {
        Warn("A picture of the file could not be read and was left out.");
        return;
    }
    const CPointF a = ToFloat(Map(dest));
    const CPointF b =
        ToFloat(Map(dest.x + static_cast<double>(destSize.x), dest.y + static_cast<double>(destSize.y)));
    shape->placement = CRectF::FromCorners(a, b);
    Append(std::move(object));
}

} // namespace pq
