#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pq {

class CDrawing;

inline constexpr std::string_view kOpenFailedMessage = "Failed to open file!";
inline constexpr std::string_view kSaveFailedMessage = "Failed to save file!";
inline constexpr std::string_view kOnePageMessage =
    "This format supports only one page. The current page will be saved.";

// Receives notices a save gives before it writes (the one-page notice, and what a plotter file leaves
// out); the editor shows them in a message box, the headless tool prints them.
using NoticeSink = std::function<void(std::string_view)>;

// Reads a file into the (cleared) drawing with the reader its extension names, case-insensitively:
// ".pdf" and ".tpl" native documents, ".ai", ".dxf", ".emf", ".wmf", ".plt", ".svg" interchange files. The
// drawing's groups are renumbered whatever the outcome. On failure the drawing's error message holds
// the reader's reason, or "Failed to open file!" when the reader gives none; a name no reader takes
// gets "Failed to open file!" followed by the endings that can be read. On success the drawing's warning
// says what the reader had to leave out or change, if anything.
// With shownPage >= 0 the caller shows or exports that one page (counted from 0): a native document then
// flattens only that page's objects for display, leaving the others with empty bounds; such a drawing
// is not for saving whole.
bool OpenDrawing(CDrawing& drawing, const std::string& path, int shownPage = -1);

// Writes the drawing with the writer its extension names. Native documents keep every page; the other
// formats write page, after the one-page notice when the drawing has more pages. width and height are
// -1 unless a metafile of a given size is asked for. Renumbers the drawing's groups and changes nothing
// else; on failure the error message says why: the writer's reason, or "Failed to open file!" when the
// writer gives none, or, for a name no writer takes, "Failed to save file!" and the endings that can be
// written.
bool SaveDrawing(CDrawing& drawing, const std::string& path, int page, int width, int height,
                 const NoticeSink& notice);

// True when a reader exists for the name's extension (the editor's Open and Import offer these).
[[nodiscard]] bool CanOpenDrawing(std::string_view path);
// True when a writer exists for the name's extension.
[[nodiscard]] bool CanSaveDrawing(std::string_view path);
// True when the name's writer keeps every page (the native document), so no page is chosen.
[[nodiscard]] bool SavesEveryPage(std::string_view path);

} // namespace pq
