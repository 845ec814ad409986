#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace pq {

// Little-endian output of metafile records. A record is opened with its type and a placeholder size,
// filled, then closed, which writes its true size (framing included) and pads it to four bytes.
class CMetafileSink {
public:
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void F32(float v);
    void Raw(std::span<const uint8_t> data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    void Raw(std::string_view text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
    void Zeros(std::size_t count) { bytes.insert(bytes.end(), count, 0); }
    // Overwrites four bytes at offset (which must already be written).
    void PatchU32(std::size_t offset, uint32_t v);

    // Enhanced-metafile framing: type and size, both 32 bits.
    void BeginRecord(uint32_t type);
    void EndRecord();
    [[nodiscard]] uint32_t RecordCount() const { return records; }

    [[nodiscard]] std::size_t Size() const { return bytes.size(); }
    [[nodiscard]] std::vector<uint8_t>& Bytes() { return bytes; }

private:
    std::vector<uint8_t> bytes;
    std::size_t recordStart = 0;
    uint32_t records = 0;
};

// Bounds-checked little-endian reading of one record's bytes. A read past the end gives 0 and clears
// Ok(), so a decoder reads every field and checks once at the end.
class CMetafileCursor {
public:
    explicit CMetafileCursor(std::span<const uint8_t> data, std::size_t start = 0) : bytes(data), at(start) {}

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float F32();
    void Skip(std::size_t count);
    void Seek(std::size_t offset);
    // The next count bytes (empty and not Ok() when fewer remain).
    std::span<const uint8_t> Take(std::size_t count);

    [[nodiscard]] bool Ok() const { return ok; }
    [[nodiscard]] std::size_t Position() const { return at; }
    [[nodiscard]] std::size_t Remaining() const { return at < bytes.size() ? bytes.size() - at : 0; }
    [[nodiscard]] std::span<const uint8_t> Data() const { return bytes; }

private:
    bool Has(std::size_t count);

    std::span<const uint8_t> bytes;
    std::size_t at = 0;
    bool ok = true;
};

} // namespace pq
