#include "model/ImageShape.h"
#include "model/PathShape.h"
#include "model/TextShape.h"

#include <cmath>

namespace pq {

CNodeArray& CPathShape::AddSubpath() {
    subpaths.push_back(std::make_unique<CNodeArray>());
    return *subpaths.back();
}

CNodeArray& CPathShape::AddSubpath(const CNodeArray& nodes) {
    subpaths.push_back(std::make_unique<CNodeArray>(nodes));
    return *subpaths.back();
}

void CPathShape::CopyFrom(const CPathShape& other) {
    penStyle = other.penStyle;
    penWidth = other.penWidth;
    penColor = other.penColor;
    brushStyle = other.brushStyle;
    subpaths.clear();
    subpaths.reserve(other.subpaths.size());
    for (const auto& s : other.subpaths)
        subpaths.push_back(std::make_unique<CNodeArray>(*s));
    polylines.clear();
    polylines.reserve(other.polylines.size());
    for (const auto& p : other.polylines)
        polylines.push_back(std::make_unique<CPointArray>(*p));
}

std::size_t CPathShape::NodeCount() const {
    std::size_t n = 0;
    for (const auto& s : subpaths)
        n += s->GetSize();
    return n;
}

void CTextShape::CopyFrom(const CTextShape& other) {
    text = other.text;
    faceName = other.faceName;
    height = other.height;
    style = other.style;
    position = other.position;
    corner = other.corner;
    angle = other.angle;
    alignment = other.alignment;
    mode = other.mode;
}

CPointF CTextShape::FirstBaseline() const {
    const float a = angle * 0.017453292f;
    return {position.x + height * std::sin(a), position.y + height * std::cos(a)};
}

int CTextShape::LineCount() const {
    if (text.empty())
        return 0;
    int lines = 1;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n') {
            ++lines;
            ++i;
        }
    }
    return lines;
}

void CImageShape::CopyFrom(const CImageShape& other) {
    bitmap = other.bitmap;
    placement = other.placement;
    rasterOp = other.rasterOp;
}

} // namespace pq
