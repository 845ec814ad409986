#pragma once

#include "app/GeneralSettings.h"
#include "app/PageSettings.h"

#include <optional>
#include <string>

namespace pq {

class CPqxView;
class IPreferenceStore;

// The settings sheet: the General and Page pages over the active view and its drawing. Without a view
// showing a drawing it has no pages. OK validates every page before any is applied, so a refused value
// leaves everything as it was; Cancel applies nothing (the unit, which the view takes as soon as it is
// chosen, excepted).
class CSettingsSheet {
public:
    static constexpr std::string_view kTitle = "Settings";
    static constexpr std::string_view kGeneralTitle = "General";
    static constexpr std::string_view kPageTitle = "Page";

    CSettingsSheet(CPqxView* view, IPreferenceStore* preferences);

    [[nodiscard]] bool HasPages() const { return general.has_value(); }
    [[nodiscard]] CGeneralSettings* General() { return general ? &*general : nullptr; }
    [[nodiscard]] CPageSettings* Page() { return page ? &*page : nullptr; }

    // The units combo changed: both pages show their lengths in the new unit.
    void OnUnitChanged(int unit);

    // Empty when OK may apply; else the message to show, the sheet staying open.
    [[nodiscard]] std::string Validate() const;
    // Applies the General page, then the Page page; false, applying nothing, when Validate refuses.
    bool Accept();

private:
    std::optional<CGeneralSettings> general;
    std::optional<CPageSettings> page;
};

} // namespace pq
