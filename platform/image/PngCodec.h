#pragma once

#include "platform/DibSection.h"
#include "platform/image/ImageResult.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pq {

// PNG through libpng. Library errors come back as a failure with libpng's message, never as an exit.

// Decodes any PNG colour type and bit depth held in memory; 16-bit samples are cut to 8 bits and
// interlaced files are de-interlaced. Palette pictures become 8-bit bitmaps with their palette, grey
// pictures without transparency 8-bit bitmaps with a grey table, everything else 24-bit. Transparency is
// composited onto white (per palette entry for palette pictures), since bitmaps here carry no alpha.
// A picture larger than 10000 x 10000 is refused from its header, before the pixels are allocated.
[[nodiscard]] CImageResult DecodePng(std::span<const uint8_t> file, CDibSection& image);

// A PNG file encoded in memory for large buffers (platform/LargeBuffer.h), one block written once: the
// compressed rows go straight to their place in it, and a file written to disk is never copied.
class CPngFile {
public:
    CPngFile() = default;
    ~CPngFile();
    CPngFile(CPngFile&& other) noexcept;
    CPngFile& operator=(CPngFile&& other) noexcept;
    CPngFile(const CPngFile&) = delete;
    CPngFile& operator=(const CPngFile&) = delete;

    [[nodiscard]] std::span<const uint8_t> Bytes() const { return {block, size}; }
    // Room for capacity bytes, whose first bytes the encoder then declares the file; the file held
    // before is gone. Throws std::bad_alloc.
    [[nodiscard]] uint8_t* Prepare(std::size_t capacity);
    void SetSize(std::size_t bytes) { size = bytes; }

private:
    uint8_t* block = nullptr;
    std::size_t capacity = 0;
    std::size_t size = 0;
};

// Writes a bitmap as PNG: 1, 2, 4 and 8-bit bitmaps as palette pictures of the same depth (the whole
// 2^depth palette), 16, 24 and 32-bit ones as 8-bit RGB. Decoding the result gives the same colours.
[[nodiscard]] CImageResult EncodePng(const CDibSection& image, CPngFile& file);
// The same into a vector.
[[nodiscard]] CImageResult EncodePng(const CDibSection& image, std::vector<uint8_t>& file);

} // namespace pq
