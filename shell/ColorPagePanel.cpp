#include "shell/PropertyPagePanels.h"

#include <wx/dcbuffer.h>
#include <wx/tglbtn.h>

namespace pq {

namespace {

constexpr const char* kModelNames[] = {"RGB Color Model", "HLS Color Model"};
constexpr const char* kRgbLabels[] = {"Red:", "Green:", "Blue:"};
constexpr const char* kHlsLabels[] = {"Hue:", "Lum:", "Sat:"};
constexpr const char* kWidthNames[] = {"Fine", "Normal", "Bold", "Thick"};

wxColour ColourOf(uint32_t word) {
    return wxColour(static_cast<unsigned char>(RedOf(word)), static_cast<unsigned char>(GreenOf(word)),
                    static_cast<unsigned char>(BlueOf(word)));
}

// A swatch: its colour; white crossed by one red diagonal for none; white with a grey cross for values
// that differ among the selected objects.
void DrawSwatchFace(wxDC& dc, const wxRect& r, CColorPage::SwatchLook look, std::optional<uint32_t> color) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(look == CColorPage::SwatchLook::Color ? wxBrush(ColourOf(color.value_or(0)))
                                                      : *wxWHITE_BRUSH);
    dc.DrawRectangle(r);
    if (look == CColorPage::SwatchLook::None) {
        dc.SetPen(wxPen(wxColour(200, 0, 0), 2));
        dc.DrawLine(r.GetLeft() + 1, r.GetBottom() - 1, r.GetRight() - 1, r.GetTop() + 1);
    } else if (look == CColorPage::SwatchLook::Mixed) {
        dc.SetPen(wxPen(wxColour(110, 110, 110), 1));
        dc.DrawLine(r.GetLeft() + 2, r.GetTop() + 2, r.GetRight() - 1, r.GetBottom() - 1);
        dc.DrawLine(r.GetLeft() + 2, r.GetBottom() - 2, r.GetRight() - 1, r.GetTop() + 1);
    }
}

// The white ground of the swatches and the palette, framed like an entry field.
void DrawCard(wxDC& dc, const wxSize& size) {
    dc.SetPen(wxPen(wxColour(190, 190, 190), 1));
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(wxPoint(0, 0), size);
}

} // namespace

// The two overlapping swatch buttons: the fill (a filled square) and the line (a square frame drawn in
// the line's colour). The current target lies on top with a dark frame; a click on either makes it the
// target.
class CColorPagePanel::CSwatchPair : public wxWindow {
public:
    CSwatchPair(wxWindow* parent, CColorPage& page, std::function<void()> changed)
        : wxWindow(parent, wxID_ANY, wxDefaultPosition, parent->FromDIP(wxSize(96, 86))), page(page),
          changed(std::move(changed)) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        SetToolTip("Fill and line: click one to choose which the palette and numbers change");
        Bind(wxEVT_PAINT, &CSwatchPair::OnPaint, this);
        Bind(wxEVT_LEFT_DOWN, &CSwatchPair::OnClick, this);
    }

private:
    [[nodiscard]] wxRect FillRect() const {
        const int at = page.IsLinePartShown() ? 10 : 20;
        return {FromDIP(wxPoint(at, at)), FromDIP(wxSize(48, 48))};
    }
    [[nodiscard]] wxRect LineRect() const { return {FromDIP(wxPoint(38, 28)), FromDIP(wxSize(48, 48))}; }

    void DrawFill(wxDC& dc) const {
        const wxRect r = FillRect();
        DrawSwatchFace(dc, r, page.GetSwatchLook(CColorPage::Target::Fill),
                       page.GetColor(CColorPage::Target::Fill));
        Frame(dc, r, page.GetTarget() == CColorPage::Target::Fill);
    }
    void DrawLine(wxDC& dc) const {
        const wxRect r = LineRect();
        const CColorPage::SwatchLook look = page.GetSwatchLook(CColorPage::Target::Line);
        DrawSwatchFace(dc, r, look, page.GetColor(CColorPage::Target::Line));
        if (look == CColorPage::SwatchLook::Color) {
            // A frame in the line's colour around a white middle reads as an outline, not a fill.
            const int band = FromDIP(10);
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(*wxWHITE_BRUSH);
            dc.DrawRectangle(wxRect(r).Deflate(band));
            dc.SetPen(wxPen(wxColour(160, 160, 160), 1));
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(wxRect(r).Deflate(band));
        }
        Frame(dc, r, page.GetTarget() == CColorPage::Target::Line);
    }
    void Frame(wxDC& dc, const wxRect& r, bool current) const {
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.SetPen(current ? wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT), FromDIP(3))
                          : wxPen(wxColour(90, 90, 90), 1));
        dc.DrawRectangle(current ? wxRect(r).Inflate(1) : r);
    }

    void OnPaint(wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        DrawCard(dc, GetClientSize());
        if (!page.IsLinePartShown()) {
            DrawFill(dc);
            return;
        }
        // The target on top.
        if (page.GetTarget() == CColorPage::Target::Fill) {
            DrawLine(dc);
            DrawFill(dc);
        } else {
            DrawFill(dc);
            DrawLine(dc);
        }
    }

    void OnClick(wxMouseEvent& event) {
        const wxPoint at = event.GetPosition();
        const bool onFill = FillRect().Contains(at);
        const bool onLine = page.IsLinePartShown() && LineRect().Contains(at);
        if (onFill && onLine)
            page.SetTarget(page.GetTarget()); // the one on top keeps the click
        else if (onFill)
            page.SetTarget(CColorPage::Target::Fill);
        else if (onLine)
            page.SetTarget(CColorPage::Target::Line);
        else
            return;
        changed();
    }

    CColorPage& page;
    std::function<void()> changed;
};

// The 10 by 4 palette. Each cell is its grid rectangle less a gap at its right and bottom; a click counts
// inside the cell shrunk by one pixel.
class CColorPagePanel::CPaletteGrid : public wxWindow {
public:
    CPaletteGrid(wxWindow* parent, CColorPage& page, std::function<void()> changed)
        : wxWindow(parent, wxID_ANY, wxDefaultPosition,
                   parent->FromDIP(wxSize(kPaletteColumns * kCell + kGap + 2 * kMargin,
                                          kPaletteRows * kCell + kGap + 2 * kMargin))),
          page(page), changed(std::move(changed)) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &CPaletteGrid::OnPaint, this);
        Bind(wxEVT_LEFT_DOWN, &CPaletteGrid::OnClick, this);
    }

private:
    static constexpr int kCell = 30;
    static constexpr int kGap = 5;
    static constexpr int kMargin = 4;

    [[nodiscard]] wxRect CellRect(int index) const {
        const int cell = FromDIP(kCell);
        const int origin = FromDIP(kMargin + kGap);
        return {origin + (index % kPaletteColumns) * cell, origin + (index / kPaletteColumns) * cell,
                cell - FromDIP(kGap), cell - FromDIP(kGap)};
    }

    void OnPaint(wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        DrawCard(dc, GetClientSize());
        const CPalette& palette = page.GetShownPalette();
        dc.SetPen(wxPen(wxColour(120, 120, 120), 1));
        for (int i = 0; i < kPaletteSize; ++i) {
            dc.SetBrush(wxBrush(ColourOf(palette[static_cast<std::size_t>(i)])));
            dc.DrawRectangle(CellRect(i));
        }
    }

    void OnClick(wxMouseEvent& event) {
        for (int i = 0; i < kPaletteSize; ++i) {
            if (CellRect(i).Deflate(1).Contains(event.GetPosition())) {
                page.TapCell(i);
                changed();
                return;
            }
        }
    }

    CColorPage& page;
    std::function<void()> changed;
};

CColorPagePanel::CColorPagePanel(wxWindow* parent, CColorPage& page) : wxPanel(parent, wxID_ANY), page(page) {
    auto changed = [this] { ShowPage(); };
    swatches = new CSwatchPair(this, page, changed);
    grid = new CPaletteGrid(this, page, changed);

    defaultRadio = new wxRadioButton(this, wxID_ANY, "Default", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    customRadio = new wxRadioButton(this, wxID_ANY, "Custom");
    setButton = new wxToggleButton(this, wxID_ANY, "Set");
    setButton->SetToolTip("Store the current colour into the palette cell you click next");
    noneButton = new wxButton(this, wxID_ANY, "None");
    defaultRadio->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) {
        this->page.ShowCustom(false);
        ShowPage();
    });
    customRadio->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) {
        this->page.ShowCustom(true);
        ShowPage();
    });
    setButton->Bind(wxEVT_TOGGLEBUTTON, [this](wxCommandEvent&) {
        this->page.SetSetMode(setButton->GetValue());
        ShowPage();
    });
    noneButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        this->page.SetNone();
        ShowPage();
    });

    modelChoice = new wxChoice(this, wxID_ANY);
    for (const char* name : kModelNames)
        modelChoice->Append(name);
    modelChoice->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
        this->page.SetModel(modelChoice->GetSelection() == 1 ? ColorModel::Hls : ColorModel::Rgb);
        ShowPage();
    });
    auto* numberRow = new wxFlexGridSizer(2, 3, FromDIP(2), FromDIP(8));
    for (int i = 0; i < 3; ++i) {
        numberLabels[i] = new wxStaticText(this, wxID_ANY, kRgbLabels[i]);
        numberRow->Add(numberLabels[i], 0, wxALIGN_BOTTOM);
    }
    for (int i = 0; i < 3; ++i) {
        numbers[i] = new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                    wxSP_ARROW_KEYS, 0, 255, 0);
        numbers[i]->Bind(wxEVT_TEXT,
                         [this, i](wxCommandEvent& event) { OnNumberText(i, event.GetString()); });
        numbers[i]->Bind(wxEVT_SPINCTRL, [this, i](wxSpinEvent& event) {
            OnNumberText(i, wxString::Format("%d", event.GetPosition()));
        });
        numberRow->Add(numbers[i], 0, wxEXPAND);
    }

    widthLabel = new wxStaticText(this, wxID_ANY, "Line:");
    widthChoice = new wxChoice(this, wxID_ANY);
    for (const char* name : kWidthNames)
        widthChoice->Append(name);
    widthChoice->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
        this->page.ChooseWidth(widthChoice->GetSelection());
        ShowPage();
    });

    // Swatches and the palette controls on top, the grid, then the numbers and the line width.
    auto* paletteButtons = new wxBoxSizer(wxHORIZONTAL);
    paletteButtons->Add(defaultRadio, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(8));
    paletteButtons->Add(customRadio, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(16));
    paletteButtons->Add(setButton, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(4));
    paletteButtons->Add(noneButton, 0, wxALIGN_CENTER_VERTICAL);
    auto* widthRow = new wxBoxSizer(wxHORIZONTAL);
    widthRow->Add(widthLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(6));
    widthRow->Add(widthChoice, 0, wxALIGN_CENTER_VERTICAL);
    auto* right = new wxBoxSizer(wxVERTICAL);
    right->Add(new wxStaticText(this, wxID_ANY, "Palette"), 0, wxBOTTOM, FromDIP(4));
    right->Add(paletteButtons, 0, wxBOTTOM, FromDIP(10));
    right->Add(widthRow, 0);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(swatches, 0, wxRIGHT, FromDIP(16));
    top->Add(right, 1, wxALIGN_CENTER_VERTICAL);

    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(top, 0, wxEXPAND | wxBOTTOM, FromDIP(8));
    outer->Add(grid, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, FromDIP(10));
    outer->Add(modelChoice, 0, wxBOTTOM, FromDIP(6));
    outer->Add(numberRow, 0, wxEXPAND);
    auto* border = new wxBoxSizer(wxVERTICAL);
    border->Add(outer, 1, wxEXPAND | wxALL, FromDIP(12));
    SetSizer(border);
    ShowPage();
}

void CColorPagePanel::OnNumberText(int box, const wxString& text) {
    if (refreshing)
        return;
    // Text that is no number (yet) changes nothing; the colour follows each number typed.
    const wxScopedCharBuffer utf8 = text.utf8_str();
    if (!page.TypeNumber(box, std::string_view(utf8.data(), utf8.length())))
        return;
    refreshing = true;
    // Boxes left blank by differing colours now show the numbers the colour was made from.
    for (int other = 0; other < 3; ++other)
        if (other != box)
            numbers[other]->SetValue(page.GetNumbers()[static_cast<std::size_t>(other)]);
    swatches->Refresh();
    setButton->SetValue(page.IsSetMode());
    setButton->Enable(page.CanSetMode());
    refreshing = false;
}

void CColorPagePanel::ShowPage() {
    refreshing = true;
    const bool hls = page.GetModel() == ColorModel::Hls;
    modelChoice->SetSelection(hls ? 1 : 0);
    const std::array<std::string, 3> texts = page.GetNumberTexts();
    for (int i = 0; i < 3; ++i) {
        const CComponentRange range = page.GetRange(i);
        numbers[i]->SetRange(range.minimum, range.maximum);
        numberLabels[i]->SetLabel(hls ? kHlsLabels[i] : kRgbLabels[i]);
        if (texts[static_cast<std::size_t>(i)].empty())
            numbers[i]->SetValue(wxString());
        else
            numbers[i]->SetValue(page.GetNumbers()[static_cast<std::size_t>(i)]);
    }
    defaultRadio->SetValue(!page.IsCustomShown());
    customRadio->SetValue(page.IsCustomShown());
    setButton->SetValue(page.IsSetMode());
    setButton->Enable(page.CanSetMode());
    noneButton->Enable(page.CanSetNone());
    noneButton->SetLabel(page.GetTarget() == CColorPage::Target::Fill ? "No Fill" : "No Line");
    widthLabel->Show(page.IsLinePartShown());
    widthChoice->Show(page.IsLinePartShown());
    widthChoice->SetSelection(page.GetWidthIndex() >= 0 ? page.GetWidthIndex() : wxNOT_FOUND);
    swatches->Refresh();
    grid->Refresh();
    Layout();
    refreshing = false;
}

} // namespace pq
