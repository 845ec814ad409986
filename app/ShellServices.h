#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pq {

// What the application's and document's commands need from the windowing shell: file dialogs, the about
// box, the help viewer, closing the main window, and word that the document changed. The wx shell
// implements it; tests implement it with a script of answers.
class IShellServices {
public:
    virtual ~IShellServices() = default;

    // An open-file dialog for an existing file; nothing when cancelled. filter is "text|patterns|...||".
    [[nodiscard]] virtual std::optional<std::string> AskOpenPath(std::string_view title,
                                                                 std::string_view filter) = 0;
    // A save-file dialog that asks before replacing a file; filterIndex selects the filter shown first and
    // receives the one chosen.
    [[nodiscard]] virtual std::optional<std::string> AskSavePath(std::string_view title,
                                                                 std::string_view filter,
                                                                 std::string_view initialName,
                                                                 int& filterIndex) = 0;
    virtual void ShowAbout() = 0;
    // Opens the bundled help; false when no help viewer could be started.
    virtual bool ShowHelp() = 0;
    // Closes the main window the way its close box does, so a modified document is offered for saving.
    virtual void CloseMainWindow() = 0;
    // A new document was started or a file was opened: the view refits, the title changes.
    virtual void OnDocumentReplaced() = 0;
    // The Template dialog over the templates folder: the chosen template's path; nothing when cancelled.
    [[nodiscard]] virtual std::optional<std::string> ChooseTemplate(const std::string& /*folder*/) {
        return std::nullopt;
    }
    // The settings sheet; true when it was accepted.
    virtual bool ShowSettingsSheet() { return false; }
};

} // namespace pq
