#include "ui/view/PqxView.h"

#include "document/PqxDoc.h"
#include "document/PreferenceStore.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/FontFamilies.h"
#include "platform/WindowHost.h"
#include "render/PageRenderer.h"
#include "ui/tools/ToolTable.h"
#include "ui/view/ViewCommands.h"

#include <algorithm>

namespace pq {

CPqxView::CPqxView(IWindowHost* host, IPreferenceStore* store) : window(host), preferences(store) {
    for (const CToolRow& row : ToolTable()) {
        if (row.create == nullptr)
            continue;
        std::unique_ptr<CTool>& slot = tools[static_cast<std::size_t>(row.kind)];
        slot = row.create();
        slot->SetView(this);
    }
    // New text uses Tahoma where it is installed, else the first family the system lists (which puts
    // the sans-serif face first when Tahoma is missing).
    const std::vector<std::u16string>& families = EnumerateFontFamilies();
    if (!families.empty() && std::find(families.begin(), families.end(), defaults.fontFace) == families.end())
        defaults.fontFace = families.front();

    ReadPreferences();
    currentTool = GetTool(ToolKind::Pan);
    if (currentTool != nullptr)
        currentTool->Activate();
    undoRecorder.Attach(nullptr, &selection, this);
}

CPqxView::~CPqxView() {
    WritePreferences();
    // A shape in progress is dropped, not made: the question whether to save has been answered.
    if (currentTool != nullptr)
        currentTool->Reset();
    // Tools end their drags and timers while the view they call back into is still whole.
    if (currentTool != nullptr)
        currentTool->Deactivate();
    for (auto& tool : tools)
        tool.reset();
}

CDrawing* CPqxView::GetDrawing() const {
    return document != nullptr ? &document->GetDrawing() : nullptr;
}

CRect CPqxView::GetClientRect() const {
    return window != nullptr ? window->GetClientRect() : CRect{};
}

void CPqxView::InvalidateAll() {
    ForgetDrawnPage();
    pendingEdit.reset();
    if (window != nullptr)
        window->Invalidate();
}

void CPqxView::InvalidateView() {
    if (window != nullptr)
        window->Invalidate();
}

void CPqxView::SetModified() {
    if (document != nullptr)
        document->SetModifiedFlag(true);
}

// Document life cycle.

void CPqxView::OnUpdate() {
    for (auto& tool : tools)
        if (tool != nullptr)
            tool->SetView(this);
    ResetNodeTool();
    // A shape in progress belongs to the drawing that was replaced: leaving the tool must not make it.
    if (currentTool != nullptr)
        currentTool->Reset();
    // The drawing was replaced: nothing drawn of the old one may show.
    ForgetDrawnPage();
    if (document == nullptr)
        return;
    undoRecorder.Attach(&document->GetDrawing(), &selection, this);
    // The Scrollbars command inverts the flag back and applies the ranges.
    showScrollBars = !showScrollBars;
    if (window != nullptr)
        window->PostCommand(cmd::kScrollBars);
    showPage = true;
    if (preferences != nullptr)
        showPage = preferences->ReadInt(kShowPageName, 1) != 0;
    SetTool(ToolKind::Pan);
    PostFirstFit();
    if (window != nullptr)
        window->RefreshPageIndicator(currentPage, document->GetDrawing().PageCount());
}

void CPqxView::ResetForNewDocument() {
    ForgetDrawnPage();
    // A shape in progress belongs to the drawing that was replaced.
    if (currentTool != nullptr)
        currentTool->Reset();
    if (CTool* select = GetTool(ToolKind::Select))
        select->Reset();
    ResetNodeTool();
    selection.clear();
    currentPage = 0;
    initialised = false;
    undoRecorder.Attach(GetDrawing(), &selection, this);
    SetTool(ToolKind::Pan);
    PostFirstFit();
}

void CPqxView::PostFirstFit() {
    if (window == nullptr)
        return;
    const CDrawing* drawing = GetDrawing();
    const bool empty = drawing == nullptr || drawing->Count() == 0;
    window->PostCommand(showPage && empty ? cmd::kFitPage : cmd::kFitDrawing);
}

// Events.

void CPqxView::OnLButtonDown(unsigned flags, CPoint point) {
    if (colorPickMode != 0) {
        PickColor(point);
        return;
    }
    if (currentTool != nullptr)
        currentTool->OnLButtonDown(flags, point);
}

void CPqxView::OnMouseMove(unsigned flags, CPoint point) {
    if (currentTool != nullptr)
        currentTool->OnMouseMove(flags, point);
}

void CPqxView::OnLButtonUp(unsigned flags, CPoint point) {
    if (currentTool != nullptr)
        currentTool->OnLButtonUp(flags, point);
}

void CPqxView::OnLButtonDblClk(unsigned flags, CPoint point) {
    if (currentTool != nullptr)
        currentTool->OnLButtonDblClk(flags, point);
}

void CPqxView::OnTimer(int timerId) {
    if (currentTool != nullptr)
        currentTool->OnTimer(timerId);
}

// Tools.

CTool* CPqxView::GetTool(ToolKind kind) const {
    const auto index = static_cast<std::size_t>(kind);
    return index < tools.size() ? tools[index].get() : nullptr;
}

bool CPqxView::IsToolCurrent(ToolKind kind) const {
    return currentTool != nullptr && currentTool->GetKind() == kind;
}

void CPqxView::SetTool(int kind) {
    CTool* next = FindToolRow(kind) != nullptr ? GetTool(static_cast<ToolKind>(kind)) : nullptr;
    if (next == nullptr)
        next = GetTool(ToolKind::Pan);
    if (next == nullptr || next == currentTool)
        return;
    if (currentTool != nullptr) {
        previousTool = currentTool->GetKind();
        currentTool->Deactivate();
        const CToolRow* old = FindToolRow(static_cast<int>(currentTool->GetKind()));
        if (window != nullptr && old != nullptr && old->commandId != 0)
            window->SetToolButtonState(old->commandId, false);
    }
    currentTool = next;
    currentTool->Activate();

    const ToolKind newKind = currentTool->GetKind();
    if (newKind != ToolKind::Node)
        ResetNodeTool();
    if (newKind != ToolKind::Select && newKind != ToolKind::Node) {
        selection.clear();
        if (CTool* select = GetTool(ToolKind::Select))
            select->Reset();
    }
    if (window != nullptr) {
        const CToolRow* row = FindToolRow(static_cast<int>(newKind));
        if (row != nullptr && row->commandId != 0)
            window->SetToolButtonState(row->commandId, true);
        window->SetCursor(currentTool->GetCursor());
    }
}

void CPqxView::ResetInteraction() {
    selection.clear();
    if (CTool* select = GetTool(ToolKind::Select))
        select->Reset();
    ResetNodeTool();
}

CPoint CPqxView::SnapPoint(CPoint point) const {
    if (snapSpacing == 0.0f)
        return point;
    const double spacing = GuardDivisor(snapSpacing);
    const auto snap = [spacing](float v) {
        return static_cast<float>(RoundHalfAway(static_cast<double>(v) / spacing) * spacing);
    };
    const CPointF doc = mapping.DeviceToDoc(point);
    return mapping.DocToDevice(CPointF{snap(doc.x), snap(doc.y)});
}

// Undo hooks: the select and node tools keep their own state, reached through the tool interface.

int CPqxView::GetNodeToolObject() const {
    const CTool* node = GetTool(ToolKind::Node);
    return node != nullptr && node == currentTool ? node->GetEditedObject() : -1;
}

void CPqxView::ResetNodeTool() {
    if (CTool* node = GetTool(ToolKind::Node))
        node->Reset();
}

bool CPqxView::EditWithNodeTool(int index) {
    CTool* node = GetTool(ToolKind::Node);
    return node != nullptr && node == currentTool && node->EditObject(index);
}

bool CPqxView::IsSelectToolActive() const {
    return IsToolCurrent(ToolKind::Select);
}

void CPqxView::LeavePendingSelection() {
    if (CTool* select = GetTool(ToolKind::Select))
        select->LeavePendingSelection();
}

void CPqxView::ResetSelectTool() {
    if (CTool* select = GetTool(ToolKind::Select))
        select->SelectionChanged();
}

void CPqxView::RepaintAll() {
    InvalidateAll();
}

void CPqxView::AddReach(std::vector<CRect>& areas, int index) const {
    const CDrawing* drawing = GetDrawing();
    const CGraphicObject* object = drawing != nullptr ? drawing->GetAt(index) : nullptr;
    if (object != nullptr && object->page == currentPage && !object->bounds.IsEmpty())
        areas.push_back(ObjectReach(*object, mapping));
}

void CPqxView::BeginPendingEdit(uint64_t since, std::span<const int> before, std::vector<int> after) {
    CPendingEdit edit;
    edit.since = since;
    edit.changeCount = undoRecorder.GetChangeCount();
    if (pendingEdit && pendingEdit->changeCount == since) {
        // The step before this one has not been painted yet (undo held down): the kept picture lacks both,
        // and both are drawn. Its objects after it are where they are now, before this step changes them.
        edit.since = pendingEdit->since;
        edit.areas = std::move(pendingEdit->areas);
        for (int index : pendingEdit->objectsAfter)
            AddReach(edit.areas, index);
    }
    for (int index : before)
        AddReach(edit.areas, index);
    edit.objectsAfter = std::move(after);
    pendingEdit = std::move(edit);
}

void CPqxView::StepRecorded(const CRecordedStep& step) {
    std::vector<int> after;
    if (step.inPlace)
        after.assign(step.objects.begin(), step.objects.end());
    for (int i = 0; i < step.insertedCount; ++i)
        after.push_back(step.insertedAt + i);
    // The step has just been pushed: the picture without it is one change back.
    BeginPendingEdit(undoRecorder.GetChangeCount() - 1, step.objects, std::move(after));
}

void CPqxView::StepReplaying(const CReplayedStep& step) {
    CReplayTouched touched;
    if (const CDrawing* drawing = GetDrawing()) {
        for (int index : step.before)
            if (const CGraphicObject* object = drawing->GetAt(index))
                touched.pagesBefore.push_back(object->page);
    }
    touched.after.assign(step.after.begin(), step.after.end());
    replayTouched = std::move(touched);
    BeginPendingEdit(step.since, step.before, std::vector<int>(step.after.begin(), step.after.end()));
}

void CPqxView::RepaintEdited() {
    if (!pendingEdit)
        ForgetDrawnPage();
    if (window != nullptr)
        window->Invalidate();
}

void CPqxView::GoToLastPage() {
    if (const CDrawing* drawing = GetDrawing())
        SetCurrentPage(drawing->PageCount() - 1);
}

void CPqxView::KeepCurrentPageInRange() {
    if (const CDrawing* drawing = GetDrawing())
        SetCurrentPage(std::min(currentPage, drawing->PageCount() - 1));
}

} // namespace pq
