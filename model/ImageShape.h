#pragma once

#include "model/Shape.h"

#include "geometry/RectF.h"
#include "platform/DibSection.h"

#include <cstdint>

namespace pq {

inline constexpr uint32_t kRopSourceCopy = 0xCC0020;

// A raster image stretched into its placement rectangle.
class CImageShape : public CShape {
public:
    CImageShape() : CShape(kKindImage) {}

    void CopyFrom(const CImageShape& other);

    CDibSection bitmap;
    CRectF placement;
    uint32_t rasterOp = kRopSourceCopy;
};

} // namespace pq
