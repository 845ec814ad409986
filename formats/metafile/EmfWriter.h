#pragma once

#include "formats/metafile/MetafileBytes.h"
#include "geometry/Rect.h"
#include "geometry/RectF.h"
#include "geometry/ViewMapping.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;
class CPathShape;
class CTextShape;
class CImageShape;

// Writes one page of a drawing as an enhanced metafile: paths as path brackets of Bezier records,
// texts as font and text-out records with the advance of every character, pictures as DIB records, and
// the page's groups in our private comment. Logical units are document units (a tenth of a millimetre,
// the header's device being 800 x 600 pixels of 80 x 60 mm); content reaching beyond +-30000 units is
// mapped into that range, pen widths and text sizes with it. The drawing is never changed: a target
// size scales copies of the page's objects.
class CEmfWriter {
public:
    // The range logical coordinates are kept in, so that every one fits the 16-bit records.
    static constexpr int32_t kLogicalLimit = 30000;

    // page is clamped to the drawing's pages; width and height, when both are positive, are the size
    // the content is scaled to (about the centre of its bounds, keeping its proportions).
    CEmfWriter(const CDrawing& drawing, int page, int width, int height);

    [[nodiscard]] std::vector<uint8_t> Write();

private:
    struct PenState {
        int32_t style = 0;
        int32_t width = 0;
        uint32_t colour = 0;
        bool operator==(const PenState&) const = default;
    };
    struct BrushState {
        int32_t style = 1;
        uint32_t colour = 0xFFFFFF;
        bool operator==(const BrushState&) const = default;
    };

    void CollectObjects();
    void SetUpMapping();
    // Each returns the number of objects a reader makes from what it wrote.
    int WritePath(const CGraphicObject& object, const CPathShape& path);
    int WriteText(const CGraphicObject& object, const CTextShape& text);
    int WriteImage(const CImageShape& image);
    void WriteGroups(const std::vector<int>& madeCounts);
    void CompleteHeader();

    [[nodiscard]] CPoint Logical(CPointF p) const;
    [[nodiscard]] int32_t LogicalLength(float length) const;

    const CDrawing& drawing;
    int page = 0;
    int targetWidth = -1;
    int targetHeight = -1;

    std::vector<const CGraphicObject*> objects;
    std::vector<std::unique_ptr<CGraphicObject>> scaledCopies;
    CRectF bounds;
    bool mapped = false;
    CViewMapping mapping;

    CMetafileSink out;
    PenState currentPen;
    BrushState currentBrush;
};

} // namespace pq
