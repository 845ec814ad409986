#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace pq {

class CInflater;

// The reader's view of the native format: raw bytes searched for exact strings and read line by line.

// The position of the first occurrence of pattern that starts in [from, to) and fits before to; nothing
// when there is none. to is cut to the data's end.
[[nodiscard]] std::optional<std::size_t> FindBytes(std::span<const uint8_t> data, std::string_view pattern,
                                                   std::size_t from, std::size_t to);
// The same for the last occurrence in the whole data.
[[nodiscard]] std::optional<std::size_t> FindLastBytes(std::span<const uint8_t> data,
                                                       std::string_view pattern);

// Reads lines: CR, LF and zero bytes separate them, and blanks around a line are trimmed. A line that is
// empty once trimmed, like the end of the data, ends a reading loop.
class CPdfLineReader {
public:
    explicit CPdfLineReader(std::span<const uint8_t> bytes, std::size_t position = 0);
    // Lines of an inflating stream, taken from it a piece at a time: only the line being read and the
    // piece after it are held, however long the stream. A line read stays valid until the next Next.
    // Position, Seek and StreamDataStart count within the piece held and are not for this use.
    CPdfLineReader(CInflater& source, std::size_t pieceBytes);
    CPdfLineReader(const CPdfLineReader&) = delete;
    CPdfLineReader& operator=(const CPdfLineReader&) = delete;

    // The next line, or false at the end of the data or at an empty line.
    bool Next(std::string_view& line);
    // Where the last line read ended: the index of the byte after its last character.
    [[nodiscard]] std::size_t LineEnd() const { return lineEnd; }
    // Where the next line is looked for.
    [[nodiscard]] std::size_t Position() const { return position; }
    void Seek(std::size_t to) { position = to < data.size() ? to : data.size(); }
    // The index past the end-of-line marker of the last line read (CR LF, LF or CR), where the data of a
    // stream whose keyword ended that line begins.
    [[nodiscard]] std::size_t StreamDataStart() const;

private:
    // Drops the held bytes before keepFrom and appends the source's next piece; false when the source
    // has nothing more.
    bool Refill(std::size_t keepFrom);

    CInflater* source = nullptr;
    std::size_t pieceBytes = 0;
    std::vector<uint8_t> held;
    std::span<const uint8_t> data;
    std::size_t position = 0;
    std::size_t lineEnd = 0;
};

[[nodiscard]] inline bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}
[[nodiscard]] inline bool Contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}

} // namespace pq
