#include "app/LibraryCommands.h"

#include "app/CommandIds.h"
#include "app/LibraryBrowser.h"
#include "document/PqxDoc.h"
#include "model/Drawing.h"
#include "ui/view/PqxView.h"

namespace pq {

CLibraryCommands::CLibraryCommands(CPqxView& view, std::string root, IPreferenceStore* store,
                                   ILibraryDialogs* shellDialogs)
    : view(view), libraryRoot(std::move(root)), preferences(store), dialogs(shellDialogs) {}

bool CLibraryCommands::OnCommand(int id) {
    if (id == cmd::kLibrary) {
        LibraryCommand();
        return true;
    }
    if (id == cmd::kSendToLibrary) {
        SendToLibraryCommand();
        return true;
    }
    return false;
}

bool CLibraryCommands::OnUpdateCommand(int id, bool& enabled, bool& checked) {
    if (id == cmd::kLibrary) {
        enabled = dialogs != nullptr && view.GetDrawing() != nullptr;
        checked = false;
        return true;
    }
    if (id == cmd::kSendToLibrary) {
        enabled = dialogs != nullptr && CanSend();
        checked = false;
        return true;
    }
    return false;
}

bool CLibraryCommands::CanSend() const {
    const CDrawing* drawing = view.GetDrawing();
    if (drawing == nullptr || drawing->Count() == 0 || !view.IsToolCurrent(ToolKind::Select))
        return false;
    for (int index : view.GetSelection())
        if (drawing->GetAt(index) != nullptr)
            return true;
    return false;
}

bool CLibraryCommands::LibraryCommand() {
    CPqxDoc* document = view.GetDocument();
    if (dialogs == nullptr || document == nullptr || view.GetDrawing() == nullptr)
        return false;
    CLibraryBrowser browser{CClipArtLibrary(libraryRoot), preferences};
    if (!dialogs->RunLibraryDialog(browser) || !browser.GetChosenPath())
        return false;
    return document->Import(*browser.GetChosenPath(), view);
}

bool CLibraryCommands::SendToLibraryCommand() {
    if (dialogs == nullptr || !CanSend())
        return false;
    CSendToLibrary sender{CClipArtLibrary(libraryRoot), preferences, *view.GetDrawing(), view.GetSelection(),
                          view.GetAntiAlias()};
    return dialogs->RunSendToLibraryDialog(sender);
}

} // namespace pq
