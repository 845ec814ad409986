#pragma once

#include "platform/DibSection.h"
#include "platform/image/ImageResult.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pq {

// Image files as the program meets them: inserting a picture, exporting a page, storing thumbnails.

// Files larger than this are not read at all: the largest picture allowed (10000 x 10000 at 32 bits per
// pixel, uncompressed) is 400 MB.
inline constexpr std::size_t kMaxImageFileBytes = 512u * 1024 * 1024;

// True when the name's last four characters, lower-cased, are ".bmp", ".jpg", ".gif", ".png" or ".2bp".
// Names shorter than four characters are not images; ".jpeg" is not one of the accepted endings.
[[nodiscard]] bool IsImageFile(std::string_view fileName);

// Decodes a picture held in memory, choosing the decoder by the data's signature (BMP and the 2-bit
// format share "BM"), so a file whose name does not match its contents still decodes.
[[nodiscard]] CImageResult DecodeImage(std::span<const uint8_t> file, CDibSection& image);

// Reads and decodes an image file into image, which is left empty on failure. The message names the file
// when it cannot be read, the format and field when it cannot be decoded.
[[nodiscard]] CImageResult LoadImageFile(const std::string& path, CDibSection& image);

// Removes everything from the last "." of the file's own name (when it has one) and appends "." and the
// extension. A dot in a folder name is not the start of an extension: "a.b/c" becomes "a.b/c.jpg".
[[nodiscard]] std::string ReplaceExtension(std::string_view fileName, std::string_view extension);

// Writers. Each builds the whole file in memory and writes it through a temporary file renamed over the
// target, so a failed write leaves any earlier file of that name intact; a file that cannot be created
// is a failure.
//
// The bitmap as a BMP file of its own depth (see EncodeBmp).
[[nodiscard]] CImageResult WriteBmpFile(const CDibSection& image, const std::string& fileName);
// A 24-bit bitmap as a JPEG file (see EncodeJpeg); other depths are refused and nothing is written.
[[nodiscard]] CImageResult WriteJpegFile(const std::string& fileName, const CDibSection& image,
                                         int quality = 100);
// The bitmap as a PNG file (see EncodePng).
[[nodiscard]] CImageResult WritePngFile(const std::string& fileName, const CDibSection& image);

} // namespace pq
