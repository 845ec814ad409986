#include "app/SettingsSheet.h"

#include "ui/view/PqxView.h"

namespace pq {

CSettingsSheet::CSettingsSheet(CPqxView* view, IPreferenceStore* preferences) {
    if (view == nullptr || view->GetDrawing() == nullptr)
        return;
    general.emplace(*view);
    page.emplace(*view, *view->GetDrawing(), preferences, general->GetUnit());
}

void CSettingsSheet::OnUnitChanged(int unit) {
    if (!HasPages())
        return;
    general->OnUnitChanged(unit);
    page->OnUnitChanged(general->GetUnit());
}

std::string CSettingsSheet::Validate() const {
    return page ? page->Validate() : std::string();
}

bool CSettingsSheet::Accept() {
    if (!HasPages())
        return true;
    if (!Validate().empty())
        return false;
    general->Accept();
    return page->Accept();
}

} // namespace pq
