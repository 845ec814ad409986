#pragma once

#include <span>
#include <string>
#include <string_view>

namespace pq {

class CDrawing;
class CUndoRecorder;
struct CNewObjectStyle;

// The text page of the property sheet: the string and the kind (artistic or paragraph) of the selected
// texts, or of the next text placed when nothing is selected.
class CTextPage {
public:
    static constexpr int kArtistic = 1;
    static constexpr int kParagraph = 2;

    // The string as a multi-line edit holds it (UTF-8, lines ended by "\n") and as a text stores it
    // (UTF-16, lines separated by "\r\n").
    [[nodiscard]] static std::string EditTextOf(std::u16string_view stored);
    [[nodiscard]] static std::u16string StoredTextOf(std::string_view edited);

    // The string shows when all selected texts hold the same one (else blank); the kind likewise (else 0).
    void Init(const CDrawing* drawing, std::span<const int> selection, const CNewObjectStyle& defaults);

    [[nodiscard]] const std::string& GetText() const { return text; }
    void SetText(std::string edited) { text = std::move(edited); }
    // 1 artistic, 2 paragraph, 0 while the texts differ.
    [[nodiscard]] int GetKind() const { return kind; }
    void SetKind(int k);
    // Which of the two edits shows: the wrapping one, or the one that scrolls sideways.
    [[nodiscard]] bool GetHorizontalScroll() const { return horizontalScroll; }
    void SetHorizontalScroll(bool on) { horizontalScroll = on; }

    // Sets the kind (an artistic text made a paragraph gets its bounds as its frame and angle 0) and,
    // when the edit is not empty, the string of every selected text, laid out again, as one modify step;
    // false when nothing changed.
    bool ApplyToSelection(CDrawing& drawing, CUndoRecorder& recorder, std::span<const int> selection) const;
    // The kind and string of new text; a paragraph also gets angle 0.
    void ApplyToDefaults(CNewObjectStyle& defaults) const;

private:
    std::string text;
    int kind = kArtistic;
    bool horizontalScroll = false;
};

} // namespace pq
