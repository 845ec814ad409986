#include "platform/FontAnswerFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Reads bytes as the font answer cache reads its file: a file is refused or read whole, never crashes
// or allocates past the bounds, and whatever is read writes back to the same bytes and reads back the
// same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CFontAnswers answers;
    if (!pq::DecodeFontAnswers(std::span(data, size), answers))
        return 0;
    const std::vector<uint8_t> again = pq::EncodeFontAnswers(answers);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data))
        __builtin_trap();
    pq::CFontAnswers reread;
    if (!pq::DecodeFontAnswers(again, reread) || !(reread == answers))
        __builtin_trap();
    return 0;
}
