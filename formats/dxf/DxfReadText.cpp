#include "formats/dxf/DxfReader.h"

#include "formats/dxf/DxfText.h"
#include "model/Drawing.h"
#include "model/TextMetrics.h"
#include "platform/FontFamilies.h"
#include "render/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pq {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
// The cell height of a text over the height DXF gives (that of a capital letter).
constexpr double kCellPerCapHeight = 1.388;
constexpr float kMinTextHeight = 1.0f;

bool SameFace(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// An installed face of that name, else Tahoma when it is installed or nothing is, else the first face.
std::u16string ResolveFace(std::u16string_view face) {
    const std::vector<std::u16string>& families = EnumerateFontFamilies();
    if (families.empty())
        return u"Tahoma";
    for (const std::u16string& family : families)
        if (SameFace(family, face))
            return std::u16string(face);
    for (const std::u16string& family : families)
        if (SameFace(family, u"Tahoma"))
            return family;
    return families.front();
}

// How far the anchor lies from the top-left corner of the text block: along the baseline and down.
struct Anchor {
    double along = 0.0;
    double down = 0.0;
};

} // namespace

void CDxfReader::ReadText(const CDxfEntity& entity, const CDxfPlacement& placement, bool mtext) {
    // MTEXT keeps long texts in group 3 pieces before the last piece in group 1.
    std::string raw;
    bool hasValue = false;
    for (const CDxfTag& tag : entity.tags) {
        if (tag.code == 1 || (mtext && tag.code == 3)) {
            raw += tag.Value();
            hasValue = true;
        }
    }
    if (!hasValue)
        return;
    const std::u16string value = Decode(raw);
    const CDxfPlainText plain = mtext ? DecodeMTextValue(value) : DecodeTextValue(value);
    if (plain.text.empty())
        return;

    // MTEXT gives world points; TEXT points in its object coordinate system.
    const CDxfAffine transform = mtext ? placement.transform : EntityTransform(entity, placement);
    // TEXT aligned other than left on its baseline is placed by its alignment point (11, 21).
    const int horizontal = mtext ? 0 : entity.Int(72).value_or(0);
    const int vertical = mtext ? 0 : entity.Int(73).value_or(0);
    const bool betweenPointsCode = horizontal == 3 || horizontal == 5;
    const bool alignedByPoint =
        !mtext &&
        (horizontal == 1 || horizontal == 2 || horizontal == 4 || (vertical != 0 && !betweenPointsCode)) &&
        entity.Real(11) && entity.Real(21);
    const CPointD insertion = alignedByPoint ? CPointD{*entity.Real(11), *entity.Real(21)}
                                             : CPointD{entity.RealOr(10, 0.0), entity.RealOr(20, 0.0)};

    double angle = entity.RealOr(50, 0.0) * kRadiansPerDegree;
    // Aligned (3) and fitted (5) TEXT runs along its baseline from (10, 20) to (11, 21).
    const bool betweenPoints =
        !mtext && (horizontal == 3 || horizontal == 5) && entity.Real(11) && entity.Real(21);
    double baselineLength = 0.0;
    if (betweenPoints) {
        const CPointD start{entity.RealOr(10, 0.0), entity.RealOr(20, 0.0)};
        const CPointD along = transform.ApplyVector({*entity.Real(11) - start.x, *entity.Real(21) - start.y});
        baselineLength = std::hypot(along.x, along.y);
        if (baselineLength > 0.0)
            angle = std::atan2(*entity.Real(21) - start.y, *entity.Real(11) - start.x);
    }
    if (mtext && entity.Real(11) && entity.Real(21)) {
        // MTEXT gives its direction as a vector in world coordinates.
        const double dx = *entity.Real(11);
        const double dy = *entity.Real(21);
        angle = std::fabs(dx) < 1e-8 ? (dy >= 0.0 ? 90.0 : 270.0) * kRadiansPerDegree : std::atan2(dy, dx);
    }
    // The text's direction and up vector in the document give its angle and its scale.
    const CPointD direction = transform.ApplyVector({std::cos(angle), std::sin(angle)});
    const CPointD up = transform.ApplyVector({-std::sin(angle), std::cos(angle)});
    const double documentAngle = std::atan2(-direction.y, direction.x);
    const double upScale = std::hypot(up.x, up.y);

    double height = entity.RealOr(40, 0.0);
    if (!(height > 0.0))
        height = defaultTextHeight > 0.0 ? defaultTextHeight : 16.0 / scale;

    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* text = object->AsText();
    text->text = plain.text;
    std::u16string face = plain.face;
    if (face.empty())
        face = Decode(entity.Value(7).value_or(mtext ? "Standard" : "Txt"));
    auto resolved = resolvedFaces.find(face);
    if (resolved == resolvedFaces.end())
        resolved = resolvedFaces.emplace(face, ResolveFace(face)).first;
    text->faceName = resolved->second;
    text->height =
        std::max(kMinTextHeight, static_cast<float>(std::min(upScale * height * kCellPerCapHeight, 1e8)));
    text->style = (plain.bold ? kTextStyleBold : 0) | (plain.italic ? kTextStyleItalic : 0) |
                  (plain.underline ? kTextStyleUnderline : 0);
    text->angle = static_cast<float>(documentAngle / kRadiansPerDegree);
    object->color = EntityColour(entity, placement);

    int column = 0; // 0 left, 1 centre, 2 right
    int row = 2;    // 0 top, 1 middle, 2 bottom or baseline
    if (mtext) {
        const int attachment = std::clamp(entity.Int(71).value_or(1), 1, 9);
        column = (attachment - 1) % 3;
        row = (attachment - 1) / 3;
    } else {
        column = horizontal == 1 || horizontal == 4 ? 1 : horizontal == 2 ? 2 : 0;
        row = horizontal == 4 || vertical == 2 ? 1 : vertical == 3 ? 0 : 2;
    }
    text->alignment = column == 1 ? kAlignCentre : column == 2 ? kAlignRight : kAlignLeft;

    const double referenceWidth = mtext ? entity.RealOr(41, 0.0) * transform.LinearScale() : 0.0;
    const bool paragraph = std::fabs(referenceWidth) >= 1e-8 && referenceWidth > 0.0;
    CPointF block;
    if (paragraph) {
        // The frame spans the reference width; its height is that of the text wrapped into it (each line
        // taking as many lines as its width needs, measured once).
        text->mode = kTextParagraph;
        text->angle = 0.0f;
        const float width = static_cast<float>(std::min(referenceWidth, 1e8));
        const float lineHeight = GetTextMetrics().MeasureString(*text, u"a").y;
        double lines = 0.0;
        std::size_t index = 0;
        do {
            const std::u16string line = GetTextLine(*text, index);
            const float lineWidth = GetTextMetrics().MeasureString(*text, line).x;
            lines += std::max(1.0, std::ceil(static_cast<double>(lineWidth) / width));
        } while (index < text->text.size());
        block = {width, static_cast<float>(std::min(lines * lineHeight, 1e9))};
    } else {
        text->mode = kTextArtistic;
        block = MeasureTextBlock(*text);
        // Aligned text is as high as makes it as long as its baseline (fitted text would be stretched,
        // which texts cannot be: it keeps its height).
        if (horizontal == 3 && baselineLength > 0.0 && block.x > 0.0f) {
            const double factor = baselineLength / block.x;
            text->height = std::max(kMinTextHeight, static_cast<float>(std::min(text->height * factor, 1e8)));
            block = MeasureTextBlock(*text);
        }
    }
    const double angleDoc = paragraph ? 0.0 : documentAngle;
    Anchor anchor;
    anchor.along = column == 1 ? block.x / 2.0 : column == 2 ? block.x : 0.0;
    anchor.down = row == 1 ? block.y / 2.0 : row == 2 ? block.y : 0.0;
    const CPointF at = Mapper(transform).Map(insertion);
    const double cosA = std::cos(angleDoc);
    const double sinA = std::sin(angleDoc);
    text->position = {static_cast<float>(at.x - anchor.along * cosA - anchor.down * sinA),
                      static_cast<float>(at.y + anchor.along * sinA - anchor.down * cosA)};
    if (paragraph)
        text->corner = text->position + block;
    Append(std::move(object));
}

} // namespace pq
