#pragma once

#include <cstdint>
#include <span>

namespace pq {

class CDrawing;
class CMetafilePlayback;

// Reads an enhanced metafile record by record into a drawing: paths, shapes, texts and pictures with
// the file's pens, brushes and fonts, groups from our private "QGRP" comment, and the content fitted to
// the header's frame. A record that claims more bytes than remain ends the reading with what came
// before it and a warning in the drawing's message.
class CEmfReader {
public:
    CEmfReader(std::span<const uint8_t> bytes, CDrawing& drawing);

    // True when the bytes start with an enhanced-metafile header.
    [[nodiscard]] static bool IsEnhancedMetafile(std::span<const uint8_t> bytes);

    // Fills the (emptied) drawing. False, with the reason in the drawing's message, when the header
    // cannot be used.
    bool Read();

private:
    // Plays one record (framing included); false when it cannot be read completely.
    bool PlayRecord(uint32_t type, std::span<const uint8_t> record, CMetafilePlayback& playback);

    std::span<const uint8_t> data;
    CDrawing& drawing;
};

} // namespace pq
