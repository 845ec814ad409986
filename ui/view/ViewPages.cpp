#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "platform/WindowHost.h"
#include "ui/view/ViewCommands.h"

#include <algorithm>
#include <vector>

namespace pq {

void CPqxView::AfterPageChange() {
    ResetInteraction();
    InvalidateAll();
    if (window != nullptr) {
        const CDrawing* drawing = GetDrawing();
        window->RefreshPageIndicator(currentPage, drawing != nullptr ? drawing->PageCount() : 1);
    }
}

void CPqxView::SetCurrentPage(int page) {
    const CDrawing* drawing = GetDrawing();
    const int last = drawing != nullptr ? drawing->PageCount() - 1 : 0;
    page = std::clamp(page, 0, std::max(last, 0));
    if (page == currentPage) {
        // The page stays, but the count may have changed under it (undo of a page deletion).
        if (window != nullptr)
            window->RefreshPageIndicator(currentPage, last + 1);
        return;
    }
    currentPage = page;
    AfterPageChange();
}

// Page edits record their undo step first, then change the pages. They mark the document modified so that
// closing the window offers to save the new page layout.
void CPqxView::AddPage() {
    CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return;
    undoRecorder.RecordAddPages(1);
    drawing->AppendPages(1);
    currentPage = drawing->PageCount() - 1;
    SetModified();
    AfterPageChange();
}

void CPqxView::InsertPage(bool after) {
    CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return;
    const int first = after ? currentPage + 1 : currentPage;
    undoRecorder.RecordInsertPages(first, 1);
    if (!drawing->InsertPages(first, 1))
        return;
    currentPage = first;
    SetModified();
    AfterPageChange();
}

void CPqxView::DeletePage() {
    CDrawing* drawing = GetDrawing();
    if (drawing == nullptr || drawing->PageCount() < 2)
        return;
    undoRecorder.RecordDeletePages(currentPage, 1);
    if (!drawing->DeletePages(currentPage, 1))
        return;
    currentPage = std::min(currentPage, drawing->PageCount() - 1);
    SetModified();
    AfterPageChange();
}

bool CPqxView::OnPageCommand(int id) {
    const CDrawing* drawing = GetDrawing();
    const int last = drawing != nullptr ? drawing->PageCount() - 1 : 0;
    switch (id) {
    case cmd::kFirstPage:
        SetCurrentPage(0);
        return true;
    case cmd::kPreviousPage:
        SetCurrentPage(currentPage > 0 ? currentPage - 1 : currentPage);
        return true;
    case cmd::kNextPage:
        SetCurrentPage(currentPage < last ? currentPage + 1 : currentPage);
        return true;
    case cmd::kLastPage:
        SetCurrentPage(last);
        return true;
    case cmd::kAddPage:
        AddPage();
        return true;
    case cmd::kInsertPageBefore:
        InsertPage(false);
        return true;
    case cmd::kInsertPageAfter:
        InsertPage(true);
        return true;
    case cmd::kDeletePage:
        DeletePage();
        return true;
    case cmd::kPageMenu:
        PopupPageMenu();
        return true;
    default:
        return false;
    }
}

void CPqxView::PopupPageMenu() {
    if (window == nullptr)
        return;
    std::vector<CMenuItem> items{{cmd::kAddPage, "Add Page"},
                                 {0, ""},
                                 {cmd::kInsertPageBefore, "Insert Page Before"},
                                 {cmd::kInsertPageAfter, "Insert Page After"},
                                 {0, ""},
                                 {cmd::kDeletePage, "Delete Page"}};
    TrackButtonMenu(cmd::kPageMenu, items);
}

} // namespace pq
