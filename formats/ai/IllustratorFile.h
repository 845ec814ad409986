#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pq {

class CDrawing;

// Adobe Illustrator files (".ai"): one page of a drawing written as an Illustrator 7 file, and
// Illustrator files read into a drawing: the classic text format up to version 8 and the PDF-compatible
// files of later versions, whose Illustrator data sit in Flate-compressed streams. Paths, compound paths,
// point, area and path text, raster images and the groups our own files carry are read.
//
// Every call is independent; a failing call leaves a readable reason in the drawing's error message.
class CIllustratorFile {
public:
    // Writes the page (clamped to the drawing's pages) through a temporary file renamed into place, so
    // a failure never leaves half a file where a good one stood. Nothing of the drawing changes but its
    // error message, which names the file and the system's reason when writing fails.
    bool ExportToAi(const std::string& path, CDrawing& drawing, int page);
    // The same bytes into a buffer; title is the name the "%%Title" line gives.
    bool ExportToMemory(std::vector<uint8_t>& bytes, const CDrawing& drawing, int page,
                        const std::string& title = "");

    // Replaces the drawing's objects by the file's. The page size becomes the file's art size when it
    // gives one; otherwise the drawing is centred on the page. Fails when nothing could be read.
    bool ImportFromAi(const std::string& path, CDrawing& drawing);
    bool ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing);
};

} // namespace pq
