#pragma once

namespace pq {

// The command that opens the object property sheet; it decides which pages show.
enum class PropertySheetOpening {
    Properties, // pages by the kinds of the selected objects
    Color,      // the colour page alone for the new-object style when nothing is selected, else as Properties
    NewText,    // a text about to be placed: text, font and colour pages for the new-text style
};

// Opens the object property sheet. The view cannot show dialogs; the application implements this and
// the view hands it to whoever asks (the text tool asks before it places a text).
class IPropertySheetOpener {
public:
    virtual ~IPropertySheetOpener() = default;

    // Runs the sheet modally; true when the user accepted it.
    virtual bool OpenPropertySheet(PropertySheetOpening opening) = 0;
};

} // namespace pq
