#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pq {

class CDrawing;

// Enhanced and standard Windows metafiles, written and read record by record by our own code (there is
// no system metafile player on this platform). Every call is independent; a failing call leaves a
// readable reason in the drawing's error message.
class CMetafile {
public:
    // Files larger than this are not read: no drawing's metafile comes near it.
    static constexpr std::size_t kMaxFileBytes = 512u << 20;

    // Writes the page (clamped to the drawing's pages) as an enhanced metafile, through a temporary file
    // renamed into place. When width and height are both positive the content is scaled to fit that
    // size in document units. The drawing is not changed, but for its message on failure.
    bool ExportToEmf(const std::string& path, CDrawing& drawing, int page, int width = -1, int height = -1);
    // The same bytes, into a buffer.
    static std::vector<uint8_t> ExportToMemory(const CDrawing& drawing, int page, int width = -1,
                                               int height = -1);

    // Empties the drawing, then reads an enhanced metafile or, failing that, a standard one (placeable or
    // not). A damaged record ends the reading with what came before it and a warning in the drawing's
    // message; the call still succeeds.
    bool ImportFromMetafile(const std::string& path, CDrawing& drawing);
    bool ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing);
};

} // namespace pq
