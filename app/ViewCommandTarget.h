#pragma once

#include "app/CommandRouter.h"

namespace pq {

class CPqxView;

// Puts the view at the head of the routing table.
class CViewCommandTarget : public ICommandTarget {
public:
    explicit CViewCommandTarget(CPqxView& view) : view(view) {}

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override;

private:
    CPqxView& view;
};

} // namespace pq
