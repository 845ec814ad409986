#include "send/FtpReply.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Reads server bytes as the client does, in pieces whose sizes come from the data, and parses every
// reply as a passive-mode answer: it must complete, refuse or wait for more, never crash, loop or grow
// past its limits.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t piece = 1 + data[0] % 64;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    pq::CFtpReplyReader reader;
    std::string pending;
    while (!bytes.empty()) {
        pending += bytes.substr(0, piece);
        bytes.remove_prefix(std::min(piece, bytes.size()));
        for (;;) {
            std::size_t used = 0;
            const auto status = reader.Feed(pending, used);
            if (used > pending.size())
                __builtin_trap();
            pending.erase(0, used);
            if (status == pq::CFtpReplyReader::Status::Malformed)
                return 0;
            if (status == pq::CFtpReplyReader::Status::NeedMore)
                break;
            const pq::CFtpReply reply = reader.Take();
            if (reply.code < 0 || reply.code > 999 || reply.text.size() > pq::CFtpReplyReader::kMaxReplyBytes)
                __builtin_trap();
            (void)pq::ParsePasvReply(reply.text);
            (void)pq::ParseEpsvReply(reply.text);
        }
    }
    (void)pq::ParsePasvReply(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)pq::ParseEpsvReply(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
