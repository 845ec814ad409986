#pragma once

#include "geometry/PointF.h"
#include "platform/DeviceContext.h"
#include "platform/DibSection.h"

namespace pq {

// Draws the whole image (of any depth) stretched over the device rectangle from corner to corner, in
// fractional pixels, with smooth edges: each pixel gets the average of the image over the part of it the
// image covers, laid over what is there by how much it covers. A corner left of or above the other
// mirrors the image that way. False, drawing nothing, for an empty image or a target the context cannot
// draw on.
bool DrawSmoothImage(const CDibSection& image, CDeviceContext& dc, CPointF corner, CPointF opposite);

} // namespace pq
