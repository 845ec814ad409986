#pragma once

#include "app/LengthField.h"

#include <string>
#include <string_view>

namespace pq {

class CDrawing;
class CPqxView;
class IPreferenceStore;

// The Page page of the settings sheet: paper, orientation, page width and height in the measurement
// unit, the page frame on screen, and saving the size as the default for new documents. Nothing reaches
// the drawing, the view or the preferences before Accept.
class CPageSettings {
public:
    enum Orientation { Portrait = 0, Landscape = 1 };

    // Said when OK is pressed with a page the drawing cannot have; the page keeps its size.
    static constexpr std::string_view kPageSizeOutOfRange =
        "The page width and height must each be between 0.1 mm and 5080 mm (200 inches).";

    // Shows the drawing's page in the unit (an unknown unit shows as millimetres). preferences may be
    // null: "Set as default" then writes nothing.
    CPageSettings(CPqxView& view, CDrawing& drawing, IPreferenceStore* preferences, int unit);

    [[nodiscard]] int GetUnit() const { return unit; }
    // "Width(mm):" and "Height(mm):" with the unit's name.
    [[nodiscard]] std::string GetWidthLabel() const;
    [[nodiscard]] std::string GetHeightLabel() const;
    [[nodiscard]] const std::string& GetWidthText() const { return width.GetText(); }
    [[nodiscard]] const std::string& GetHeightText() const { return height.GetText(); }
    [[nodiscard]] Orientation GetOrientation() const { return orientation; }
    // An index into PaperSizes().
    [[nodiscard]] int GetPaperIndex() const { return paperIndex; }
    [[nodiscard]] bool GetShowPage() const { return showPage; }
    void SetShowPage(bool on) { showPage = on; }
    [[nodiscard]] bool GetSetAsDefault() const { return setAsDefault; }
    void SetSetAsDefault(bool on) { setAsDefault = on; }

    // A paper chosen: its sides fill width and height the way the orientation lays them ("Custom"
    // changes nothing).
    void OnPaperSelected(int index);
    // Width or height typed: once both are numbers the orientation follows them and the paper becomes
    // "Custom".
    void OnWidthEdited(std::string text);
    void OnHeightEdited(std::string text);
    // Portrait or Landscape chosen: the two sides swap when they lie the other way.
    void OnPortrait();
    void OnLandscape();
    // The General page chose another unit: width and height are shown again in it.
    void OnUnitChanged(int newUnit);

    // Empty when Accept can store what is shown; else the reason (a page size the drawing cannot have).
    // Texts that are no numbers are not a reason: they leave the page size as it is.
    [[nodiscard]] std::string Validate() const;
    // Stores the page size into the drawing (a change marks the document modified and repaints the
    // view), the page frame into the view, and with "Set as default" the size and the frame into the
    // preferences. Returns false, storing nothing, when Validate gives a reason.
    bool Accept();

private:
    // Width and height typed, in document units; false when either is no number.
    [[nodiscard]] bool TypedSize(double& typedWidth, double& typedHeight) const;
    void ShowSize(double shownWidth, double shownHeight);

    CPqxView& view;
    CDrawing& drawing;
    IPreferenceStore* preferences;
    int unit;
    CLengthField width;
    CLengthField height;
    Orientation orientation = Portrait;
    int paperIndex = 0;
    bool showPage = true;
    bool setAsDefault = false;
};

} // namespace pq
