#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CDrawing;
class CUndoRecorder;
struct CNewObjectStyle;

// The font page of the property sheet: face, size in points, bold, italic and underline, alignment and
// angle of the selected texts, or of new text when nothing is selected. A value the selected texts do not
// agree on shows blank (a style box shows its third state) and is left as each text has it.
class CFontPage {
public:
    enum class Check { Off, On, Mixed };

    static constexpr std::array<int, 11> kSizes = {8, 9, 10, 11, 12, 14, 16, 20, 24, 28, 36};
    static constexpr std::array<std::string_view, 8> kAngles = {"0",   "45",   "90",  "135",
                                                                "180", "-135", "-90", "-45"};
    // Combo order; the alignment words are 1 left, 3 centre, 2 right.
    static constexpr std::array<std::string_view, 3> kAlignments = {"Left", "Center", "Right"};
    static constexpr std::array<int, 3> kAlignmentWords = {1, 3, 2};
    static constexpr double kPointsPerUnit = 0.28346518;
    static constexpr double kUnitsPerPoint = 3.52777;
    static constexpr float kMinHeight = 3.0f;
    // About three and a half metres: larger type than any page holds, and far from what the renderer's
    // integer pixel sizes could not carry.
    static constexpr int kMaxPoints = 10000;

    // A height in document units as whole points, rounded half away from zero.
    [[nodiscard]] static int PointsOf(float height);
    // A typed size in points as a height: made positive, times 3.52777, at least 3.0, at most the largest
    // size; nothing when the text is not a number.
    [[nodiscard]] static std::optional<float> HeightOf(std::string_view typed);
    // Combo index 0, 1, 2 as the alignment word and back (-1 for an unknown word).
    [[nodiscard]] static int AlignmentWord(int index);
    [[nodiscard]] static int AlignmentIndex(int word);

    // families: the installed font families; the shown face is added to the list when it is not there.
    void Init(const CDrawing* drawing, std::span<const int> selection, const CNewObjectStyle& defaults,
              std::vector<std::u16string> families);

    [[nodiscard]] const std::vector<std::u16string>& GetFamilies() const { return families; }
    // Empty while the texts differ.
    [[nodiscard]] const std::u16string& GetFace() const { return face; }
    void SetFace(std::u16string name) { face = std::move(name); }
    [[nodiscard]] const std::string& GetSizeText() const { return sizeText; }
    void SetSizeText(std::string text) { sizeText = std::move(text); }
    [[nodiscard]] Check GetStyle(int bit) const { return styles[static_cast<std::size_t>(bit)]; }
    // bit 0 bold, 1 italic, 2 underline.
    void SetStyle(int bit, Check state);
    // -1 while the texts differ.
    [[nodiscard]] int GetAlignmentIndex() const { return alignmentIndex; }
    void SetAlignmentIndex(int index);

    // The angle applies to artistic text only: for paragraph text the box shows "0" and is disabled.
    [[nodiscard]] bool IsAngleEnabled() const { return textKind != 2; }
    [[nodiscard]] std::string GetShownAngle() const { return IsAngleEnabled() ? angleText : "0"; }
    void SetAngleText(std::string text) { angleText = std::move(text); }
    // The kind the text page shows: 1 artistic, 2 paragraph, 0 when the texts differ.
    void SetTextKind(int kind) { textKind = kind; }

    // Writes the values to every selected text and lays it out again, as one modify step; false when
    // nothing changed. Paragraph texts get angle 0.
    bool ApplyToSelection(CDrawing& drawing, CUndoRecorder& recorder, std::span<const int> selection) const;
    void ApplyToDefaults(CNewObjectStyle& defaults) const;

private:
    std::vector<std::u16string> families;
    std::u16string face;
    std::string sizeText;
    std::string angleText;
    // The size and angle first shown are rounded: only a changed text is written back, so an untouched
    // page never rounds a text's height or angle.
    std::string shownSizeText;
    std::string shownAngleText;
    std::array<Check, 3> styles{};
    int alignmentIndex = 0;
    int textKind = 1;
};

} // namespace pq
