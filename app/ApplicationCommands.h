#pragma once

#include "app/CommandRouter.h"

#include <string>

namespace pq {

class CPqxDoc;
class IShellServices;

// The application's commands: New, Open, Settings, About and Help (in the File and Help menus) and Exit.
// New and Open ask to save a modified document first.
class CApplicationCommands : public ICommandTarget {
public:
    CApplicationCommands(CPqxDoc& document, IShellServices& shell) : document(document), shell(shell) {}

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override;

    // Starts a new, empty document unless the user keeps the modified one; true when it was started.
    bool FileNew();
    // The open dialog, then OpenDocumentFile.
    bool FileOpen();
    // Opens a file into the document; the document first starts a new one through the host's RunFileNew,
    // which the shell answers with FileNew. True when the file opened.
    bool OpenDocumentFile(const std::string& path);

private:
    CPqxDoc& document;
    IShellServices& shell;
    // FileNew runs inside OpenDocumentFile; the shell hears of the replaced document once, at the end.
    bool opening = false;
    bool replaced = false;
};

} // namespace pq
