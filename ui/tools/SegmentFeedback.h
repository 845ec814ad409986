#pragma once

#include "geometry/PathNode.h"
#include "geometry/Rect.h"

namespace pq {

class CDeviceContext;
class CViewMapping;

// Draws the Bezier segment between two nodes (document units) as feedback with the context's pen and
// raster operation: flattened to 2 pixels, each piece clipped to the client area widened by a few
// pixels, so that a segment reaching far off screen costs no more than its visible part. Pieces drawn
// one after another leave out their last pixel, so with XOR each joint is inverted once.
void DrawSegmentFeedback(CDeviceContext& dc, const CViewMapping& mapping, const CRect& client,
                         const CPathNode& from, const CPathNode& to);

} // namespace pq
