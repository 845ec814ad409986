#include "document/PqxDoc.h"

#include "document/DocumentHost.h"
#include "document/DrawingFileOps.h"
#include "document/ImportTarget.h"
#include "document/PreferenceStore.h"

#include "document/BitmapExportSettings.h"
#include "formats/FormatDispatch.h"
#include "model/GraphicObject.h"
#include "platform/DataPaths.h"
#include "platform/image/ImageFile.h"
#include "render/BitmapExport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace pq {

namespace {

// The last four characters, lowercased; empty for shorter names.
std::string LowerExtension4(const std::string& path) {
    if (path.size() < 4)
        return {};
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail;
}

} // namespace

CPqxDoc::CPqxDoc(IDocumentHost* documentHost, IPreferenceStore* documentPreferences, IDrawingFileOps* fileOps)
    : host(documentHost), preferences(documentPreferences), files(fileOps),
      templatesFolder((std::filesystem::path(DataFolder()) / "Templates").string()) {}

void CPqxDoc::DeleteContents() {
    drawing.Clear();
    drawing.SetErrorMessage({});
    modified = false;
}

void CPqxDoc::ShowMessage(std::string_view text) const {
    if (host != nullptr)
        host->ShowMessage(text);
}

void CPqxDoc::ApplyDefaultPageSize() {
    auto read = [&](std::string_view name, int32_t fallback) {
        const int32_t value = preferences != nullptr ? preferences->ReadInt(name, fallback) : fallback;
        // A page of no size breaks every later division by it; such a value falls back to the default.
        return value > 0 ? value : fallback;
    };
    const int32_t width = read(kPageWidthName, kDefaultPageWidth);
    const int32_t height = read(kPageHeightName, kDefaultPageHeight);
    drawing.SetPageSize(static_cast<float>(width) * kPreferenceToDocument,
                        static_cast<float>(height) * kPreferenceToDocument);
}

bool CPqxDoc::OnNewDocument() {
    DeleteContents();
    pathName.clear();
    title = kUntitled;
    drawing.Clear();
    ApplyDefaultPageSize();
    if (host != nullptr)
        host->ResetViewForNewDocument();
    newDocument = true;
    return true;
}

bool CPqxDoc::OnOpenDocument(const std::string& path) {
    // An open always starts from a fresh document.
    if (host != nullptr) {
        if (!host->RunFileNew())
            return false;
    } else {
        OnNewDocument();
    }
    DeleteContents();
    drawing.Clear();
    ApplyDefaultPageSize();
    if (host != nullptr)
        host->SetCurrentPage(0);

    const bool opened = files != nullptr && files->Open(drawing, path);
    if (!opened) {
        const std::string message =
            drawing.GetErrorMessage().empty() ? std::string(kOpenFailed) : drawing.GetErrorMessage();
        // A reader that failed half-way may have left objects behind: the failed document is empty.
        drawing.Clear();
        ApplyDefaultPageSize();
        ShowMessage(message);
        return false;
    }
    SetPathName(path);
    modified = false;
    // The document opens; what the reader could not take is said once, not silently dropped.
    if (!drawing.GetWarning().empty())
        ShowMessage(drawing.GetWarning());
    return true;
}

TemplateOpenResult CPqxDoc::OpenTemplate(const std::string& path) {
    if (host != nullptr) {
        if (!host->RunFileNew())
            return TemplateOpenResult::Kept;
    } else {
        OnNewDocument();
    }
    const bool opened = files != nullptr && files->Open(drawing, path);
    if (!opened) {
        const std::string message =
            drawing.GetErrorMessage().empty() ? std::string(kOpenFailed) : drawing.GetErrorMessage();
        // What a reader left behind before it failed is not the user's: the new document stays empty.
        DeleteContents();
        ApplyDefaultPageSize();
        ShowMessage(message);
        return TemplateOpenResult::Failed;
    }
    // A template is where a drawing starts, not the file it is saved to.
    pathName.clear();
    title = kUntitled;
    modified = false;
    if (!drawing.GetWarning().empty())
        ShowMessage(drawing.GetWarning());
    if (host != nullptr) {
        if (drawing.Count() > 0)
            host->PostViewCommand(kFitDrawingCommand);
        host->PostViewCommand(kSelectToolCommand);
    }
    return TemplateOpenResult::Opened;
}

bool CPqxDoc::SaveModified() {
    // The question's own message loop can deliver a second close request; the document stays.
    if (askingToSave)
        return false;
    if (!modified)
        return true;

    const std::string& name = pathName.empty() ? title : pathName;
    std::string question(kSaveChangesQuestion);
    question.replace(question.find("%s"), 2, name);

    askingToSave = true;
    bool mayClose = false;
    const HostAnswer answer = host != nullptr ? host->AskYesNoCancel(question) : HostAnswer::Cancel;
    switch (answer) {
    case HostAnswer::Cancel:
        mayClose = false;
        break;
    case HostAnswer::No:
        mayClose = true;
        break;
    case HostAnswer::Yes:
        // Saving shows its own messages, so the guard stays up until it is done.
        mayClose = pathName.empty() ? host->RunSaveAs() : DoSave(pathName);
        break;
    }
    askingToSave = false;
    return mayClose;
}

bool CPqxDoc::DoSave(const std::string& givenPath, int width, int height) {
    std::string path = givenPath;
    if (path.size() > 4 && LowerExtension4(path) == ".tpl") {
        std::error_code ec;
        std::filesystem::create_directories(templatesFolder, ec);
        std::string name = path;
        std::replace(name.begin(), name.end(), '/', '\\');
        name = name.substr(name.find_last_of('\\') + 1);
        path = (std::filesystem::path(templatesFolder) / name).string();
        if (std::filesystem::exists(path, ec) && (host == nullptr || !host->AskYesNo(kTemplateExists)))
            return false;
    }
    if (host == nullptr || !host->HasActiveView()) {
        ShowMessage(kSaveFailed);
        return false;
    }
    const bool saved = files != nullptr && files->Save(drawing, path, host->GetCurrentPage(), width, height);
    if (!saved) {
        ShowMessage(drawing.GetErrorMessage().empty() ? std::string(kSaveFailed) : drawing.GetErrorMessage());
        return false;
    }
    const std::string extension = LowerExtension4(path);
    // A one-page file written from a drawing of several pages holds only the current page: taking its
    // name and calling the document saved would let a close or the next Save drop the other pages.
    const bool keptEveryPage = drawing.PageCount() <= 1 || SavesEveryPage(path);
    if (extension != ".tpl" && extension != ".plt" && keptEveryPage) {
        modified = false;
        SetPathName(path);
    }
    return true;
}

void CPqxDoc::SetPathName(const std::string& path) {
    pathName = path;
    const std::size_t slash = path.find_last_of("/\\");
    title = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool CPqxDoc::SaveAs(const std::string& path) {
    if (!IsBitmapExportName(path))
        return DoSave(path);
    if (exportSettings == nullptr) {
        ShowMessage(kSaveFailed);
        return false;
    }
    return ExportBitmap(path, *exportSettings);
}

bool CPqxDoc::SaveCopy(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && (host == nullptr || !host->AskYesNo(kFileExists)))
        return false;
    if (host == nullptr || !host->HasActiveView()) {
        ShowMessage(kSaveFailed);
        return false;
    }
    if (IsBitmapExportName(path)) {
        if (exportSettings == nullptr) {
            ShowMessage(kSaveFailed);
            return false;
        }
        return ExportBitmap(path, *exportSettings);
    }
    if (files == nullptr || !files->Save(drawing, path, host->GetCurrentPage(), -1, -1)) {
        ShowMessage(drawing.GetErrorMessage().empty() ? std::string(kSaveFailed) : drawing.GetErrorMessage());
        return false;
    }
    return true;
}

bool CPqxDoc::ImportDrawing(const std::string& path, CDrawing& clipboard, const std::function<void()>& paste,
                            std::string* failure) {
    if (files == nullptr)
        return false;
    CDrawing saved;
    saved.Assign(clipboard);
    clipboard.Clear();
    const bool opened = files->Open(clipboard, path);
    if (!opened && failure != nullptr)
        *failure = clipboard.GetErrorMessage();
    if (opened) {
        const int page = host != nullptr ? host->GetCurrentPage() : 0;
        for (const auto& object : clipboard.Objects())
            object->page = page;
        if (paste)
            paste();
    }
    clipboard.Assign(saved);
    return opened;
}

bool CPqxDoc::Import(const std::string& path, IImportTarget& target) {
    if (IsImageFile(path)) {
        const CImageResult inserted = target.InsertImage(path);
        if (!inserted)
            ShowMessage(inserted.message.empty() ? std::string(kOpenFailed) : inserted.message);
        return inserted.ok;
    }
    std::string failure;
    CDrawing* clipboard = target.GetClipboard();
    if (clipboard != nullptr && ImportDrawing(
                                    path, *clipboard, [&target] { target.PasteClipboard(); }, &failure))
        return true;
    // The user asked for the file: a failure says why rather than leaving the drawing silently unchanged.
    ShowMessage(failure.empty() ? std::string(kOpenFailed) : failure);
    return false;
}

} // namespace pq
