#include "app/FontPage.h"

#include "app/MeasurementUnits.h"
#include "app/SelectionEdit.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "ui/view/NewObjectStyle.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pq {

namespace {

std::string AngleText(float angle) {
    return std::to_string(RoundHalfAway(angle));
}

template <class T, class Get> std::optional<T> Common(const std::vector<const CTextShape*>& texts, Get get) {
    std::optional<T> value;
    for (const CTextShape* text : texts) {
        const T v = get(*text);
        if (value && *value != v)
            return std::nullopt;
        value = v;
    }
    return value;
}

} // namespace

int CFontPage::PointsOf(float height) {
    return RoundHalfAway(static_cast<double>(height) * kPointsPerUnit);
}

std::optional<float> CFontPage::HeightOf(std::string_view typed) {
    const std::optional<int> points = ParseTypedInteger(typed);
    if (!points)
        return std::nullopt;
    const double held = std::min(std::fabs(static_cast<double>(*points)), static_cast<double>(kMaxPoints));
    return std::max(static_cast<float>(held * kUnitsPerPoint), kMinHeight);
}

int CFontPage::AlignmentWord(int index) {
    return index >= 0 && index < 3 ? kAlignmentWords[static_cast<std::size_t>(index)] : 1;
}

int CFontPage::AlignmentIndex(int word) {
    for (std::size_t i = 0; i < kAlignmentWords.size(); ++i)
        if (kAlignmentWords[i] == word)
            return static_cast<int>(i);
    return -1;
}

void CFontPage::Init(const CDrawing* drawing, std::span<const int> selection, const CNewObjectStyle& defaults,
                     std::vector<std::u16string> installed) {
    families = std::move(installed);
    std::vector<const CTextShape*> texts;
    for (const CGraphicObject* object : SelectedObjects(drawing, selection))
        if (const CTextShape* text = object->AsText())
            texts.push_back(text);
    if (texts.empty()) {
        face = defaults.fontFace;
        sizeText = std::to_string(PointsOf(defaults.textHeight));
        for (int bit = 0; bit < 3; ++bit)
            styles[static_cast<std::size_t>(bit)] =
                (defaults.textStyle & (1 << bit)) != 0 ? Check::On : Check::Off;
        alignmentIndex = std::max(AlignmentIndex(defaults.textAlign), 0);
        angleText = AngleText(defaults.textAngle);
        textKind = defaults.textType == 2 ? 2 : 1;
    } else {
        face = Common<std::u16string>(texts, [](const CTextShape& t) { return t.faceName; }).value_or(u"");
        const std::optional<int> points =
            Common<int>(texts, [](const CTextShape& t) { return PointsOf(t.height); });
        sizeText = points ? std::to_string(*points) : std::string();
        for (int bit = 0; bit < 3; ++bit) {
            const std::optional<bool> on =
                Common<bool>(texts, [bit](const CTextShape& t) { return (t.style & (1 << bit)) != 0; });
            styles[static_cast<std::size_t>(bit)] = !on ? Check::Mixed : *on ? Check::On : Check::Off;
        }
        alignmentIndex =
            AlignmentIndex(Common<int>(texts, [](const CTextShape& t) { return t.alignment; }).value_or(0));
        const std::optional<int> angle =
            Common<int>(texts, [](const CTextShape& t) { return RoundHalfAway(t.angle); });
        angleText = angle ? std::to_string(*angle) : std::string();
        textKind = Common<int>(texts, [](const CTextShape& t) { return t.mode; }).value_or(0);
    }
    shownSizeText = sizeText;
    shownAngleText = angleText;
    if (!face.empty() && std::find(families.begin(), families.end(), face) == families.end())
        families.insert(families.begin(), face);
}

void CFontPage::SetStyle(int bit, Check state) {
    if (bit >= 0 && bit < 3)
        styles[static_cast<std::size_t>(bit)] = state;
}

void CFontPage::SetAlignmentIndex(int index) {
    if (index >= -1 && index < 3)
        alignmentIndex = index;
}

bool CFontPage::ApplyToSelection(CDrawing& drawing, CUndoRecorder& recorder,
                                 std::span<const int> selection) const {
    const std::optional<float> height = sizeText != shownSizeText ? HeightOf(sizeText) : std::nullopt;
    const std::optional<int> angle =
        angleText != shownAngleText ? ParseTypedInteger(angleText) : std::nullopt;
    return ApplyModifyStep(drawing, recorder, selection, [&](CGraphicObject& object) {
        CTextShape* text = object.AsText();
        if (text == nullptr)
            return;
        if (!face.empty())
            text->faceName = face;
        if (height)
            text->height = *height;
        for (int bit = 0; bit < 3; ++bit) {
            const Check state = styles[static_cast<std::size_t>(bit)];
            if (state == Check::On)
                text->style |= 1 << bit;
            else if (state == Check::Off)
                text->style &= ~(1 << bit);
        }
        if (alignmentIndex >= 0)
            text->alignment = AlignmentWord(alignmentIndex);
        if (text->mode == 2)
            text->angle = 0.0f;
        else if (angle)
            text->angle = static_cast<float>(*angle % 360);
        object.RecalcBounds();
    });
}

void CFontPage::ApplyToDefaults(CNewObjectStyle& defaults) const {
    if (!face.empty())
        defaults.fontFace = face;
    if (sizeText != shownSizeText)
        if (const std::optional<float> height = HeightOf(sizeText))
            defaults.textHeight = *height;
    for (int bit = 0; bit < 3; ++bit) {
        const Check state = styles[static_cast<std::size_t>(bit)];
        if (state == Check::On)
            defaults.textStyle |= 1 << bit;
        else if (state == Check::Off)
            defaults.textStyle &= ~(1 << bit);
    }
    if (alignmentIndex >= 0)
        defaults.textAlign = AlignmentWord(alignmentIndex);
    if (textKind == 2)
        defaults.textAngle = 0.0f;
    else if (const std::optional<int> angle = ParseTypedInteger(angleText);
             angle && angleText != shownAngleText)
        defaults.textAngle = static_cast<float>(*angle % 360);
}

} // namespace pq
