#pragma once

#include "platform/image/ImageResult.h"

#include <string>

namespace pq {

class CDrawing;

// What Import needs of the active view: the application's clipboard drawing, which a vector file is read
// into; the Paste of its objects onto the current page; and the insertion of a picture.
class IImportTarget {
public:
    virtual ~IImportTarget() = default;

    // The application's private clipboard, or nullptr when there is none.
    [[nodiscard]] virtual CDrawing* GetClipboard() = 0;
    // Adds copies of the clipboard's objects to the current page as the Paste command does (selected, one
    // undo step) and returns how many were added.
    virtual int PasteClipboard() = 0;
    // Inserts a picture file as an image object on the current page, selected and undoable; the decoder's
    // failure otherwise, with the drawing unchanged.
    virtual CImageResult InsertImage(const std::string& path) = 0;
};

} // namespace pq
