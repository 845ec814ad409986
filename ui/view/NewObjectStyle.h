#pragma once

#include <cstdint>
#include <string>

namespace pq {

// The style the drawing tools give new objects. The view keeps one; the style commands change it when
// nothing is selected, and the eyedropper sets its colours.
struct CNewObjectStyle {
    static constexpr uint32_t kDefaultPenColor = 0x321A75;   // RGB(117, 26, 50)
    static constexpr uint32_t kDefaultBrushColor = 0x14B4DF; // RGB(223, 180, 20)
    static constexpr float kDefaultTextHeight = 70.5555f;    // 20 points
    static constexpr float kMinTextHeight = 3.0f;

    int penStyle = 0; // 0 solid, 5 no line
    int penWidth = 0; // document units
    uint32_t penColor = kDefaultPenColor;
    int noFill = 0; // 1: new objects are not filled
    uint32_t brushColor = kDefaultBrushColor;
    std::u16string fontFace = u"Tahoma";
    float textHeight = kDefaultTextHeight;
    int textStyle = 0; // 1 bold, 2 italic, 4 underline
    float textAngle = 0.0f;
    int textAlign = 1; // 1 left, 2 right, 3 centre
    int textType = 1;  // 1 artistic, 2 paragraph
    std::u16string defaultText = u"my text";
    uint32_t textColor = 0;
};

} // namespace pq
