#include "render/TextFont.h"

#include "geometry/Numeric.h"
#include "geometry/ViewMapping.h"
#include "model/TextShape.h"

#include <cmath>

namespace pq {

CLogFont TextLogFont(const CTextShape& text, const CViewMapping* mapping) {
    const int32_t h = mapping != nullptr ? mapping->DocToDeviceY(text.height) - mapping->DocToDeviceY(0.0f)
                                         : RoundHalfAway(text.height);
    int32_t degrees = RoundHalfAway(text.angle) % 360;
    if (degrees < 0)
        degrees += 360;

    CLogFont font;
    font.height = h == 0 ? -1 : -h;
    font.escapement = degrees * 10;
    font.orientation = font.escapement;
    font.weight = (text.style & kTextStyleBold) != 0 ? kFontWeightBold : kFontWeightNormal;
    font.italic = (text.style & kTextStyleItalic) != 0;
    font.underline = (text.style & kTextStyleUnderline) != 0;
    font.faceName = text.faceName.substr(0, CLogFont::kMaxFaceNameLength);
    return font;
}

bool CreateTextFont(const CTextShape& text, const CViewMapping* mapping, CFont& font) {
    return font.Create(TextLogFont(text, mapping));
}

} // namespace pq
