#pragma once

#include "send/FtpUpload.h"

#include <wx/dialog.h>
#include <wx/timer.h>

#include <memory>

class wxButton;
class wxGauge;
class wxStaticText;

namespace pq {

// "FTP Uploading": the upload runs on its own thread (CFtpUploadRun) and this dialog shows its state from
// a timer, so the window never waits for the server. Cancel stops the run, Retry runs it again from the
// start, Close ends the dialog. With closeOnSuccess (the unattended export) the dialog closes by itself
// once the files are on the server.
class CFtpUploadDialog : public wxDialog {
public:
    CFtpUploadDialog(wxWindow* parent, const CFtpUploadRequest& request, bool closeOnSuccess = false);
    ~CFtpUploadDialog() override;

    // How the last run ended (Running when the dialog was closed before it ended).
    [[nodiscard]] FtpUploadOutcome GetOutcome() const { return shown.outcome; }

private:
    void OnTimer(wxTimerEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnRetry(wxCommandEvent& event);
    void OnClose(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void ShowState(const CFtpUploadState& state);

    std::unique_ptr<CFtpUploadRun> run;
    bool closeOnSuccess;
    wxTimer timer;
    CFtpUploadState shown;
    bool first = true;
    wxStaticText* status = nullptr;
    wxStaticText* secondLine = nullptr;
    wxStaticText* detail = nullptr;
    wxGauge* bar = nullptr;
    wxStaticText* percent = nullptr;
    wxButton* cancelButton = nullptr;
    wxButton* closeButton = nullptr;
    wxButton* retryButton = nullptr;
};

} // namespace pq
