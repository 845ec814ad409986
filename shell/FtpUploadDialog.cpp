#include "shell/FtpUploadDialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace pq {

namespace {

// How often the dialog looks at the run's state: often enough for a smooth bar, rarely enough to cost
// nothing.
constexpr int kPollMilliseconds = 50;

wxString FromUtf8(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

} // namespace

CFtpUploadDialog::CFtpUploadDialog(wxWindow* parent, const CFtpUploadRequest& request, bool closeWhenDone)
    : wxDialog(parent, wxID_ANY, "FTP Uploading"), run(std::make_unique<CFtpUploadRun>(request)),
      closeOnSuccess(closeWhenDone) {
    const int gap = FromDIP(8);
    const int width = FromDIP(340);
    status = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(width, -1),
                              wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
    secondLine = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(width, -1),
                                  wxST_NO_AUTORESIZE);
    detail = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(width, -1),
                              wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    detail->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    bar = new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, wxSize(width - FromDIP(60), -1));
    percent = new wxStaticText(this, wxID_ANY, "0 %", wxDefaultPosition, wxSize(FromDIP(50), -1),
                               wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
    cancelButton = new wxButton(this, wxID_CANCEL, "Cancel");
    closeButton = new wxButton(this, wxID_CLOSE, "Close");
    retryButton = new wxButton(this, wxID_ANY, "Retry");

    auto* barRow = new wxBoxSizer(wxHORIZONTAL);
    barRow->Add(bar, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
    barRow->Add(percent, 0, wxALIGN_CENTER_VERTICAL);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(retryButton, 0, wxRIGHT, gap);
    buttons->Add(closeButton, 0, wxRIGHT, gap);
    buttons->Add(cancelButton, 0);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
    column->Add(secondLine, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap);
    column->Add(barRow, 0, wxEXPAND | wxALL, gap);
    column->Add(detail, 0, wxEXPAND | wxLEFT | wxRIGHT, gap);
    column->Add(buttons, 0, wxEXPAND | wxALL, gap);
    SetSizerAndFit(column);
    CentreOnParent();

    cancelButton->Bind(wxEVT_BUTTON, &CFtpUploadDialog::OnCancel, this);
    closeButton->Bind(wxEVT_BUTTON, &CFtpUploadDialog::OnClose, this);
    retryButton->Bind(wxEVT_BUTTON, &CFtpUploadDialog::OnRetry, this);
    Bind(wxEVT_CLOSE_WINDOW, &CFtpUploadDialog::OnCloseWindow, this);
    // Escape cancels a run in progress and closes the dialog once the run has ended.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_ESCAPE) {
            event.Skip();
            return;
        }
        if (run->IsRunning())
            run->Cancel();
        else
            EndModal(shown.outcome == FtpUploadOutcome::Succeeded ? wxID_OK : wxID_CANCEL);
    });
    timer.SetOwner(this);
    Bind(wxEVT_TIMER, &CFtpUploadDialog::OnTimer, this, timer.GetId());

    run->Start();
    ShowState(run->GetState());
    timer.Start(kPollMilliseconds);
}

CFtpUploadDialog::~CFtpUploadDialog() {
    timer.Stop();
    // The run's destructor cancels a transfer still going and waits the moment it takes to stop.
}

void CFtpUploadDialog::ShowState(const CFtpUploadState& state) {
    if (!first && state.status == shown.status && state.secondLine == shown.secondLine &&
        state.detail == shown.detail && state.percent == shown.percent && state.outcome == shown.outcome)
        return;
    first = false;
    shown = state;
    status->SetLabel(FromUtf8(state.status));
    secondLine->SetLabel(FromUtf8(state.secondLine));
    // Why it failed, in the client's words, shows only when there is something to say.
    detail->SetLabel(FromUtf8(state.detail));
    detail->SetToolTip(FromUtf8(state.detail));
    detail->Show(!state.detail.empty());
    bar->SetValue(std::clamp(state.percent, 0, 100));
    percent->SetLabel(FromUtf8(state.PercentText()));
    cancelButton->Show(state.ShowCancel());
    closeButton->Show(state.ShowClose());
    retryButton->Show(state.ShowRetry());
    if (state.ShowClose())
        closeButton->SetDefault();
    Layout();
    Fit();
}

void CFtpUploadDialog::OnTimer(wxTimerEvent& /*event*/) {
    const CFtpUploadState state = run->GetState();
    ShowState(state);
    if (state.Finished()) {
        timer.Stop();
        if (closeOnSuccess && state.outcome == FtpUploadOutcome::Succeeded && IsModal())
            EndModal(wxID_OK);
    }
}

void CFtpUploadDialog::OnCancel(wxCommandEvent& /*event*/) {
    // The run answers within a moment with "FTP Canceled."; the dialog stays to show it.
    run->Cancel();
}

void CFtpUploadDialog::OnRetry(wxCommandEvent& /*event*/) {
    run->Start();
    ShowState(run->GetState());
    timer.Start(kPollMilliseconds);
}

void CFtpUploadDialog::OnClose(wxCommandEvent& /*event*/) {
    timer.Stop();
    EndModal(shown.outcome == FtpUploadOutcome::Succeeded ? wxID_OK : wxID_CANCEL);
}

void CFtpUploadDialog::OnCloseWindow(wxCloseEvent& /*event*/) {
    // The close box (or Escape) stops a run in progress and closes; nothing waits for the server.
    run->Cancel();
    run->Wait(std::chrono::milliseconds(2000));
    shown = run->GetState();
    timer.Stop();
    EndModal(wxID_CANCEL);
}

} // namespace pq
