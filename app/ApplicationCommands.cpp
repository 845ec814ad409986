#include "app/ApplicationCommands.h"

#include "app/CommandIds.h"
#include "app/FileDialogFilters.h"
#include "app/ShellServices.h"
#include "document/PqxDoc.h"

namespace pq {

bool CApplicationCommands::OnCommand(int id) {
    switch (id) {
    case cmd::kFileNew:
        FileNew();
        return true;
    case cmd::kFileOpen:
        FileOpen();
        return true;
    case cmd::kAbout:
    case cmd::kHelpAbout:
        shell.ShowAbout();
        return true;
    case cmd::kHelp:
    case cmd::kHelpContents:
        shell.ShowHelp();
        return true;
    case cmd::kExit:
        shell.CloseMainWindow();
        return true;
    case cmd::kSettings:
        shell.ShowSettingsSheet();
        return true;
    default:
        return false;
    }
}

bool CApplicationCommands::OnUpdateCommand(int id, bool& enabled, bool& /*checked*/) {
    switch (id) {
    case cmd::kFileNew:
    case cmd::kFileOpen:
    case cmd::kAbout:
    case cmd::kHelpAbout:
    case cmd::kHelp:
    case cmd::kHelpContents:
    case cmd::kExit:
    case cmd::kSettings:
        enabled = true;
        return true;
    default:
        return false;
    }
}

bool CApplicationCommands::FileNew() {
    if (!document.SaveModified())
        return false;
    document.OnNewDocument();
    replaced = true;
    if (!opening)
        shell.OnDocumentReplaced();
    return true;
}

bool CApplicationCommands::FileOpen() {
    const auto path = shell.AskOpenPath("Open", kOpenFilter);
    return path && OpenDocumentFile(*path);
}

bool CApplicationCommands::OpenDocumentFile(const std::string& path) {
    // The document starts its open with the New command (the host's RunFileNew, which lands in FileNew),
    // so the question about unsaved changes is asked exactly once.
    opening = true;
    replaced = false;
    const bool opened = document.OnOpenDocument(path);
    opening = false;
    // A failed open after the new document started has emptied the document, so the view shows it too.
    if (opened || replaced)
        shell.OnDocumentReplaced();
    return opened;
}

} // namespace pq
