#include "send/FtpReply.h"

#include <charconv>

namespace pq {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The code of a line that starts with three digits, else -1.
int LeadingCode(std::string_view line) {
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]))
        return -1;
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

// A decimal number of at most max with no sign, no blanks inside and nothing after it but blanks.
std::optional<int> ParseField(std::string_view field, int max) {
    while (!field.empty() && field.front() == ' ')
        field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    if (field.empty() || field.size() > 5)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size() || value < 0 || value > max)
        return std::nullopt;
    return value;
}

// The text between the first "(" and the ")" after it.
std::optional<std::string_view> Parenthesised(std::string_view text) {
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::size_t close = text.find(')', open + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return text.substr(open + 1, close - open - 1);
}

} // namespace

CFtpReplyReader::Status CFtpReplyReader::Feed(std::string_view data, std::size_t& used) {
    used = 0;
    if (complete)
        return Status::Complete;
    if (!error.empty())
        return Status::Malformed;
    while (used < data.size()) {
        const char c = data[used++];
        if (c != '\n') {
            line += c;
            if (line.size() > kMaxLineBytes) {
                error =
                    "the server sent a reply line longer than " + std::to_string(kMaxLineBytes) + " bytes";
                return Status::Malformed;
            }
            continue;
        }
        const Status status = EndLine();
        if (status != Status::NeedMore)
            return status;
    }
    return Status::NeedMore;
}

CFtpReplyReader::Status CFtpReplyReader::EndLine() {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    reply.text += line;
    reply.text += "\r\n";
    const std::string_view text(line);
    const int code = LeadingCode(text);
    line.clear();
    if (reply.text.size() > kMaxReplyBytes) {
        error = "the server sent a reply longer than " + std::to_string(kMaxReplyBytes) + " bytes";
        return Status::Malformed;
    }
    if (multiLineCode < 0) {
        if (code < 0 || (text.size() > 3 && text[3] != ' ' && text[3] != '-')) {
            error = "the server's reply does not start with a three-digit code";
            return Status::Malformed;
        }
        if (text.size() > 3 && text[3] == '-') {
            multiLineCode = code;
            return Status::NeedMore;
        }
    } else if (code != multiLineCode || (text.size() > 3 && text[3] != ' ')) {
        return Status::NeedMore;
    }
    reply.code = code;
    complete = true;
    return Status::Complete;
}

CFtpReply CFtpReplyReader::Take() {
    CFtpReply result = std::move(reply);
    Reset();
    return result;
}

void CFtpReplyReader::Reset() {
    line.clear();
    reply = {};
    multiLineCode = -1;
    complete = false;
    error.clear();
}

std::optional<CPassiveAddress> ParsePasvReply(std::string_view text) {
    const auto inner = Parenthesised(text);
    if (!inner)
        return std::nullopt;
    int fields[6];
    std::string_view rest = *inner;
    for (int i = 0; i < 6; ++i) {
        const std::size_t comma = rest.find(',');
        if ((comma == std::string_view::npos) != (i == 5))
            return std::nullopt;
        const auto value = ParseField(rest.substr(0, comma), 255);
        if (!value)
            return std::nullopt;
        fields[i] = *value;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    CPassiveAddress address;
    for (int i = 0; i < 4; ++i)
        address.host[i] = static_cast<uint8_t>(fields[i]);
    address.port = static_cast<uint16_t>(fields[4] * 256 + fields[5]);
    if (address.port == 0)
        return std::nullopt;
    return address;
}

std::optional<uint16_t> ParseEpsvReply(std::string_view text) {
    const auto inner = Parenthesised(text);
    // At least "|||p|": three delimiters, a digit, a delimiter.
    if (!inner || inner->size() < 5)
        return std::nullopt;
    const char d = (*inner)[0];
    if (d < 33 || d > 126 || IsDigit(d) || (*inner)[1] != d || (*inner)[2] != d || inner->back() != d)
        return std::nullopt;
    const std::string_view digits = inner->substr(3, inner->size() - 4);
    for (char c : digits)
        if (!IsDigit(c))
            return std::nullopt;
    const auto port = ParseField(digits, 65535);
    if (!port || *port == 0)
        return std::nullopt;
    return static_cast<uint16_t>(*port);
}

} // namespace pq
