#include "formats/metafile/MetafileBytes.h"

#include <bit>
#include <cstring>

namespace pq {

void CMetafileSink::U16(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
}

void CMetafileSink::U32(uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(v >> shift));
}

void CMetafileSink::F32(float v) {
    U32(std::bit_cast<uint32_t>(v));
}

void CMetafileSink::PatchU32(std::size_t offset, uint32_t v) {
    for (int k = 0; k < 4 && offset + static_cast<std::size_t>(k) < bytes.size(); ++k)
        bytes[offset + static_cast<std::size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
}

void CMetafileSink::BeginRecord(uint32_t type) {
    recordStart = bytes.size();
    U32(type);
    U32(0);
}

void CMetafileSink::EndRecord() {
    while ((bytes.size() - recordStart) % 4 != 0)
        bytes.push_back(0);
    PatchU32(recordStart + 4, static_cast<uint32_t>(bytes.size() - recordStart));
    ++records;
}

bool CMetafileCursor::Has(std::size_t count) {
    if (ok && at <= bytes.size() && bytes.size() - at >= count)
        return true;
    ok = false;
    return false;
}

uint8_t CMetafileCursor::U8() {
    if (!Has(1))
        return 0;
    return bytes[at++];
}

uint16_t CMetafileCursor::U16() {
    if (!Has(2))
        return 0;
    const uint16_t v = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
    at += 2;
    return v;
}

uint32_t CMetafileCursor::U32() {
    if (!Has(4))
        return 0;
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | bytes[at + static_cast<std::size_t>(k)];
    at += 4;
    return v;
}

float CMetafileCursor::F32() {
    return std::bit_cast<float>(U32());
}

void CMetafileCursor::Skip(std::size_t count) {
    if (Has(count))
        at += count;
}

void CMetafileCursor::Seek(std::size_t offset) {
    if (offset > bytes.size()) {
        ok = false;
        return;
    }
    at = offset;
}

std::span<const uint8_t> CMetafileCursor::Take(std::size_t count) {
    if (!Has(count))
        return {};
    const std::span<const uint8_t> part = bytes.subspan(at, count);
    at += count;
    return part;
}

} // namespace pq
