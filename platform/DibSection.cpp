#include "platform/DibSection.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pq {

namespace {

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t GetU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// Rows of a valid header, without the top-down sign.
int64_t GetHeightOf(const CBitmapInfoHeader& h) {
    return h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
}

} // namespace

void CBitmapInfoHeader::WriteTo(uint8_t* out) const {
    PutU32(out + 0, size);
    PutU32(out + 4, static_cast<uint32_t>(width));
    PutU32(out + 8, static_cast<uint32_t>(height));
    PutU16(out + 12, planes);
    PutU16(out + 14, bitCount);
    PutU32(out + 16, compression);
    PutU32(out + 20, sizeImage);
    PutU32(out + 24, static_cast<uint32_t>(xPelsPerMeter));
    PutU32(out + 28, static_cast<uint32_t>(yPelsPerMeter));
    PutU32(out + 32, clrUsed);
    PutU32(out + 36, clrImportant);
}

CBitmapInfoHeader CBitmapInfoHeader::ReadFrom(const uint8_t* in) {
    CBitmapInfoHeader h;
    h.size = GetU32(in + 0);
    h.width = static_cast<int32_t>(GetU32(in + 4));
    h.height = static_cast<int32_t>(GetU32(in + 8));
    h.planes = GetU16(in + 12);
    h.bitCount = GetU16(in + 14);
    h.compression = GetU32(in + 16);
    h.sizeImage = GetU32(in + 20);
    h.xPelsPerMeter = static_cast<int32_t>(GetU32(in + 24));
    h.yPelsPerMeter = static_cast<int32_t>(GetU32(in + 28));
    h.clrUsed = GetU32(in + 32);
    h.clrImportant = GetU32(in + 36);
    return h;
}

uint32_t CDibSection::ColourTableSize(uint32_t bitCount, uint32_t clrUsed) {
    uint32_t n = 0;
    switch (bitCount) {
    case 1:
        n = 2;
        break;
    case 2:
        n = 4;
        break;
    case 4:
        n = 16;
        break;
    case 8:
        n = 256;
        break;
    case 16:
    case 32:
        n = 3;
        break;
    default:
        n = 0;
        break;
    }
    if (clrUsed != 0 && clrUsed < n)
        n = clrUsed;
    return n;
}

std::size_t CDibSection::BytesPerRow(int32_t width, uint32_t bitCount) {
    if (width <= 0)
        return 0;
    const uint64_t bitsPerRow = static_cast<uint64_t>(width) * bitCount;
    return static_cast<std::size_t>(((bitsPerRow + 31) & ~uint64_t{31}) / 8);
}

bool CDibSection::IsValidHeader(const CBitmapInfoHeader& h) {
    if (h.size != CBitmapInfoHeader::kSize || h.planes != 1)
        return false;
    switch (h.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 24:
        if (h.compression != CBitmapInfoHeader::kCompressionNone)
            return false;
        break;
    case 16:
    case 32:
        if (h.compression != CBitmapInfoHeader::kCompressionNone &&
            h.compression != CBitmapInfoHeader::kCompressionFields)
            return false;
        break;
    default:
        return false;
    }
    if (h.width < 1 || h.width > kMaxWidth)
        return false;
    // Compare as 64-bit so that the most negative height does not overflow when negated.
    const int64_t rows = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
    return rows >= 1 && rows <= kMaxHeight;
}

void CDibSection::Clear() {
    header = CBitmapInfoHeader{};
    std::vector<uint32_t>().swap(colours);
    colourCount = 0;
    bits.reset();
}

std::span<uint8_t> CDibSection::GetBits() {
    if (bits == nullptr)
        return {};
    if (bits.use_count() > 1)
        bits = std::make_shared<CPixelBytes>(*bits);
    return *bits;
}

bool CDibSection::operator==(const CDibSection& other) const {
    const auto table = GetColourTable();
    const auto otherTable = other.GetColourTable();
    return header == other.header && std::ranges::equal(table, otherTable) &&
           std::ranges::equal(GetBits(), other.GetBits());
}

bool CDibSection::SetFromDib(const CBitmapInfoHeader& source, std::span<const uint32_t> table,
                             std::span<const uint8_t> pixelBytes) {
    Clear();
    if (!IsValidHeader(source))
        return false;
    const uint32_t count = ColourTableSize(source.bitCount, source.clrUsed);
    if (table.size() < count)
        return false;
    CBitmapInfoHeader h = source;
    const std::size_t needed = BytesPerRow(h.width, h.bitCount) * static_cast<std::size_t>(GetHeightOf(h));
    if (h.sizeImage == 0)
        h.sizeImage = static_cast<uint32_t>(needed);
    // A section holds every row it describes: fewer bytes than the rows need would leave rows unbacked.
    if (h.sizeImage < needed || pixelBytes.size() < h.sizeImage)
        return false;
    try {
        colours.assign(count, 0);
        bits = std::make_shared<CPixelBytes>(pixelBytes.begin(), pixelBytes.begin() + h.sizeImage);
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    std::copy_n(table.begin(), count, colours.begin());
    colourCount = count;
    header = h;
    return true;
}

bool CDibSection::Create(int32_t width, int32_t height, uint16_t bitCount) {
    CBitmapInfoHeader h;
    h.size = CBitmapInfoHeader::kSize;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = bitCount;
    if (!IsValidHeader(h))
        return false;
    const std::size_t needed = BytesPerRow(h.width, h.bitCount) * static_cast<std::size_t>(GetHeightOf(h));
    h.sizeImage = static_cast<uint32_t>(needed);
    // The pixels are zeroed where they are kept: a page at print size is 13 MB, once is enough.
    Clear();
    const uint32_t count = ColourTableSize(bitCount, 0);
    try {
        colours.assign(count, 0);
        bits = std::make_shared<CPixelBytes>(needed, uint8_t{0});
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    colourCount = count;
    header = h;
    return true;
}

std::vector<uint8_t> CDibSection::GetInfoBytes() const {
    std::vector<uint8_t> out(CBitmapInfoHeader::kSize + 4 * static_cast<std::size_t>(colourCount));
    header.WriteTo(out.data());
    for (uint32_t i = 0; i < colourCount; ++i)
        PutU32(out.data() + CBitmapInfoHeader::kSize + 4 * i, colours[i]);
    return out;
}

bool CDibSection::SetFromInfoBytes(std::span<const uint8_t> info, std::span<const uint8_t> pixelBytes) {
    Clear();
    if (info.size() < CBitmapInfoHeader::kSize)
        return false;
    const CBitmapInfoHeader h = CBitmapInfoHeader::ReadFrom(info.data());
    if (!IsValidHeader(h))
        return false;
    const uint32_t count = ColourTableSize(h.bitCount, h.clrUsed);
    if (info.size() != CBitmapInfoHeader::kSize + 4 * static_cast<std::size_t>(count))
        return false;
    uint32_t table[kMaxColours] = {};
    for (uint32_t i = 0; i < count; ++i)
        table[i] = GetU32(info.data() + CBitmapInfoHeader::kSize + 4 * i);
    return SetFromDib(h, std::span<const uint32_t>(table, count), pixelBytes);
}

bool CDibSection::SetColourTable(std::span<const uint32_t> entries) {
    if (colourCount == 0)
        return false;
    const std::size_t n = std::min<std::size_t>(entries.size(), colourCount);
    std::copy_n(entries.begin(), n, colours.begin());
    return true;
}

} // namespace pq
