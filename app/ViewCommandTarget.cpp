#include "app/ViewCommandTarget.h"

#include "ui/view/PqxView.h"

namespace pq {

bool CViewCommandTarget::OnCommand(int id) {
    if (dialogs != nullptr && dialogs->OnCommand(id))
        return true;
    return view.OnCommand(id);
}

bool CViewCommandTarget::OnUpdateCommand(int id, bool& enabled, bool& checked) {
    if (dialogs != nullptr && dialogs->OnUpdateCommand(id, enabled, checked))
        return true;
    return view.OnUpdateCommand(id, enabled, checked);
}

} // namespace pq
