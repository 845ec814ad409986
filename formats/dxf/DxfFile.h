#pragma once

#include "formats/dxf/DxfWriter.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pq {

class CDrawing;

// DXF files: one page of a drawing written as an AutoCAD 2000 ASCII DXF in millimetres, and DXF files of
// any version read into a drawing. Each call is independent; the object keeps no state between calls.
class CDxfFile {
public:
    // Writes the page (clamped to the drawing's pages) to path, its pictures as JPEG files beside it,
    // each through a temporary file renamed into place. Returns 1 on success; 0 with the drawing's error
    // message set when a file cannot be written. The drawing is not changed otherwise.
    int ExportToDxf(const std::string& path, CDrawing& drawing, int page);
    // The same file in memory; the pictures' JPEG files are returned, not written. imagePath stands for
    // the file's path when the pictures are named.
    bool ExportToMemory(std::string& file, std::vector<CDxfImageFile>& images, const CDrawing& drawing,
                        int page, const std::string& imagePath, std::string& message);

    // Empties the drawing and reads the file onto page 0, centred on the page. Returns 1 when the file has
    // an ENTITIES section and at least one object was made; otherwise 0 with the reason in the drawing's
    // error message.
    int ImportFromDxf(const std::string& path, CDrawing& drawing);
    // The same from bytes. Pictures of IMAGE entities are looked for relative to folder; an empty folder
    // reads no pictures at all (for data of unknown origin).
    bool ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing, const std::string& folder);
};

} // namespace pq
