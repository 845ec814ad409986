#pragma once

#include "app/StatusBarText.h"
#include "geometry/Rect.h"

#include <array>
#include <optional>
#include <string>

namespace pq {

class CPqxView;

// The frame's status bar: the tool's hint (or a notice), the pointer's place on the page in the chosen
// unit, the zoom and "page 2 of 6". The texts come from CStatusBarText; this only shows them.
class CEditorStatusBar : public wxStatusBar {
public:
    explicit CEditorStatusBar(wxWindow* frame);

    // The view whose state is shown; nullptr detaches it (before the view is destroyed).
    void SetView(const CPqxView* shownView);
    // The pointer moved over the canvas (client pixels), or left it.
    void OnPointer(std::optional<CPoint> point);
    // Zoom, page, tool, unit and the pointer's place as the view has them now.
    void ShowViewState();
    // After a document was opened or started: a document of several pages says so.
    void OnDocumentOpened();

private:
    void ShowChangedFields();

    const CPqxView* view = nullptr;
    CStatusBarText texts;
    std::array<std::string, kStatusFieldCount> shown;
    std::optional<CPoint> pointer;
};

} // namespace pq
