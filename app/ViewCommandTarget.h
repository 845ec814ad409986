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

    // The view's commands that open a dialog (the object property sheet) are carried by a target of the
    // application, since the view cannot show dialogs; it is asked before the view. Observed, may be null.
    void SetDialogCommands(ICommandTarget* target) { dialogs = target; }

private:
    CPqxView& view;
    ICommandTarget* dialogs = nullptr;
};

} // namespace pq
