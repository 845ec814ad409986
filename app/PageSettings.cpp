#include "app/PageSettings.h"

#include "app/GeneralSettings.h"
#include "app/MeasurementUnits.h"
#include "app/PaperSizes.h"
#include "document/PqxDoc.h"
#include "document/PreferenceStore.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "ui/view/PqxView.h"

namespace pq {

CPageSettings::CPageSettings(CPqxView& settingsView, CDrawing& pageDrawing, IPreferenceStore* store,
                             int shownUnit)
    : view(settingsView), drawing(pageDrawing), preferences(store), unit(ShownMeasurementUnit(shownUnit)),
      showPage(settingsView.GetShowPage()) {
    const double pageWidth = drawing.GetPageWidth();
    const double pageHeight = drawing.GetPageHeight();
    orientation = pageWidth <= pageHeight ? Portrait : Landscape;
    ShowSize(pageWidth, pageHeight);
    paperIndex = MatchPaper(pageWidth, pageHeight);
}

std::string CPageSettings::GetWidthLabel() const {
    return "Width(" + std::string(UnitName(unit)) + "):";
}

std::string CPageSettings::GetHeightLabel() const {
    return "Height(" + std::string(UnitName(unit)) + "):";
}

void CPageSettings::ShowSize(double shownWidth, double shownHeight) {
    width.Show(shownWidth, unit);
    height.Show(shownHeight, unit);
}

bool CPageSettings::TypedSize(double& typedWidth, double& typedHeight) const {
    const std::optional<double> w = width.Read(unit);
    const std::optional<double> h = height.Read(unit);
    if (!w || !h)
        return false;
    typedWidth = *w;
    typedHeight = *h;
    return true;
}

void CPageSettings::OnPaperSelected(int index) {
    if (index < 0 || index >= CustomPaperIndex())
        return;
    paperIndex = index;
    const CPaperSize& paper = PaperSizes()[static_cast<std::size_t>(index)];
    if (orientation == Portrait)
        ShowSize(paper.shorter, paper.longer);
    else
        ShowSize(paper.longer, paper.shorter);
}

void CPageSettings::OnWidthEdited(std::string text) {
    width.SetText(std::move(text));
    OnHeightEdited(height.GetText());
}

void CPageSettings::OnHeightEdited(std::string text) {
    height.SetText(std::move(text));
    double w = 0.0;
    double h = 0.0;
    if (!TypedSize(w, h))
        return;
    orientation = w <= h ? Portrait : Landscape;
    paperIndex = CustomPaperIndex();
}

void CPageSettings::OnPortrait() {
    orientation = Portrait;
    double w = 0.0;
    double h = 0.0;
    if (TypedSize(w, h) && w > h)
        ShowSize(h, w);
}

void CPageSettings::OnLandscape() {
    orientation = Landscape;
    double w = 0.0;
    double h = 0.0;
    if (TypedSize(w, h) && w < h)
        ShowSize(h, w);
}

void CPageSettings::OnUnitChanged(int newUnit) {
    if (newUnit < 0 || newUnit >= kMeasurementUnitCount)
        return;
    const std::optional<double> w = width.Read(unit);
    const std::optional<double> h = height.Read(unit);
    unit = newUnit;
    // A text that is no number stays as typed, for the user to see and mend.
    if (w)
        width.Show(*w, unit);
    if (h)
        height.Show(*h, unit);
}

std::string CPageSettings::Validate() const {
    double w = 0.0;
    double h = 0.0;
    if (!TypedSize(w, h))
        return {};
    // Checked in double first: a typed 1e300 has no float.
    const auto inRange = [](double side) {
        return side >= CDrawing::kMinPageSide && side <= CDrawing::kMaxPageSide;
    };
    if (!inRange(w) || !inRange(h) ||
        !CDrawing::IsValidPageSize(static_cast<float>(w), static_cast<float>(h)))
        return std::string(kPageSizeOutOfRange);
    return {};
}

bool CPageSettings::Accept() {
    if (!Validate().empty())
        return false;
    double w = 0.0;
    double h = 0.0;
    const bool typed = TypedSize(w, h);
    if (typed) {
        const float pageWidth = static_cast<float>(w);
        const float pageHeight = static_cast<float>(h);
        // The page size has no undo step: a change is a change of the document, saved or discarded with it.
        if ((pageWidth != drawing.GetPageWidth() || pageHeight != drawing.GetPageHeight()) &&
            drawing.SetPageSize(pageWidth, pageHeight))
            view.SetModified();
    }
    view.SetShowPage(showPage);
    view.RepaintAll();
    if (typed && setAsDefault && preferences != nullptr) {
        // Hundredths of a document unit (thousandths of a millimetre), as new documents read them.
        preferences->WriteInt(CPqxDoc::kPageWidthName, RoundHalfAway(w * 100.0));
        preferences->WriteInt(CPqxDoc::kPageHeightName, RoundHalfAway(h * 100.0));
        preferences->WriteInt(CPqxView::kShowPageName, showPage ? 1 : 0);
    }
    return true;
}

} // namespace pq
