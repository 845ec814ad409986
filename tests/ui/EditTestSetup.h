#pragma once

// A view on an opened document for the edit commands: selection by indices with the select tool current,
// and a command's state as the menus see it.

#include "ViewTestSetup.h"

#include <gtest/gtest.h>

#include <vector>

namespace pq::test {

struct CEditSetup : CViewSetup {
    // Opens the document, fits it into the window and starts unmodified.
    void Start() {
        Open();
        Paint();
        doc.SetModifiedFlag(false);
    }
    // Makes the select tool current and selects the listed objects.
    void Select(std::vector<int> indices) {
        view.SetTool(ToolKind::Select);
        view.GetSelection() = std::move(indices);
        view.ResetSelectTool();
    }
    CRectF Bounds(int index) { return Drawing().GetAt(index)->bounds; }
};

} // namespace pq::test
