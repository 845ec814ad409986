#pragma once

#include "app/CommandRouter.h"

#include <string>
#include <string_view>

namespace pq {

class CLibraryBrowser;
class CPqxView;
class CSendToLibrary;
class IPreferenceStore;

// What the library's commands need from the windowing shell: the two dialogs over their models.
class ILibraryDialogs {
public:
    virtual ~ILibraryDialogs() = default;

    // Shows the Library dialog; true when it closed with Insert, the model's Ok() having given the path.
    virtual bool RunLibraryDialog(CLibraryBrowser& browser) = 0;
    // Shows the Send to Library dialog; true when it closed with OK (the model's Ok() said so).
    virtual bool RunSendToLibraryDialog(CSendToLibrary& sender) = 0;
};

// Tools > Library (and the drawing bar's Library button) and Tools > Send to Library..., carried at the
// view's level since Send to Library follows the view's tool and selection. Library inserts the chosen
// item through the document's Import, so it arrives as pasted objects do: on the page on screen with its
// top-left corner 10 pixels in from the view's, selected with the select tool current, one undo step.
class CLibraryCommands : public ICommandTarget {
public:
    CLibraryCommands(CPqxView& view, std::string libraryRoot, IPreferenceStore* preferences,
                     ILibraryDialogs* dialogs);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override;

    // True when an item was inserted.
    bool LibraryCommand();
    // True when an item was written.
    bool SendToLibraryCommand();

private:
    [[nodiscard]] bool CanSend() const;

    CPqxView& view;
    std::string libraryRoot;
    IPreferenceStore* preferences;
    ILibraryDialogs* dialogs;
};

} // namespace pq
