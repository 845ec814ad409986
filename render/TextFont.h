#pragma once

#include "platform/Font.h"

namespace pq {

class CTextShape;
class CViewMapping;

// The logical font of a text: character height in device pixels (through the mapping, or the text
// height in document units without one; at least one pixel), escapement and orientation from the angle
// in tenths of a degree in 0..3599, weight, italic and underline from the style, the face name cut to
// its stored length.
[[nodiscard]] CLogFont TextLogFont(const CTextShape& text, const CViewMapping* mapping);

// The font a text is drawn with; false when no installed face can be loaded.
bool CreateTextFont(const CTextShape& text, const CViewMapping* mapping, CFont& font);

} // namespace pq
