#pragma once

namespace pq {

class CDeviceContext;
class CGraphicObject;
class CTextShape;
class CViewMapping;

// Draws a text object onto the bitmap selected into dc: artistic text line by line along its angle,
// paragraph text wrapped into its frame with a dotted frame around it.
void DrawText(const CGraphicObject& object, const CTextShape& text, CDeviceContext& dc,
              const CViewMapping& mapping);

} // namespace pq
