#include "shell/PropertySheetDialog.h"

#include "shell/PropertyPagePanels.h"

#include <wx/bookctrl.h>

namespace pq {

CPropertySheetDialog::CPropertySheetDialog(wxWindow* parent, CModalPropSheet& sheet) {
    Create(parent, wxID_ANY,
           wxString::FromUTF8(CModalPropSheet::kTitle.data(), CModalPropSheet::kTitle.size()));
    CreateButtons(wxOK | wxCANCEL);
    wxBookCtrlBase* book = GetBookCtrl();
    for (PropertyPage page : sheet.GetPages()) {
        wxWindow* panel = nullptr;
        switch (page) {
        case PropertyPage::Color:
            panel = new CColorPagePanel(book, *sheet.GetColorPage());
            break;
        case PropertyPage::Text:
            // The font page comes after the text page; the kind reaches it through the sheet.
            textPanel = new CTextPagePanel(book, sheet, [this] {
                if (fontPanel != nullptr)
                    fontPanel->RefreshAngle();
            });
            panel = textPanel;
            break;
        case PropertyPage::Font:
            fontPanel = new CFontPagePanel(book, *sheet.GetFontPage());
            panel = fontPanel;
            break;
        case PropertyPage::Size:
            panel = new CSizePagePanel(book, *sheet.GetSizePage());
            break;
        }
        const std::string_view title = PropertyPageTitle(page);
        book->AddPage(panel, wxString::FromUTF8(title.data(), title.size()));
    }
    LayoutDialog();
    Bind(wxEVT_CHAR_HOOK, &CPropertySheetDialog::OnCharHook, this);
    // A sheet that opens on its text page (a new text, selected texts) opens ready to type the text.
    if (textPanel != nullptr && !sheet.GetPages().empty() && sheet.GetPages().front() == PropertyPage::Text)
        Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
            event.Skip();
            CallAfter([this] { textPanel->FocusText(); });
        });
}

void CPropertySheetDialog::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && event.GetModifiers() == wxMOD_CONTROL &&
        EmulateButtonClickIfPresent(wxID_OK))
        return;
    event.Skip();
}

} // namespace pq
