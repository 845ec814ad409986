#include "app/DocumentCommands.h"

#include "app/CommandIds.h"
#include "app/EditorUnattendedExport.h"
#include "app/FileDialogFilters.h"
#include "app/SendCommands.h"
#include "app/ShellServices.h"
#include "document/BitmapExportSettings.h"
#include "document/PqxDoc.h"

namespace pq {

namespace {

// The index of the JPEG filter in the export dialog: JPEG is what people mostly want.
constexpr int kJpegFilterIndex = 1;

std::string WithoutExtension(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

void CDocumentCommands::SetExportSettings(const IBitmapExportSettings* settings) {
    exportSettings = settings;
    document.SetExportSettings(settings);
}

bool CDocumentCommands::OnCommand(int id) {
    switch (id) {
    case cmd::kFileSave:
        Save();
        return true;
    case cmd::kFileSaveAs:
        SaveAs();
        return true;
    case cmd::kExportBitmap:
        ExportBitmapCommand();
        return true;
    case cmd::kFileImport:
        ImportCommand();
        return true;
    case cmd::kFileTemplate:
        TemplateCommand();
        return true;
    case cmd::kSendEmail:
    case cmd::kSendFtp:
        if (sendCommands != nullptr)
            sendCommands->Send(id == cmd::kSendEmail ? SendKind::Email : SendKind::Ftp);
        return true;
    default:
        return false;
    }
}

bool CDocumentCommands::OnUpdateCommand(int id, bool& enabled, bool& /*checked*/) {
    switch (id) {
    case cmd::kFileSave:
    case cmd::kFileSaveAs:
    case cmd::kFileTemplate:
        enabled = true;
        return true;
    case cmd::kExportBitmap:
        enabled = exportSettings != nullptr;
        return true;
    case cmd::kFileImport:
        enabled = importTarget != nullptr;
        return true;
    case cmd::kSendEmail:
    case cmd::kSendFtp:
        // The copy is written through the view's page and export settings.
        enabled = sendCommands != nullptr && exportSettings != nullptr;
        return true;
    default:
        return false;
    }
}

bool CDocumentCommands::Save() {
    if (document.GetPathName().empty())
        return SaveAs();
    return document.DoSave(document.GetPathName());
}

bool CDocumentCommands::SaveAs() {
    // The dialog opens on the type of the document's own name (a drawing read from a DXF file shows DXF).
    int filterIndex = FilterIndexForName(kSaveAsFilter, document.GetTitle(), 0);
    const auto chosen = shell.AskSavePath("Save As", kSaveAsFilter, document.GetTitle(), filterIndex);
    if (!chosen)
        return false;
    const std::string path = WithFilterExtension(*chosen, kSaveAsFilter, filterIndex);
    return document.SaveAs(path);
}

bool CDocumentCommands::ExportBitmapCommand() {
    if (exportSettings == nullptr)
        return false;
    if (unattendedExport != nullptr && unattendedHost != nullptr && unattendedExport->InSettingsFileMode()) {
        return unattendedExport->Run(document.GetDrawing(), *unattendedHost) ==
               CEditorUnattendedExport::Outcome::Done;
    }
    int filterIndex = kJpegFilterIndex;
    // The name carries the extension of the filter shown first: a bare name would take the first filter's
    // (".bmp") in the file dialog while it showed the JPEG filter, and a BMP would be written.
    const std::string initialName = WithFilterExtension(WithoutExtension(document.GetTitle()), kExportBitmapFilter,
                                                        filterIndex);
    const auto chosen = shell.AskSavePath("Export Bitmap", kExportBitmapFilter, initialName, filterIndex);
    if (!chosen)
        return false;
    return document.ExportBitmap(WithFilterExtension(*chosen, kExportBitmapFilter, filterIndex),
                                 *exportSettings);
}

bool CDocumentCommands::ImportCommand() {
    if (importTarget == nullptr)
        return false;
    const auto chosen = shell.AskOpenPath("Import", kImportFilter);
    return chosen && document.Import(*chosen, *importTarget);
}

bool CDocumentCommands::TemplateCommand() {
    const auto chosen = shell.ChooseTemplate(document.GetTemplatesFolder());
    if (!chosen)
        return false;
    const TemplateOpenResult result = document.OpenTemplate(*chosen);
    // Loaded or emptied, the document the view shows is not the one it showed before the template.
    if (result != TemplateOpenResult::Kept)
        shell.OnDocumentReplaced();
    return result == TemplateOpenResult::Opened;
}

} // namespace pq
