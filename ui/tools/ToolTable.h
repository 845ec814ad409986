#pragma once

#include "ui/tools/Tool.h"

#include <memory>
#include <span>

namespace pq {

// One row per tool kind: the command that selects it (the command-bar button or menu item that shows it
// checked) and how to make it. A kind whose tool is not built has no maker; asking the view for it selects
// the Pan tool. Adding a tool means filling in its row, nothing in the view.
struct CToolRow {
    ToolKind kind;
    int commandId; // 0 for a kind no command selects
    std::unique_ptr<CTool> (*create)();
};

// Every tool kind, in kind order.
[[nodiscard]] std::span<const CToolRow> ToolTable();
// The row of a kind, or nullptr for a number that is no tool kind.
[[nodiscard]] const CToolRow* FindToolRow(int kind);
// The row whose command selects it, or nullptr.
[[nodiscard]] const CToolRow* FindToolRowByCommand(int commandId);

} // namespace pq
