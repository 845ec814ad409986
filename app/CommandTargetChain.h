#pragma once

#include "app/CommandRouter.h"

#include <initializer_list>
#include <vector>

namespace pq {

// Several targets at one place of the routing table, asked in the order given: the first with a handler
// answers. Targets are observed, not owned; null ones are passed over.
class CCommandTargetChain : public ICommandTarget {
public:
    CCommandTargetChain() = default;
    CCommandTargetChain(std::initializer_list<ICommandTarget*> list) : targets(list) {}

    void Add(ICommandTarget* target) { targets.push_back(target); }

    bool OnCommand(int id) override {
        for (ICommandTarget* target : targets)
            if (target != nullptr && target->OnCommand(id))
                return true;
        return false;
    }
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override {
        for (ICommandTarget* target : targets)
            if (target != nullptr && target->OnUpdateCommand(id, enabled, checked))
                return true;
        return false;
    }

private:
    std::vector<ICommandTarget*> targets;
};

} // namespace pq
