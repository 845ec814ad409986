#pragma once

#include "model/Shape.h"

#include "geometry/PointF.h"
#include "geometry/Rect.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pq {

inline constexpr float kDefaultTextHeight = 70.5555f; // 20 points in document units
inline constexpr int32_t kTextStyleBold = 1;
inline constexpr int32_t kTextStyleItalic = 2;
inline constexpr int32_t kTextStyleUnderline = 4;
inline constexpr int32_t kAlignLeft = 1;
inline constexpr int32_t kAlignRight = 2;
inline constexpr int32_t kAlignCentre = 3;
inline constexpr int32_t kTextArtistic = 1;  // point text, lines as typed, rotatable
inline constexpr int32_t kTextParagraph = 2; // text wrapped inside the frame position .. corner

// A text. Lines are separated by "\r\n"; the text is UTF-16.
class CTextShape : public CShape {
public:
    CTextShape() : CShape(kKindText) {}

    // Copies everything but the outline cache.
    void CopyFrom(const CTextShape& other);
    // The first baseline point: position + height * (sin a, cos a), a the angle in radians.
    [[nodiscard]] CPointF FirstBaseline() const;
    // 0 for an empty text, else the number of "\r\n" separators + 1.
    [[nodiscard]] int LineCount() const;

    // Cache: the closed outline of the bounds (five rounded corners), rebuilt by RecalcBounds.
    std::vector<CPoint> outline;
    std::u16string text;
    std::u16string faceName;
    float height = kDefaultTextHeight;
    int32_t style = 0;
    // Top-left corner of the first line's cell; for paragraph text also the frame's first corner.
    CPointF position;
    // Paragraph text: the frame's opposite corner.
    CPointF corner;
    float angle = 0.0f; // degrees
    int32_t alignment = kAlignLeft;
    int32_t mode = kTextArtistic;
};

} // namespace pq
