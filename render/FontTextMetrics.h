#pragma once

#include "model/TextMetrics.h"
#include "platform/Font.h"

namespace pq {

// Measures text with the installed fonts at document scale: one document unit is one pixel, the font's
// character height is the text height rounded to whole units, so a measure is the same at every zoom.
// Keeps the last font it made, since consecutive measures nearly always share the text's font.
class CFontTextMetrics : public CTextMetrics {
public:
    [[nodiscard]] CPointF MeasureString(const CTextShape& text, std::u16string_view s) const override;
    [[nodiscard]] CRectF MeasureArtisticBounds(const CTextShape& text) const override;
    // Measures each character of s once; a run's width is then the sum of its characters' advances.
    [[nodiscard]] std::unique_ptr<CTextRuns> MeasureRuns(const CTextShape& text,
                                                         std::u16string_view s) const override;

    // The logical font a text is measured with: character height = the rounded height (1 when that is
    // 0), upright, weight and italic and underline from the style bits.
    [[nodiscard]] static CLogFont DocumentScaleFont(const CTextShape& text);

private:
    // The font for a text, or nullptr when no font can be loaded (the caller then measures nothing).
    const CFont* FontFor(const CTextShape& text) const;

    mutable CLogFont lastLogFont;
    mutable CFont lastFont;
};

// Where a text's lines sit, in document units: the step from one line's top to the next and the drop
// from a line's top to its baseline. The editor draws and the native file places lines by these.
struct CTextLineSteps {
    float lineHeight = 0.0f;
    float ascent = 0.0f;
};
[[nodiscard]] CTextLineSteps MeasureLineSteps(const CTextShape& text);

// Makes the model measure text with the installed fonts from now on (the programs call it at start-up;
// without it the model's font-free estimate is used).
void InstallFontTextMetrics();

} // namespace pq
