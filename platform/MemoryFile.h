#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pq {

// A growable random-access byte stream held in memory: object records, undo histories and the
// clipboard are written to and read from it. Writing past the end extends it (a gap left by seeking
// beyond the end is zero-filled); reading never goes past the end and reports how much it read.
// The storage grows in whole steps of growBytes (by at least half its size at a time) so that neither
// many small writes nor one long record reallocate over and over.
class CMemoryFile {
public:
    enum class SeekFrom { Begin, Current, End };
    static constexpr std::size_t kDefaultGrowBytes = 1024;

    explicit CMemoryFile(std::size_t growBytes = kDefaultGrowBytes);
    // A stream holding a copy of bytes, positioned at its start.
    explicit CMemoryFile(std::span<const uint8_t> bytes, std::size_t growBytes = kDefaultGrowBytes);

    // Step by which the storage grows when a write needs more room; 0 counts as 1.
    void SetGrowBytes(std::size_t step) { growBytes = step == 0 ? 1 : step; }
    [[nodiscard]] std::size_t GetGrowBytes() const { return growBytes; }

    // Copies up to count bytes from the position and advances past them; returns the number copied,
    // which is smaller than count only at the end of the stream.
    [[nodiscard]] std::size_t Read(void* buffer, std::size_t count);
    // Writes count bytes at the position, extending the stream as needed; false (and nothing written)
    // when the memory cannot be obtained.
    bool Write(const void* buffer, std::size_t count);
    bool Write(std::span<const uint8_t> bytes) { return Write(bytes.data(), bytes.size()); }

    // Moves the position; a position before the start is refused (false, position unchanged).
    // A position beyond the end is allowed: reads there return nothing, a write fills the gap with zeros.
    bool Seek(int64_t offset, SeekFrom from = SeekFrom::Begin);
    [[nodiscard]] std::size_t GetPosition() const { return position; }
    [[nodiscard]] std::size_t GetLength() const { return bytes.size(); }
    // Bytes between the position and the end (0 when the position is at or beyond the end).
    [[nodiscard]] std::size_t Remaining() const {
        return position < bytes.size() ? bytes.size() - position : 0;
    }

    // Truncates or zero-extends the stream; a position beyond the new end moves to the end.
    bool SetLength(std::size_t length);
    // Empties the stream, frees its storage and moves the position to 0.
    void Clear();

    [[nodiscard]] const uint8_t* GetData() const { return bytes.data(); }
    [[nodiscard]] uint8_t* GetData() { return bytes.data(); }
    [[nodiscard]] std::span<const uint8_t> GetBytes() const { return bytes; }
    [[nodiscard]] std::size_t GetCapacity() const { return bytes.capacity(); }

    // Little-endian fixed-size values. A read with fewer bytes left than the value needs returns false
    // and leaves the position where it was.
    [[nodiscard]] bool ReadInt32(int32_t& value);
    [[nodiscard]] bool ReadUInt32(uint32_t& value);
    [[nodiscard]] bool ReadUInt16(uint16_t& value);
    [[nodiscard]] bool ReadFloat(float& value);
    bool WriteInt32(int32_t value);
    bool WriteUInt32(uint32_t value);
    bool WriteUInt16(uint16_t value);
    bool WriteFloat(float value);

private:
    bool Reserve(std::size_t wanted);

    std::vector<uint8_t> bytes;
    std::size_t position = 0;
    std::size_t growBytes = kDefaultGrowBytes;
};

} // namespace pq
