#pragma once

#include "geometry/PointF.h"
#include "geometry/Transform.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;
class CImageShape;
class CPathShape;
class CTextShape;

// Writes one page of a drawing as an Illustrator 7 file: comment lines, then the Illustrator path,
// text and raster operators, in points with y growing upwards, and the page's groups in private
// "%!!PQ" comment lines that other programs ignore.
//
// A document point (x, y) is written as ((x + W/2) k, (H/2 - y) k), W and H being the page size and k
// the points per document unit: the page's top-left corner moves to the origin, the page is scaled to
// points and y is negated as it is written. The drawing itself is only read.
class CAiWriter {
public:
    // page is clamped to the drawing's pages; title names the file in the "%%Title" line.
    CAiWriter(const CDrawing& drawing, int page, std::string title);

    [[nodiscard]] std::string Write();

private:
    void Line(std::string_view text);
    // Appends numbers as AI numbers separated by spaces.
    void Numbers(std::initializer_list<double> values);
    // "r g b Xa" (fill) or "r g b XA" (stroke).
    void ColourLine(uint32_t colour, bool fill);
    [[nodiscard]] CPointF ToAi(CPointF p) const;

    void WriteHeader();
    // Each returns whether the object put anything in the file the reader makes an object of.
    bool WritePath(const CGraphicObject& object, const CPathShape& path);
    bool WriteText(const CGraphicObject& object, const CTextShape& text);
    bool WriteImage(const CImageShape& image);
    // A filled quadrilateral (the underline of one text line) in the given colour.
    void WriteUnderlineBox(uint32_t colour, const CPointF (&corners)[4]);
    void WriteGroups(const std::vector<const CGraphicObject*>& objects, const std::vector<bool>& written);

    const CDrawing& drawing;
    int page = 0;
    std::string title;
    CTransform toAi;
    std::string file;
};

} // namespace pq
