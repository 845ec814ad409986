#pragma once

#include <array>

namespace pq {

// Something that carries commands: the view, the document, the frame or the application. A target
// answers only for the commands it has a handler for.
class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;

    // Runs the command; false when this target has no handler for it.
    virtual bool OnCommand(int id) = 0;
    // Sets the command's enabled state and check mark (both arrive as enabled and unchecked); false
    // when this target has no handler for the command, which leaves the choice to the next target.
    virtual bool OnUpdateCommand(int id, bool& enabled, bool& checked) = 0;
};

// The order in which targets are asked.
enum class RouteLevel { View, Document, Frame, Application };

struct CCommandState {
    bool handled = false; // some target has a handler
    bool enabled = false;
    bool checked = false;

    bool operator==(const CCommandState&) const = default;
};

// Routes a command id to the first target that handles it: the view, then the document, the frame and
// the application. A command nobody handles is greyed, so a menu never offers what cannot run, and a
// greyed command does not run even when a key asks for it.
class CCommandRouter {
public:
    // Targets are observed, not owned; nullptr removes one (a view that has gone).
    void SetTarget(RouteLevel level, ICommandTarget* target);
    [[nodiscard]] ICommandTarget* GetTarget(RouteLevel level) const;

    [[nodiscard]] CCommandState Update(int id) const;
    // Runs the command when it is enabled; true when a handler ran.
    bool Execute(int id) const;

private:
    std::array<ICommandTarget*, 4> targets{};
};

} // namespace pq
