#pragma once

#include "platform/image/ImageResult.h"

#include <cstdint>
#include <span>
#include <string>

namespace pq {

// Writes bytes to a file so that a crash or a full disk never leaves half a file where a good one stood:
// the bytes go to a new temporary file beside the target, which is flushed to the disk and then renamed
// over the target. On any failure the temporary file is removed, the target is left as it was and the
// message names the file and the system's reason.
[[nodiscard]] CImageResult WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

} // namespace pq
