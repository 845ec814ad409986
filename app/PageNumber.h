#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pq {

// What "Go to page..." makes of the text typed into its dialog.
struct CPageNumberChoice {
    std::optional<int> pageIndex; // zero-based; nothing when the text was refused
    std::string message;          // why it was refused, in words for the user
};

// Reads a page number from 1 to pageCount: digits, with blanks around them allowed. Anything else (a
// sign, a fraction, letters, nothing) is not a page number; a number outside 1 .. pageCount names no
// page. Both are refused with a message.
[[nodiscard]] CPageNumberChoice ParsePageNumber(std::string_view text, int pageCount);

// The prompt of the dialog: which numbers it takes.
[[nodiscard]] std::string PageNumberPrompt(int pageCount);

} // namespace pq
