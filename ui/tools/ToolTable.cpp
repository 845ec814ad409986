#include "ui/tools/ToolTable.h"

#include "ui/tools/BezierTool.h"
#include "ui/tools/BoxTools.h"
#include "ui/tools/FreehandTool.h"
#include "ui/tools/NodeTool.h"
#include "ui/tools/PanTool.h"
#include "ui/tools/SelectTool.h"
#include "ui/tools/TextTool.h"
#include "ui/tools/ZoomTool.h"
#include "ui/view/ViewCommands.h"

#include <array>

namespace pq {

namespace {

template <class T> std::unique_ptr<CTool> Make() {
    return std::make_unique<T>();
}

// Kinds whose tools are still to be written have no maker yet.
constexpr std::array<CToolRow, 11> kRows{{
    {ToolKind::Select, cmd::kToolSelect, &Make<CSelectTool>},
    {ToolKind::Zoom, cmd::kToolZoomMenu, &Make<CZoomTool>},
    {ToolKind::Pan, cmd::kToolPan, &Make<CPanTool>},
    {ToolKind::Text, cmd::kToolText, &Make<CTextTool>},
    {ToolKind::Freehand, cmd::kToolFreehand, &Make<CFreehandTool>},
    {ToolKind::Bezier, cmd::kToolBezier, &Make<CBezierTool>},
    {ToolKind::Line, cmd::kToolLine, &Make<CLineTool>},
    {ToolKind::Rectangle, cmd::kToolRectangle, &Make<CRectangleTool>},
    {ToolKind::Ellipse, cmd::kToolEllipse, &Make<CEllipseTool>},
    {ToolKind::Box14, cmd::kToolBox14, &Make<CBoxTool14>},
    {ToolKind::Node, cmd::kToolNode, &Make<CNodeTool>},
}};

} // namespace

std::span<const CToolRow> ToolTable() {
    return kRows;
}

const CToolRow* FindToolRow(int kind) {
    for (const CToolRow& row : kRows)
        if (static_cast<int>(row.kind) == kind)
            return &row;
    return nullptr;
}

const CToolRow* FindToolRowByCommand(int commandId) {
    if (commandId == 0)
        return nullptr;
    for (const CToolRow& row : kRows)
        if (row.commandId == commandId)
            return &row;
    return nullptr;
}

} // namespace pq
