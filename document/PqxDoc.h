#pragma once

#include "model/Drawing.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pq {

class IBitmapExportSettings;
class IImportTarget;
class IDocumentHost;
class IDrawingFileOps;
class IPreferenceStore;

// The application's document: it owns the drawing and connects it to the new, open and save cycle.
// Everything it needs from above (messages, the view, the frame's commands), from the preferences and
// from the file formats comes through interfaces, any of which may be absent: without a host nothing
// is shown and questions are answered Cancel, without preferences the defaults apply, and without file
// operations opening and saving fail.
// What became of a template the Template command chose.
enum class TemplateOpenResult {
    Kept,   // the user kept the modified document: nothing changed
    Failed, // a new document was started but the template could not be read: it stays empty
    Opened, // the new, untitled document holds the template's drawing
};

class CPqxDoc {
public:
    // Page size preferences, in thousandths of a millimetre.
    static constexpr std::string_view kPageWidthName = "PageWidth";
    static constexpr std::string_view kPageHeightName = "PageHeight";
    static constexpr int32_t kDefaultPageWidth = 148000;
    static constexpr int32_t kDefaultPageHeight = 210000;
    // Document units (tenths of a millimetre) per thousandth of a millimetre.
    static constexpr float kPreferenceToDocument = 0.01f;

    static constexpr std::string_view kUntitled = "Untitled";
    static constexpr std::string_view kSaveChangesQuestion = "Save changes to %s?";
    static constexpr std::string_view kOpenFailed = "Failed to open file!";
    static constexpr std::string_view kSaveFailed = "Failed to save file!";
    static constexpr std::string_view kTemplateExists =
        "Template exists - do you want to replace the existing template?";
    static constexpr std::string_view kFileExists = "File exists - do you want to replace the existing file?";
    // The view's commands a loaded template asks for: fit the drawing, then the Select tool.
    static constexpr int kFitDrawingCommand = 32804;
    static constexpr int kSelectToolCommand = 32790;

    explicit CPqxDoc(IDocumentHost* host = nullptr, IPreferenceStore* preferences = nullptr,
                     IDrawingFileOps* files = nullptr);
    CPqxDoc(const CPqxDoc&) = delete;
    CPqxDoc& operator=(const CPqxDoc&) = delete;

    void SetHost(IDocumentHost* newHost) { host = newHost; }
    void SetPreferences(IPreferenceStore* newPreferences) { preferences = newPreferences; }
    void SetFileOps(IDrawingFileOps* newFiles) { files = newFiles; }

    [[nodiscard]] CDrawing& GetDrawing() { return drawing; }
    [[nodiscard]] const CDrawing& GetDrawing() const { return drawing; }

    // Starts an empty, untitled document of the default page size and resets the view for it.
    bool OnNewDocument();
    // Starts a new document through the frame's New command, then reads the file into it. On failure
    // the reader's message is shown, the drawing is left empty and false is returned.
    bool OnOpenDocument(const std::string& path);
    // Asked before the document is closed or replaced; true when it may go. A modified document asks
    // "Save changes to %s?": Cancel keeps it, No discards, Yes saves (Save As without a path) and keeps
    // it when saving fails. A request while the question is open is answered at once with keep.
    bool SaveModified();
    // Saves to path; on success the document takes the path and is unmodified, except for templates
    // (".tpl") and plotter files (".plt"), which are copies that leave the document as it was, and for a
    // one-page format when the drawing has more pages (the file holds only the current one). A
    // template is saved under its file name in the templates folder, after asking before it replaces one.
    bool DoSave(const std::string& path, int width = -1, int height = -1);
    // Save As with a chosen name: a bitmap name (".bmp", ".jpg", ".gif", ".png", ".2bp") exports the
    // view's page with its export settings and leaves the document as it is; any other name saves.
    bool SaveAs(const std::string& path);
    // Writes a copy (sending uses it) without touching the document's path or modified state; asks before
    // it replaces an existing file.
    bool SaveCopy(const std::string& path);
    // Reads a vector file into the clipboard drawing, puts its objects on the current page and calls
    // paste, which adds them to the drawing as the Paste command does; the clipboard's own content is
    // restored afterwards in every case. A file that cannot be read changes nothing and shows nothing;
    // failure receives the reader's reason (empty when it gave none).
    bool ImportDrawing(const std::string& path, CDrawing& clipboard, const std::function<void()>& paste,
                       std::string* failure = nullptr);
    // The Import command after its dialog: a picture name (".bmp", ".jpg", ".gif", ".png", ".2bp") is
    // inserted as an image object, any other file is read through the clipboard and pasted. A file that
    // cannot be imported changes nothing and says why.
    bool Import(const std::string& path, IImportTarget& target);

    // Starts a new document through the frame's New command (which asks to save a modified one) and
    // reads the template into it. The document stays untitled and unmodified, so a later Save asks for a
    // name; the view is asked to fit the drawing (an empty template keeps the new document's fit) and to
    // take the Select tool. A template that cannot be read shows the reader's message and leaves the new
    // document empty.
    TemplateOpenResult OpenTemplate(const std::string& path);

    // The folder templates are saved in (the data folder's Templates unless set).
    void SetTemplatesFolder(std::string folder) { templatesFolder = std::move(folder); }
    [[nodiscard]] const std::string& GetTemplatesFolder() const { return templatesFolder; }
    // The active view's export settings, used by Save As and SaveCopy with bitmap names.
    void SetExportSettings(const IBitmapExportSettings* settings) { exportSettings = settings; }

    // Writes the active view's current page as a bitmap file (".bmp", ".jpg"/".jpeg" or ".png"). Unless
    // exactSize is set the page is exported at the screen's 1:1 size, fitted into maxWidth x maxHeight
    // when larger; with exactSize it is exported at maxWidth x maxHeight. A failure is shown in a message
    // box and returns false.
    bool ExportBitmap(const std::string& fileName, int maxWidth, int maxHeight, bool exactSize,
                      bool antiAlias);
    // The interactive export: the size limit and anti-aliasing from the view's settings.
    bool ExportBitmap(const std::string& fileName, const IBitmapExportSettings& settings);

    // The page size the preferences ask for, in document units; a missing or non-positive value gives
    // the default.
    void ApplyDefaultPageSize();

    [[nodiscard]] bool IsModified() const { return modified; }
    void SetModifiedFlag(bool value = true) { modified = value; }
    [[nodiscard]] const std::string& GetPathName() const { return pathName; }
    // Sets the path and makes its file name the title.
    void SetPathName(const std::string& path);
    [[nodiscard]] const std::string& GetTitle() const { return title; }
    void SetTitle(std::string newTitle) { title = std::move(newTitle); }
    // Set once a new document has been started.
    [[nodiscard]] bool IsNewDocumentStarted() const { return newDocument; }

private:
    // The framework's part of new and open: empties the document and forgets path and changes.
    void DeleteContents();
    void ShowMessage(std::string_view text) const;

    CDrawing drawing;
    bool newDocument = false;
    bool modified = false;
    std::string pathName;
    std::string title{kUntitled};
    bool askingToSave = false;
    IDocumentHost* host = nullptr;
    IPreferenceStore* preferences = nullptr;
    IDrawingFileOps* files = nullptr;
    const IBitmapExportSettings* exportSettings = nullptr;
    std::string templatesFolder;
};

} // namespace pq
