#include "shell/StatusBar.h"

#include "document/PqxDoc.h"
#include "model/Drawing.h"
#include "ui/view/PqxView.h"

namespace pq {

namespace {

// The longest texts the fixed fields usually show; the hint takes what is left.
constexpr const char* kWidestPosition = "-888.88, -888.88 mm/10";
constexpr const char* kWidestPage = "page 888 of 888";
// Room for the field's border, and for the size grip drawn in the last field.
constexpr int kFieldPadding = 16;
constexpr int kGripWidth = 20;

} // namespace

CEditorStatusBar::CEditorStatusBar(wxWindow* frame) : wxStatusBar(frame, wxID_ANY) {
    const auto width = [this](std::string_view text) {
        return GetTextExtent(wxString::FromUTF8(text.data(), text.size())).GetWidth() + FromDIP(kFieldPadding);
    };
    const int widths[kStatusFieldCount] = {-1, width(kWidestPosition), width(kWidestZoomText),
                                           width(kWidestPage) + FromDIP(kGripWidth)};
    SetFieldsCount(kStatusFieldCount, widths);
}

void CEditorStatusBar::SetView(const CPqxView* shownView) {
    view = shownView;
    ShowViewState();
}

void CEditorStatusBar::OnPointer(std::optional<CPoint> point) {
    pointer = point;
    ShowViewState();
}

void CEditorStatusBar::ShowViewState() {
    if (view == nullptr)
        return;
    const CViewMapping& mapping = view->GetMapping();
    const CDrawing* drawing = view->GetDrawing();
    const float pageWidth = drawing != nullptr ? drawing->GetPageWidth() : 0.0f;
    const float pageHeight = drawing != nullptr ? drawing->GetPageHeight() : 0.0f;
    texts.SetPointer(pointer ? std::optional<CPointF>(mapping.DeviceToDoc(*pointer)) : std::nullopt,
                     pageWidth, pageHeight, view->GetMeasurementUnit());
    texts.SetZoom(mapping.GetScale(), CViewMapping::PixelsPerUnit());
    if (drawing != nullptr)
        texts.SetPage(view->GetCurrentPage(), drawing->PageCount());
    if (const CTool* tool = view->GetCurrentTool())
        texts.SetTool(tool->GetKind());
    ShowChangedFields();
}

void CEditorStatusBar::OnDocumentOpened() {
    ShowViewState();
    if (const CDrawing* drawing = view != nullptr ? view->GetDrawing() : nullptr)
        texts.ShowNotice(MultiPageNotice(drawing->PageCount()));
    ShowChangedFields();
}

void CEditorStatusBar::ShowChangedFields() {
    for (int field = 0; field < kStatusFieldCount; ++field) {
        const std::string& text = texts.Text(static_cast<StatusField>(field));
        if (shown[static_cast<std::size_t>(field)] == text)
            continue;
        shown[static_cast<std::size_t>(field)] = text;
        SetStatusText(wxString::FromUTF8(text), field);
    }
}

} // namespace pq
