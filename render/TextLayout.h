#pragma once

#include "geometry/PointF.h"

#include <optional>
#include <string>
#include <string_view>

namespace pq {

class CTextShape;

// Number of lines of a text: 0 when empty, else one more than its "\r\n" separators.
[[nodiscard]] int CountTextLines(const CTextShape& text);

// The line starting at index, up to the next "\r\n" or the end; index moves past the separator. An
// index outside the text gives an empty line and stays where it is.
[[nodiscard]] std::u16string GetTextLine(const CTextShape& text, std::size_t& index);

// The next line of paragraph text at index, broken to fit width document units (the frame's width when
// none is given, cut to whole units), measured in the text's font at document scale; a line at most a
// sixteenth of a unit wider than the width still fits, so float rounding of a frame never wraps the line
// it was sized to. Lines break at their last space that makes them fit, else between characters (never
// inside a surrogate pair). index moves past the line, the spaces after it and one line separator. A line
// always takes at least one character, so a caller walking the text always ends. A call measures about as
// much text as the line it returns (plus the word that did not fit), so walking a whole paragraph costs
// time linear in its length.
[[nodiscard]] std::u16string GetWrappedLine(const CTextShape& text, std::size_t& index,
                                            std::optional<float> width = std::nullopt);

// Width and height of the whole text as one block (widest line, all lines), at document scale.
[[nodiscard]] CPointF MeasureTextBlock(const CTextShape& text);

} // namespace pq
