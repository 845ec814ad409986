#pragma once

#include <string_view>

namespace pq {

enum class HostAnswer { Yes, No, Cancel };

// What the document needs from the frame and the active view. The shell implements it; tests
// implement it with a recorder. Every call happens on the user-interface thread.
class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;

    // A plain message box with an OK button.
    virtual void ShowMessage(std::string_view text) = 0;
    // A question with Yes, No and Cancel buttons.
    [[nodiscard]] virtual HostAnswer AskYesNoCancel(std::string_view question) = 0;
    // A question with Yes and No buttons; true for Yes.
    [[nodiscard]] virtual bool AskYesNo(std::string_view question) {
        return AskYesNoCancel(question) == HostAnswer::Yes;
    }

    [[nodiscard]] virtual bool HasActiveView() const = 0;
    // Resets the active view for a new, empty document (tools, current page, undo history).
    virtual void ResetViewForNewDocument() = 0;
    [[nodiscard]] virtual int GetCurrentPage() const = 0;
    virtual void SetCurrentPage(int page) = 0;

    // Runs the frame's New command; false when no new document was started (the user kept the old one).
    virtual bool RunFileNew() = 0;
    // Runs Save As (a file dialog, then the save); false when nothing was saved.
    virtual bool RunSaveAs() = 0;
    // Queues a command for the active view, run once the current one has finished; a host without a
    // view ignores it.
    virtual void PostViewCommand(int /*id*/) {}
};

} // namespace pq
