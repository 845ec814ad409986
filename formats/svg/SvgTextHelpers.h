#pragma once

#include "platform/Utf16.h"

namespace pq {

class CTextShape;

// The distance from the top of a text's line cell to its baseline, at document scale, in the font the
// text is measured with (0.8 of the line height when no font can be loaded).
[[nodiscard]] float TextAscent(const CTextShape& text);
// The height of one line as the renderer steps down the lines, at document scale.
[[nodiscard]] float TextLineHeight(const CTextShape& text);

} // namespace pq
