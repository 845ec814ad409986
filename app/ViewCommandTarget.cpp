#include "app/ViewCommandTarget.h"

#include "ui/view/PqxView.h"

namespace pq {

bool CViewCommandTarget::OnCommand(int id) {
    return view.OnCommand(id);
}

bool CViewCommandTarget::OnUpdateCommand(int id, bool& enabled, bool& checked) {
    return view.OnUpdateCommand(id, enabled, checked);
}

} // namespace pq
