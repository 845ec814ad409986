#pragma once

// The shell and document host the command tests drive: dialogs and questions answer from a script, and
// every call is noted so a test can say which dialogs ran.

#include "app/ApplicationCommands.h"
#include "app/EditorUnattendedExport.h"
#include "app/ShellServices.h"
#include "document/BitmapExportSettings.h"
#include "document/DocumentHost.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pq::test {

// The unattended export's host in the editor: questions answered from a script, uploads and failures noted.
class CScriptedUnattendedHost : public IUnattendedExportHost {
public:
    std::deque<bool> answers;
    std::vector<std::string> questions;
    std::vector<CFtpUploadRequest> uploads;
    FtpUploadOutcome uploadOutcome = FtpUploadOutcome::Succeeded;
    std::vector<std::string> failures;
    int closes = 0;

    int GetExportPage() const override { return 0; }
    bool AskYesNo(std::string_view question) override {
        questions.emplace_back(question);
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
    FtpUploadOutcome RunUploadDialog(const CFtpUploadRequest& request) override {
        uploads.push_back(request);
        return uploadOutcome;
    }
    void ReportFailures(const std::vector<std::string>& list) override {
        failures.insert(failures.end(), list.begin(), list.end());
    }
    void CloseMainWindow() override { ++closes; }
};

class CScriptedShell : public IShellServices {
public:
    std::deque<std::optional<std::string>> paths; // answers of the file dialogs, in order; none: Cancel
    std::vector<std::string> dialogs;             // "title" of each open, "title|initial name|filter index"
                                                  // of each save dialog
    int chosenFilter = -1;                        // the filter the user picks; -1 keeps the first shown
    std::optional<std::string> chosenTemplate;    // what the Template dialog returns; nothing for Cancel
    std::vector<std::string> templateFolders;     // the folder each Template dialog listed
    int replaced = 0, closes = 0, abouts = 0, helps = 0;

    std::optional<std::string> AskOpenPath(std::string_view title, std::string_view) override {
        dialogs.push_back(std::string(title));
        return Next();
    }
    std::optional<std::string> AskSavePath(std::string_view title, std::string_view,
                                           std::string_view initialName, int& filterIndex) override {
        dialogs.push_back(std::string(title) + "|" + std::string(initialName) + "|" +
                          std::to_string(filterIndex));
        if (chosenFilter >= 0)
            filterIndex = chosenFilter;
        return Next();
    }
    void ShowAbout() override { ++abouts; }
    bool ShowHelp() override {
        ++helps;
        return true;
    }
    void CloseMainWindow() override { ++closes; }
    void OnDocumentReplaced() override { ++replaced; }
    std::optional<std::string> ChooseTemplate(const std::string& folder) override {
        templateFolders.push_back(folder);
        return chosenTemplate;
    }

private:
    std::optional<std::string> Next() {
        if (paths.empty())
            return std::nullopt;
        auto path = paths.front();
        paths.pop_front();
        return path;
    }
};

// A document host with an active view on page 0; questions take the queued answers, then `unscripted`.
class CScriptedDocumentHost : public IDocumentHost {
public:
    CApplicationCommands* app = nullptr; // File New runs through it; without it File New fails
    std::vector<std::string> messages, questions;
    std::deque<HostAnswer> answers;
    HostAnswer unscripted = HostAnswer::Cancel;
    std::vector<int> posted;

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    HostAnswer AskYesNoCancel(std::string_view question) override {
        questions.emplace_back(question);
        if (answers.empty())
            return unscripted;
        const HostAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool HasActiveView() const override { return true; }
    void ResetViewForNewDocument() override {}
    int GetCurrentPage() const override { return 0; }
    void SetCurrentPage(int) override {}
    bool RunFileNew() override { return app != nullptr && app->FileNew(); }
    bool RunSaveAs() override { return false; }
    void PostViewCommand(int id) override { posted.push_back(id); }
};

// A view's bitmap export settings at their smallest.
class CSmallExportSettings : public IBitmapExportSettings {
public:
    int GetMaxPixels() const override { return 240; }
    bool GetAntiAlias() const override { return false; }
};

} // namespace pq::test
