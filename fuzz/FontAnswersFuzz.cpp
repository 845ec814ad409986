#include "platform/FontAnswerFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

// Whatever is read must write back to the same bytes and read back the same.
void CheckRead(std::span<const uint8_t> bytes) {
    pq::CFontAnswers answers;
    if (!pq::DecodeFontAnswers(bytes, answers))
        return;
    const std::vector<uint8_t> again = pq::EncodeFontAnswers(answers);
    if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end()))
        __builtin_trap();
    pq::CFontAnswers reread;
    if (!pq::DecodeFontAnswers(again, reread) || !(reread == answers))
        __builtin_trap();
}

} // namespace

// Reads bytes as the font answer cache reads its file: refused or read whole, never a crash nor an
// allocation past the bounds. The bytes are tried as they are and, so that the fuzzer reaches past the
// hash into the counts and lengths, with their own correct hash appended.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    CheckRead(bytes);
    std::vector<uint8_t> hashed(bytes.begin(), bytes.end());
    const uint64_t hash = pq::FontAnswerChecksum(bytes);
    for (int i = 0; i < 8; ++i)
        hashed.push_back(static_cast<uint8_t>(hash >> (8 * i)));
    CheckRead(hashed);
    return 0;
}
