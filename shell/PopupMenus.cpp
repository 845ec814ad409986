#include "shell/PopupMenus.h"

#include "app/PopupPlacement.h"
#include "platform/ScreenMetrics.h"
#include "shell/WxIds.h"

#include <dlfcn.h>

namespace pq {

namespace {

// The toolkit's own size request of a menu widget. The GTK headers are not needed to build the editor,
// so the one function is looked up in the GTK library wx has already loaded; where it is not there (another
// toolkit), the height is estimated instead.
using PreferredHeightFunction = void (*)(GtkWidget*, int*, int*);

PreferredHeightFunction FindPreferredHeight() {
#ifdef __WXGTK__
    static const auto function =
        reinterpret_cast<PreferredHeightFunction>(dlsym(RTLD_DEFAULT, "gtk_widget_get_preferred_height"));
    return function;
#else
    return nullptr;
#endif
}

} // namespace

std::optional<int> MeasuredMenuHeight(wxMenu& menu) {
#ifdef __WXGTK__
    const PreferredHeightFunction preferredHeight = FindPreferredHeight();
    if (preferredHeight == nullptr || menu.m_menu == nullptr)
        return std::nullopt;
    int minimum = 0;
    int natural = 0;
    preferredHeight(menu.m_menu, &minimum, &natural);
    if (natural <= 0)
        return std::nullopt;
    return natural;
#else
    (void)menu;
    return std::nullopt;
#endif
}

int PopupMenuHeight(wxMenu& menu, int itemCount, int separatorCount) {
    if (const std::optional<int> measured = MeasuredMenuHeight(menu))
        return *measured;
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    const int fontHeight =
        PointsToPixels(static_cast<int>(font.GetFractionalPointSize() * 100 + 0.5), ScreenPixelsPerInch());
    return EstimateMenuHeight(itemCount, separatorCount, PopupItemHeight(fontHeight));
}

void AppendPopupItems(wxMenu& menu, std::span<const CMenuItem> items) {
    for (const CMenuItem& item : items) {
        if (item.id == 0) {
            menu.AppendSeparator();
            continue;
        }
        wxMenuItem* added = menu.Append(ToWxId(item.id), wxString::FromUTF8(item.text), wxString(),
                                        item.checked ? wxITEM_CHECK : wxITEM_NORMAL);
        added->Enable(item.enabled);
        if (item.checked)
            added->Check(true);
    }
}

wxPoint PopupPositionAboveButton(const wxWindow& window, const wxRect& button, int menuHeight) {
    const CPoint corner = PopupAboveButton(
        CRect{button.GetLeft(), button.GetTop(), button.GetLeft() + button.GetWidth(),
              button.GetTop() + button.GetHeight()},
        menuHeight);
    wxPoint at(corner.x, corner.y);
    // A button near the top of the screen opens its menu below itself instead.
    if (window.ClientToScreen(at).y < 0)
        at.y = button.GetTop() + button.GetHeight() + 2;
    return at;
}

} // namespace pq
