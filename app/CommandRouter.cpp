#include "app/CommandRouter.h"

namespace pq {

void CCommandRouter::SetTarget(RouteLevel level, ICommandTarget* target) {
    targets[static_cast<std::size_t>(level)] = target;
}

ICommandTarget* CCommandRouter::GetTarget(RouteLevel level) const {
    return targets[static_cast<std::size_t>(level)];
}

CCommandState CCommandRouter::Update(int id) const {
    for (ICommandTarget* target : targets) {
        if (target == nullptr)
            continue;
        bool enabled = true;
        bool checked = false;
        if (target->OnUpdateCommand(id, enabled, checked))
            return {true, enabled, checked};
    }
    return {};
}

bool CCommandRouter::Execute(int id) const {
    if (!Update(id).enabled)
        return false;
    for (ICommandTarget* target : targets) {
        if (target != nullptr && target->OnCommand(id))
            return true;
    }
    return false;
}

} // namespace pq
