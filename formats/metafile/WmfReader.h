#pragma once

#include <cstdint>
#include <span>

namespace pq {

class CDrawing;
class CMetafilePlayback;

// Reads a standard (16-bit) Windows metafile, with or without the placeable header in front: paths,
// shapes, texts and pictures with the file's pens, brushes and fonts. The y axis is flipped for map
// modes and window extents where y grows upward, and a placeable file's box sets the size the content
// is fitted to. A record that claims more bytes than remain ends the reading with what came before it
// and a warning in the drawing's message.
class CWmfReader {
public:
    CWmfReader(std::span<const uint8_t> bytes, CDrawing& drawing);

    // Fills the (emptied) drawing; false with the reason in the drawing's message when the bytes are no
    // standard metafile.
    bool Read();

private:
    // Plays one record (framing included); false when it cannot be read completely.
    bool PlayRecord(uint16_t function, std::span<const uint8_t> record, CMetafilePlayback& playback);

    std::span<const uint8_t> data;
    CDrawing& drawing;
};

} // namespace pq
