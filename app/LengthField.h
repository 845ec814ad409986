#pragma once

#include <optional>
#include <string>

namespace pq {

// A length a dialog shows in a text field. The text is rounded to the unit's precision, so reading it
// back would move a length the user never touched (a 210 mm page shown as "8.27" in would come back as
// 210.06 mm): while the text is the one shown, the length read is the exact one behind it.
class CLengthField {
public:
    // Shows a length in document units in the unit.
    void Show(double documentUnits, int unit);
    // What the user typed.
    void SetText(std::string typed) { text = std::move(typed); }
    [[nodiscard]] const std::string& GetText() const { return text; }
    // The length in document units: the one shown while the text is unchanged, else the typed number
    // times the unit's scale; nothing when the text is no number.
    [[nodiscard]] std::optional<double> Read(int unit) const;

private:
    std::string text;
    std::string shownText;
    double shownLength = 0.0;
};

} // namespace pq
