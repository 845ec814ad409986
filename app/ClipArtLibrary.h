#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CDrawing;

// One clip-art item: a drawing file in a category folder with an optional picture beside it.
struct CClipArtItem {
    std::string name;          // the file name with its extension, as the list shows it
    std::string path;          // the drawing file
    std::string thumbnailPath; // the same name with "bmp" for its extension; the file may be missing
};

// The clip-art library on disk: the data folder's "Library" holds one folder per category, each holding
// drawings (".emf" and ".ai" files) with 32 x 32 ".bmp" pictures of the same base name. There is no index
// file: the folders are the library. Names are checked before they reach a path, so nothing this class
// does reaches outside the library's root.
class CClipArtLibrary {
public:
    static constexpr std::string_view kFolderName = "Library";
    static constexpr int kThumbnailSize = 32;

    explicit CClipArtLibrary(std::string root) : root(std::move(root)) {}
    // The library's root in a data folder.
    [[nodiscard]] static std::string RootIn(const std::string& dataFolder);

    [[nodiscard]] const std::string& GetRoot() const { return root; }
    // Creates the root when missing; on failure message says why.
    bool EnsureRoot(std::string& message) const;

    // The category folders, sorted (hidden folders left out); empty for a missing root.
    [[nodiscard]] std::vector<std::string> Categories() const;
    [[nodiscard]] std::string CategoryPath(std::string_view category) const;
    // The category's metafiles, then its Illustrator files, each run sorted by name.
    [[nodiscard]] std::vector<CClipArtItem> Items(std::string_view category) const;
    [[nodiscard]] static std::string ThumbnailPathOf(std::string_view itemPath);

    // A name a category or an item may have: not empty, not hidden (no leading "."), no "/" or "\", no
    // control characters.
    [[nodiscard]] static bool IsValidName(std::string_view name);

    // Each returns a message for the user, empty on success.
    [[nodiscard]] std::string CreateCategory(std::string_view name) const;
    [[nodiscard]] std::string RenameCategory(std::string_view oldName, std::string_view newName) const;
    // Removes an empty category folder; one that still holds files stays, with a message.
    [[nodiscard]] std::string DeleteCategory(std::string_view name) const;
    // Renames an item and its picture within its category. The item keeps its type: newName gets the
    // item's extension unless it already ends in it, and the final name is returned in finalName. A name
    // taken by another item or another item's picture is refused.
    [[nodiscard]] std::string RenameItem(std::string_view category, const CClipArtItem& item,
                                         std::string_view newName, std::string* finalName = nullptr) const;
    // Deletes an item and its picture (kept while another item of the same base name still uses it).
    [[nodiscard]] std::string DeleteItem(std::string_view category, const CClipArtItem& item) const;

private:
    std::string root;
};

// Writes page 0 of a drawing as a clip-art item: the drawing file at path (its extension picks the writer)
// and its picture, 32 x 32, beside it. False with a message when either could not be written.
bool WriteClipArtItem(CDrawing& drawing, const std::string& path, bool antiAlias, std::string& message);

// A picture file read as size x size RGB bytes (rows from the top), scaled to that size when it has
// another; nothing when it cannot be read.
[[nodiscard]] std::optional<std::vector<uint8_t>> LoadThumbnailRgb(const std::string& path, int size);

} // namespace pq
