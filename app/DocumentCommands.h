#pragma once

#include "app/CommandRouter.h"

#include <string>

namespace pq {

class CPqxDoc;
class IBitmapExportSettings;
class IShellServices;

// The document's file commands: Save, Save As and Export Bitmap. Templates, import and sending have no
// handler here yet and stay greyed.
class CDocumentCommands : public ICommandTarget {
public:
    CDocumentCommands(CPqxDoc& document, IShellServices& shell) : document(document), shell(shell) {}

    // The active view's export settings; without them (no view) nothing can be exported.
    void SetExportSettings(const IBitmapExportSettings* settings);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override;

    // Save: Save As for a document without a path.
    bool Save();
    // A save dialog starting at the document's title. Bitmap names are exported and leave the document as
    // it was; any other name is saved and becomes the document's file. True when something was written.
    bool SaveAs();
    bool ExportBitmapCommand();

private:
    CPqxDoc& document;
    IShellServices& shell;
    const IBitmapExportSettings* exportSettings = nullptr;
};

} // namespace pq
