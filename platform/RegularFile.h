#pragma once

#include "platform/LargeBuffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pq {

// The largest drawing file a reader takes in: far beyond any real drawing, small enough that a mistaken
// or hostile name cannot make the program hold gigabytes.
inline constexpr std::size_t kMaxDrawingFileBytes = 512u * 1024 * 1024;

// Reads the whole of a regular file into bytes (replacing them). A folder, pipe, device or socket is
// refused before anything is read from it, so a name never blocks on a pipe nor streams a device
// forever, and a file larger than maxBytes is refused before anything is allocated for it. On failure
// bytes is empty and message names the file and the reason ("cannot read x.pdf: it is a folder, not a
// file").
[[nodiscard]] bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes,
                                   std::string& message);
// The same into memory for large buffers: a drawing of megabytes is read into huge pages where the system
// offers them, not faulted in 4 kB at a time.
[[nodiscard]] bool ReadRegularFile(const std::string& path, std::size_t maxBytes, CLargeBytes& bytes,
                                   std::string& message);

// True when path names a regular file this process may read. Nothing is opened, so a pipe never blocks.
[[nodiscard]] bool IsReadableRegularFile(const std::string& path);

} // namespace pq
