#pragma once

#include "app/CommandRouter.h"

#include <string>

namespace pq {

class CEditorUnattendedExport;
class CPqxDoc;
class CSendCommands;
class IUnattendedExportHost;
class IBitmapExportSettings;
class IImportTarget;
class IShellServices;

// The document's file commands: Save, Save As, Template, Import, Export Bitmap (or, in settings-file
// mode, the unattended export in its place) and File > Send.
class CDocumentCommands : public ICommandTarget {
public:
    CDocumentCommands(CPqxDoc& document, IShellServices& shell) : document(document), shell(shell) {}

    // The active view's export settings; without them (no view) nothing can be exported.
    void SetExportSettings(const IBitmapExportSettings* settings);
    // The active view, which Import adds to; without one nothing can be imported.
    void SetImportTarget(IImportTarget* target) { importTarget = target; }

    // File > Send; without it both Send commands are greyed.
    void SetSendCommands(CSendCommands* commands) { sendCommands = commands; }
    // The settings file's export, which Export Bitmap runs instead of its dialog in settings-file mode.
    void SetUnattendedExport(CEditorUnattendedExport* exporter, IUnattendedExportHost* host) {
        unattendedExport = exporter;
        unattendedHost = host;
    }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override;

    // Save: Save As for a document without a path.
    bool Save();
    // A save dialog starting at the document's title. Bitmap names are exported and leave the document as
    // it was; any other name is saved and becomes the document's file. True when something was written.
    bool SaveAs();
    bool ExportBitmapCommand();
    // An open dialog with the import filter, then the document's Import.
    bool ImportCommand();
    // The Template dialog, then a new, untitled document holding the chosen template. True when it loaded.
    bool TemplateCommand();

private:
    CPqxDoc& document;
    IShellServices& shell;
    const IBitmapExportSettings* exportSettings = nullptr;
    IImportTarget* importTarget = nullptr;
    CSendCommands* sendCommands = nullptr;
    CEditorUnattendedExport* unattendedExport = nullptr;
    IUnattendedExportHost* unattendedHost = nullptr;
};

} // namespace pq
