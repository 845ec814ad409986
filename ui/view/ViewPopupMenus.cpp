#include "ui/view/PqxView.h"

#include "platform/WindowHost.h"

namespace pq {

void CPqxView::TrackButtonMenu(int buttonCommand, std::vector<CMenuItem> items) {
    if (window == nullptr)
        return;
    // A command that cannot act is greyed here as in every other place it shows.
    for (CMenuItem& item : items) {
        if (item.id == 0)
            continue;
        bool enabled = true;
        bool checked = false;
        if (OnUpdateCommand(item.id, enabled, checked)) {
            item.enabled = enabled;
            item.checked = checked;
        }
    }
    const std::optional<CRect> button = window->GetCommandButtonRect(buttonCommand);
    const CRect client = GetClientRect();
    // The menu's bottom 2 pixels above the button, so its last item sits just over it.
    const CPoint at = button ? CPoint{button->left, button->top - 2} : CPoint{client.left, client.bottom};
    const int chosen = window->TrackPopupMenu(items, at, MenuAnchor::BottomLeft);
    if (chosen == 0)
        return;
    bool enabled = true;
    bool checked = false;
    if (OnUpdateCommand(chosen, enabled, checked) && !enabled)
        return;
    OnCommand(chosen);
}

} // namespace pq
