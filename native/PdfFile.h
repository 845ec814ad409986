#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace pq {

class CDrawing;

// The native document: a PDF 1.3 file any viewer shows and that this class reads back exactly, text
// boxes, alignment, underline and groups included. Only files carrying our creator comment are read.
//
// Every call is independent; the object keeps no state between calls. A failing call leaves a readable
// reason in the drawing's error message.
class CPdfFile {
public:
    // The message a PDF written by another program is refused with.
    static constexpr const char* kForeignFileMessage =
        "Only PDF documents created by Pentaquill Draw can be opened!";

    // Writes every page of the drawing to path through a temporary file renamed into place, so a
    // failure never leaves half a file where a good one stood. The drawing's groups are renumbered (its
    // grouping stays as it was); nothing else changes but its error message on failure.
    bool Write(const std::string& path, CDrawing& drawing);
    // The same bytes as Write, into a buffer (replacing its content).
    bool WriteToMemory(std::vector<uint8_t>& bytes, CDrawing& drawing);

    // Replaces the drawing's objects, page count and page size by the file's. On failure the drawing
    // may be partly filled and the caller discards it.
    // With shownPage >= 0 only that page's objects are made ready to draw: the others keep their
    // geometry but have no display polylines and empty bounds, which saves flattening pages that a
    // one-page export never shows. Such a drawing is not for saving whole.
    bool Read(const std::string& path, CDrawing& drawing, int shownPage = -1);
    // The same from bytes in memory.
    bool ReadFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing, int shownPage = -1);

    // Reads page shownPage alone for drawing it, without ever holding the page whole: its objects are
    // handed to draw in drawing order a batch at a time, each ready to draw (bounds and display
    // polylines made), and the drawing is emptied after each batch. The drawing keeps the file's page
    // count, page size and warnings; its groups are not read. A page the file lacks, or one without
    // objects, calls draw never. A failure may come after some batches were drawn.
    bool ReadPageInBatches(const std::string& path, CDrawing& drawing, int shownPage,
                           const std::function<void(const CDrawing&)>& draw);
    bool ReadPageInBatchesFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing, int shownPage,
                                     const std::function<void(const CDrawing&)>& draw);
};

} // namespace pq
