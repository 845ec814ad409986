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
            panel = new CTextPagePanel(book, sheet, [this] {
                if (fontPanel != nullptr)
                    fontPanel->RefreshAngle();
            });
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
}

} // namespace pq
