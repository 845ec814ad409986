#pragma once

#include "platform/image/ImageResult.h"

#include <cstdint>
#include <span>
#include <string>

namespace pq {

// Writes bytes to a file so that a crash or a full disk never leaves half a file where a good one stood:
// the bytes go to a new temporary file beside the target, which is flushed to the disk and then renamed
// over the target.
//
// What stood there is kept as the user set it up: a symbolic link stays a link and its target file
// receives the bytes, and a replaced file keeps its permission bits (and its owner and group where the
// system allows). A read-only file, a folder, and anything that is not a regular file (a pipe, a device)
// are refused and left alone.
//
// The temporary's name is short and hidden whatever the target's name, so any name the file system
// takes can be written. A writer killed mid-way leaves its temporary behind; the next write into that
// folder removes such leftovers: only regular files of this writer's own naming, owned by this user,
// whose writing process has ended or that have not been touched for a day.
//
// On any failure the temporary file is removed, the target is left as it was and the message names the
// file and the reason.
[[nodiscard]] CImageResult WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

} // namespace pq
