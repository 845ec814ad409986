#include "platform/MemoryFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>

namespace pq {

CMemoryFile::CMemoryFile(std::size_t growBytes_) {
    SetGrowBytes(growBytes_);
}

CMemoryFile::CMemoryFile(std::span<const uint8_t> initial, std::size_t growBytes_)
    : bytes(initial.begin(), initial.end()) {
    SetGrowBytes(growBytes_);
}

bool CMemoryFile::Reserve(std::size_t wanted) {
    if (wanted <= bytes.capacity())
        return true;
    // Grow by at least half the current size, rounded up to whole steps: a run of small writes
    // reallocates once per step, and a long record does not copy the stream once per step.
    const std::size_t old = bytes.capacity();
    const std::size_t target = std::max(wanted, old + old / 2);
    const std::size_t steps = target / growBytes + (target % growBytes != 0 ? 1 : 0);
    const std::size_t capacity = steps * growBytes;
    if (capacity / growBytes != steps || capacity < wanted) // the multiplication wrapped
        return false;
    try {
        bytes.reserve(capacity);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

std::size_t CMemoryFile::Read(void* buffer, std::size_t count) {
    const std::size_t n = std::min(count, Remaining());
    if (n > 0) {
        std::memcpy(buffer, bytes.data() + position, n);
        position += n;
    }
    return n;
}

bool CMemoryFile::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return true;
    const std::size_t end = position + count;
    if (end < position || !Reserve(end))
        return false;
    if (end > bytes.size())
        bytes.resize(end); // zero-fills any gap left by a seek beyond the end
    std::memcpy(bytes.data() + position, buffer, count);
    position = end;
    return true;
}

bool CMemoryFile::Seek(int64_t offset, SeekFrom from) {
    int64_t base = 0;
    if (from == SeekFrom::Current)
        base = static_cast<int64_t>(position);
    else if (from == SeekFrom::End)
        base = static_cast<int64_t>(bytes.size());
    if (offset < 0 && base < -offset)
        return false;
    position = static_cast<std::size_t>(base + offset);
    return true;
}

bool CMemoryFile::SetLength(std::size_t length) {
    if (length > bytes.size() && !Reserve(length))
        return false;
    bytes.resize(length);
    if (position > length)
        position = length;
    return true;
}

void CMemoryFile::Clear() {
    std::vector<uint8_t>().swap(bytes);
    position = 0;
}

namespace {

template <typename T> T FromLittleEndian(const uint8_t* p) {
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value = static_cast<T>(value | static_cast<T>(static_cast<T>(p[i]) << (8 * i)));
    return value;
}

template <typename T> void ToLittleEndian(T value, uint8_t* p) {
    for (std::size_t i = 0; i < sizeof(T); ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

bool CMemoryFile::ReadUInt32(uint32_t& value) {
    if (Remaining() < 4)
        return false;
    value = FromLittleEndian<uint32_t>(bytes.data() + position);
    position += 4;
    return true;
}

bool CMemoryFile::ReadInt32(int32_t& value) {
    uint32_t u = 0;
    if (!ReadUInt32(u))
        return false;
    value = static_cast<int32_t>(u);
    return true;
}

bool CMemoryFile::ReadUInt16(uint16_t& value) {
    if (Remaining() < 2)
        return false;
    value = FromLittleEndian<uint16_t>(bytes.data() + position);
    position += 2;
    return true;
}

bool CMemoryFile::ReadFloat(float& value) {
    uint32_t u = 0;
    if (!ReadUInt32(u))
        return false;
    value = std::bit_cast<float>(u);
    return true;
}

bool CMemoryFile::WriteUInt32(uint32_t value) {
    uint8_t b[4];
    ToLittleEndian(value, b);
    return Write(b, 4);
}

bool CMemoryFile::WriteInt32(int32_t value) {
    return WriteUInt32(static_cast<uint32_t>(value));
}

bool CMemoryFile::WriteUInt16(uint16_t value) {
    uint8_t b[2];
    ToLittleEndian(value, b);
    return Write(b, 2);
}

bool CMemoryFile::WriteFloat(float value) {
    return WriteUInt32(std::bit_cast<uint32_t>(value));
}

} // namespace pq
