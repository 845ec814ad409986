#pragma once

#include <string>
#include <utility>

namespace pq {

// The outcome of decoding or writing an image: success, or failure with a message for the user that
// names the format and the field at fault ("BMP: pixel offset 900 lies beyond the end of the file").
struct [[nodiscard]] CImageResult {
    bool ok = false;
    std::string message;

    static CImageResult Success() { return {true, {}}; }
    static CImageResult Failure(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

} // namespace pq
