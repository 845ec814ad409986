#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// One complete reply of an FTP server: its three-digit code and every line of it, each ending in "\r\n".
struct CFtpReply {
    int code = 0;
    std::string text;
};

// Gathers the bytes of the control connection into replies (RFC 959, 4.2). A reply is one line
// "ddd text", or a first line "ddd-text", any lines, and a last line starting with the same "ddd ". Lines
// end with CR LF; a bare LF is taken as well, since some servers send it. Lines inside a multi-line reply
// may start with anything, digits included.
class CFtpReplyReader {
public:
    // Limits that keep a hostile or broken server from growing the reply without end.
    static constexpr std::size_t kMaxLineBytes = 8 * 1024;
    static constexpr std::size_t kMaxReplyBytes = 64 * 1024;

    enum class Status { NeedMore, Complete, Malformed };

    // Takes the bytes from data that belong to the current reply and says how many it took in used: the
    // rest (the start of a later reply) is left for the next call. Complete: Take() gives the reply.
    // Malformed: a first line without a code, or a line or reply past its limit; error says which.
    Status Feed(std::string_view data, std::size_t& used);

    // The reply completed by Feed, after which the reader starts on the next one.
    [[nodiscard]] CFtpReply Take();
    [[nodiscard]] const std::string& GetError() const { return error; }
    // Forgets any partial reply.
    void Reset();

private:
    Status EndLine();

    std::string line;
    CFtpReply reply;
    int multiLineCode = -1; // the code a multi-line reply must end with; -1 before its first line
    bool complete = false;
    std::string error;
};

// The address of a passive data connection.
struct CPassiveAddress {
    uint8_t host[4] = {};
    uint16_t port = 0;
};

// The "h1,h2,h3,h4,p1,p2" between the first "(" and the next ")" of a 227 reply, each field a decimal
// number of 0..255 and the port not 0. Nothing when the parentheses or any field are missing or wrong.
[[nodiscard]] std::optional<CPassiveAddress> ParsePasvReply(std::string_view text);

// The port of a 229 reply: "(" d d d port d ")" with any printable delimiter d (RFC 2428); the port 1..65535.
[[nodiscard]] std::optional<uint16_t> ParseEpsvReply(std::string_view text);

} // namespace pq
