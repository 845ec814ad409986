#pragma once

#include "platform/RegularFile.h"

#include <cstdint>
#include <span>
#include <string>

namespace pq {

class CDrawing;

// HP-GL plotter files (.plt). Export writes the outlines of one page as pen moves; import turns the pen
// movements of a file into paths, one per stroke or generated shape, centred on the page.
//
// Every call is independent; the object keeps no state between calls. A failing call leaves a readable
// reason in the drawing's error message.
class CPlotterFile {
public:
    // Files larger than this are refused rather than read whole into memory.
    static constexpr std::size_t kLargestFile = kMaxDrawingFileBytes;

    // Writes the page (clamped to the drawing's pages) through a temporary file renamed into place. The
    // drawing is not changed, except for its error message on failure.
    bool ExportToHpgl(const std::string& path, CDrawing& drawing, int page);

    // Empties the drawing, then reads the file into it. A readable file succeeds even when it holds no
    // strokes; a missing, unreadable or empty file fails.
    bool ImportFromHpgl(const std::string& path, CDrawing& drawing);
    // The same from bytes in memory; name is used in messages.
    bool ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing, const std::string& name = "");
};

} // namespace pq
