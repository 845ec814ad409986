#pragma once

#include "geometry/PointF.h"
#include "geometry/RectF.h"

#include <cstddef>
#include <memory>
#include <string_view>

namespace pq {

class CTextShape;

// The widths of the runs of one string, measured once: callers that fit or place many runs of the same
// text (line breaking, drawing glyph by glyph) ask here instead of measuring each run again.
class CTextRuns {
public:
    virtual ~CTextRuns() = default;
    // The width of s[begin, end) as MeasureString reports it, for begin <= end <= s.size() on code point
    // boundaries (never between the two units of a surrogate pair).
    [[nodiscard]] virtual float Width(std::size_t begin, std::size_t end) const = 0;
};

// What the model needs to know about the size of text. The model measures through the installed
// instance so that the renderer's font engine can take over without the model depending on it.
class CTextMetrics {
public:
    virtual ~CTextMetrics() = default;

    // Width and height (cx, cy) of one line of s set in the text's font, at document scale.
    [[nodiscard]] virtual CPointF MeasureString(const CTextShape& text, std::u16string_view s) const = 0;
    // Bounds of the whole artistic text block (every line), rotated by the text's angle the way the
    // renderer draws it: the first line's cell has its top-left corner at position.
    [[nodiscard]] virtual CRectF MeasureArtisticBounds(const CTextShape& text) const = 0;
    // The runs of s set in the text's font; s must outlive the result. This base version measures each
    // run on demand through MeasureString; measurers whose widths add up character by character measure
    // s once instead.
    [[nodiscard]] virtual std::unique_ptr<CTextRuns> MeasureRuns(const CTextShape& text,
                                                                 std::u16string_view s) const;
};

// A font-free measurer: every UTF-16 unit is 0.6 of the height wide (0.66 when bold), a line is one
// height high, and lines are aligned as the renderer aligns them. Deterministic on every machine.
class CDefaultTextMetrics : public CTextMetrics {
public:
    [[nodiscard]] CPointF MeasureString(const CTextShape& text, std::u16string_view s) const override;
    [[nodiscard]] CRectF MeasureArtisticBounds(const CTextShape& text) const override;
    [[nodiscard]] std::unique_ptr<CTextRuns> MeasureRuns(const CTextShape& text,
                                                         std::u16string_view s) const override;
};

// The measurer every model operation uses. SetTextMetrics installs one that outlives its use (the
// caller keeps ownership); nullptr restores the default.
[[nodiscard]] const CTextMetrics& GetTextMetrics();
void SetTextMetrics(const CTextMetrics* metrics);

// The bounding box of the rectangle (0, 0) .. (width, height) in text-local coordinates (x along the
// line, y down the lines) turned by angleDegrees about origin as the renderer turns text. Measurers
// use it once they know the block's size.
[[nodiscard]] CRectF RotatedTextBlockBounds(CPointF origin, float width, float height, float angleDegrees);

} // namespace pq
