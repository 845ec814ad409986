#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pq {

class CDrawing;

// SVG files: one page of a drawing written as SVG 1.1, and the common subset of SVG that drawing
// programs write read back into a drawing (see CSvgWriter and CSvgImporter).
//
// Every call is independent. A failing call leaves a readable reason in the drawing's error message.
class CSvgFile {
public:
    // Larger files are refused before they are read.
    static constexpr std::size_t kMaxFileBytes = 256u * 1024 * 1024;

    // Reads the file into the (cleared) drawing, on one page of the file's size; images named by file
    // are looked for beside it.
    bool Read(const std::string& path, CDrawing& drawing);
    // The same from memory; baseFolder is where named image files are looked for (none when empty).
    bool ReadFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing,
                        const std::string& baseFolder = {});
    // What the last read left out or could not represent, one line each; a read also adds them to the
    // drawing's warning, which opening shows.
    [[nodiscard]] const std::vector<std::string>& Warnings() const { return warnings; }

    // Writes page (from 0) of the drawing through a temporary file renamed into place. The drawing is
    // not changed, except for its error message on failure.
    bool Write(const std::string& path, CDrawing& drawing, int page);
    bool WriteToMemory(std::string& text, CDrawing& drawing, int page);

private:
    std::vector<std::string> warnings;
};

} // namespace pq
