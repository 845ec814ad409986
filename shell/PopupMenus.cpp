#include "shell/PopupMenus.h"

#include "app/PopupPlacement.h"
#include "platform/ScreenMetrics.h"
#include "shell/WxIds.h"

#include <dlfcn.h>

namespace pq {

namespace {

// The toolkit's own size request of a menu widget. The GTK headers are not needed to build the editor,
// so the two functions are looked up in the GTK library wx has already loaded; where they are not there
// (another toolkit), the height is estimated instead.
using WidgetFunction = void (*)(GtkWidget*);
using PreferredHeightFunction = void (*)(GtkWidget*, int*, int*);

template <typename Function> Function FindToolkitFunction([[maybe_unused]] const char* name) {
#ifdef __WXGTK__
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
#else
    return nullptr;
#endif
}

} // namespace

std::optional<int> MeasuredMenuHeight([[maybe_unused]] wxMenu& menu) {
#ifdef __WXGTK__
    static const auto show = FindToolkitFunction<WidgetFunction>("gtk_widget_show");
    static const auto preferredHeight =
        FindToolkitFunction<PreferredHeightFunction>("gtk_widget_get_preferred_height");
    if (show == nullptr || preferredHeight == nullptr || menu.m_menu == nullptr)
        return std::nullopt;
    // A hidden widget asks for no room. Showing the menu inside its pop-up window, which stays unmapped
    // until the menu pops up, puts nothing on the screen.
    show(menu.m_menu);
    int minimum = 0;
    int natural = 0;
    preferredHeight(menu.m_menu, &minimum, &natural);
    if (natural <= 0)
        return std::nullopt;
    return natural;
#else
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
    const CPoint corner =
        PopupAboveButton(CRect{button.GetLeft(), button.GetTop(), button.GetLeft() + button.GetWidth(),
                               button.GetTop() + button.GetHeight()},
                         menuHeight);
    wxPoint at(corner.x, corner.y);
    // A button near the top of the screen opens its menu below itself instead.
    if (window.ClientToScreen(at).y < 0)
        at.y = button.GetTop() + button.GetHeight() + 2;
    return at;
}

} // namespace pq
