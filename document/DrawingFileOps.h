#pragma once

#include <string>

namespace pq {

class CDrawing;

// Opening and saving a drawing by path, the reader or writer chosen by the file's extension. A failing
// call leaves a readable reason in the drawing's error message for the caller to show.
class IDrawingFileOps {
public:
    virtual ~IDrawingFileOps() = default;

    // Fills the (already cleared) drawing from the file.
    virtual bool Open(CDrawing& drawing, const std::string& path) = 0;
    // Writes the drawing; single-page formats write page. width and height are -1 except when a
    // metafile of a given size is asked for. Renumbers the drawing's groups, nothing else.
    virtual bool Save(CDrawing& drawing, const std::string& path, int page, int width, int height) = 0;
};

} // namespace pq
