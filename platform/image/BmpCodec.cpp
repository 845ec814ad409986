#include "platform/image/BmpCodec.h"

#include "platform/image/DibPixels.h"

#include <algorithm>
#include <array>
#include <string>

namespace pq {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionAlphaFields = 6;

std::string Num(uint64_t v) {
    return std::to_string(v);
}

uint32_t U32(std::span<const uint8_t> d, std::size_t at) {
    return static_cast<uint32_t>(d[at]) | static_cast<uint32_t>(d[at + 1]) << 8 |
           static_cast<uint32_t>(d[at + 2]) << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}

uint16_t U16(std::span<const uint8_t> d, std::size_t at) {
    return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

void PutU32(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

CImageResult Fail(const std::string& text) {
    return CImageResult::Failure("BMP: " + text);
}

// What the headers of a file say, once checked against the file's size.
struct CBmpLayout {
    int32_t width = 0;
    int32_t rows = 0;
    bool topDown = false;
    uint32_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t masks[3] = {};
    std::array<uint32_t, 256> table{};
    uint32_t tableEntries = 0; // entries the file actually gives
    std::size_t pixelOffset = 0;
};

CImageResult ReadLayout(std::span<const uint8_t> d, CBmpLayout& L) {
    if (d.size() < kFileHeaderSize + 4)
        return Fail("file too short for its headers (" + Num(d.size()) + " bytes)");
    if (d[0] != 'B' || d[1] != 'M')
        return Fail("missing the \"BM\" signature");
    const uint32_t pixelOffset = U32(d, 10);
    const uint32_t infoSize = U32(d, 14);
    if (infoSize != kCoreHeaderSize && infoSize < kInfoHeaderSize)
        return Fail("unsupported info header size " + Num(infoSize));
    if (infoSize > d.size() - kFileHeaderSize)
        return Fail("info header of " + Num(infoSize) + " bytes runs past the end of the file (" +
                    Num(d.size()) + " bytes)");
    const bool core = infoSize == kCoreHeaderSize;
    int64_t width = 0;
    int64_t height = 0;
    uint32_t planes = 0;
    uint32_t clrUsed = 0;
    if (core) {
        width = U16(d, 18);
        height = U16(d, 20);
        planes = U16(d, 22);
        L.bitCount = U16(d, 24);
    } else {
        width = static_cast<int32_t>(U32(d, 18));
        height = static_cast<int32_t>(U32(d, 22));
        planes = U16(d, 26);
        L.bitCount = U16(d, 28);
        L.compression = U32(d, 30);
        clrUsed = U32(d, 46);
    }
    // The size limit is checked from the header alone, before anything is allocated.
    if (width < 1 || height == 0)
        return Fail("empty picture (" + std::to_string(width) + " x " + std::to_string(height) + ")");
    L.topDown = height < 0;
    const int64_t rows = L.topDown ? -height : height;
    if (width > CDibSection::kMaxWidth || rows > CDibSection::kMaxHeight)
        return Fail("picture of " + Num(width) + " x " + Num(rows) + " exceeds the limit of " +
                    Num(CDibSection::kMaxWidth) + " x " + Num(CDibSection::kMaxHeight));
    L.width = static_cast<int32_t>(width);
    L.rows = static_cast<int32_t>(rows);
    if (planes != 1)
        return Fail("plane count " + Num(planes) + " is not 1");
    switch (L.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return Fail("unsupported depth of " + Num(L.bitCount) + " bits per pixel");
    }

    const bool fields =
        L.compression == CBitmapInfoHeader::kCompressionFields || L.compression == kCompressionAlphaFields;
    if (fields) {
        if (L.bitCount != 16 && L.bitCount != 32)
            return Fail("bit-field compression needs 16 or 32 bits per pixel, not " + Num(L.bitCount));
    } else if (L.compression == kCompressionRle8 || L.compression == kCompressionRle4) {
        if (L.bitCount != (L.compression == kCompressionRle8 ? 8u : 4u))
            return Fail("RLE compression does not match the depth of " + Num(L.bitCount) + " bits");
        if (L.topDown)
            return Fail("RLE-compressed rows cannot be stored top-down");
    } else if (L.compression != CBitmapInfoHeader::kCompressionNone) {
        return Fail("unsupported compression " + Num(L.compression));
    }

    std::size_t tableStart = kFileHeaderSize + infoSize;
    if (fields) {
        // A header too short to hold the masks (the 40-byte one) is followed by them; the version 4 and 5
        // headers hold them inside, right after the first 40 bytes.
        std::size_t masksAt = kFileHeaderSize + kInfoHeaderSize;
        if (infoSize < kInfoHeaderSize + 12) {
            masksAt = tableStart;
            const std::size_t maskBytes = L.compression == kCompressionAlphaFields ? 16 : 12;
            if (maskBytes > d.size() - tableStart)
                return Fail("bit-field masks run past the end of the file");
            tableStart += maskBytes;
        }
        for (int i = 0; i < 3; ++i)
            L.masks[i] = U32(d, masksAt + 4 * static_cast<std::size_t>(i));
    } else if (L.bitCount == 16) {
        L.masks[0] = 0x7C00;
        L.masks[1] = 0x03E0;
        L.masks[2] = 0x001F;
    } else if (L.bitCount == 32) {
        L.masks[0] = 0xFF0000;
        L.masks[1] = 0x00FF00;
        L.masks[2] = 0x0000FF;
    }

    if (pixelOffset > d.size())
        return Fail("pixel offset " + Num(pixelOffset) + " lies beyond the end of the file (" +
                    Num(d.size()) + " bytes)");
    if (pixelOffset < tableStart)
        return Fail("pixel offset " + Num(pixelOffset) + " lies inside the headers (which end at " +
                    Num(tableStart) + ")");
    L.pixelOffset = pixelOffset;

    if (L.bitCount <= 8) {
        const uint32_t maxEntries = 1u << L.bitCount;
        if (clrUsed > maxEntries)
            return Fail("colour count " + Num(clrUsed) + " exceeds the " + Num(maxEntries) +
                        " entries of a " + Num(L.bitCount) + "-bit picture");
        const std::size_t entrySize = core ? 3 : 4;
        // Writers often shorten the table without saying so; the pixel offset bounds what is there.
        const std::size_t room = (pixelOffset - tableStart) / entrySize;
        L.tableEntries = static_cast<uint32_t>(std::min<std::size_t>(clrUsed ? clrUsed : maxEntries, room));
        for (uint32_t i = 0; i < L.tableEntries; ++i) {
            const std::size_t at = tableStart + i * entrySize;
            L.table[i] = MakeTableEntry(d[at + 2], d[at + 1], d[at]);
        }
        if (L.tableEntries == 0)
            FillGreyTable(std::span<uint32_t>(L.table.data(), maxEntries));
    }
    return CImageResult::Success();
}

// Unpacks RLE8 or RLE4 data into an index bitmap of the same depth; the rows run bottom-up. Pixels that
// the data skips with an end of line or a delta keep index 0; pixels beyond the bitmap are dropped.
CImageResult DecodeRle(std::span<const uint8_t> data, const CBmpLayout& L, CDibSection& image) {
    const bool four = L.compression == kCompressionRle4;
    const uint32_t depth = four ? 4 : 8;
    int64_t x = 0;
    int64_t y = 0; // from the bottom
    std::size_t pos = 0;
    bool lastWasEndOfLine = false;
    auto put = [&](uint32_t index) {
        if (x < L.width && y < L.rows)
            SetPackedIndex(GetRowFromTop(image, static_cast<int32_t>(L.rows - 1 - y)),
                           static_cast<int32_t>(x), depth, index);
        ++x;
    };
    for (;;) {
        if (data.size() - pos < 2) {
            // A missing end-of-bitmap marker is forgiven when the last row was completed.
            if (lastWasEndOfLine || y >= L.rows)
                return CImageResult::Success();
            return Fail("RLE data ends before its end-of-bitmap marker");
        }
        const uint32_t count = data[pos];
        const uint32_t code = data[pos + 1];
        pos += 2;
        lastWasEndOfLine = false;
        if (count > 0) {
            for (uint32_t i = 0; i < count; ++i)
                put(four ? (i % 2 == 0 ? code >> 4 : code & 15) : code);
        } else if (code == 0) {
            x = 0;
            ++y;
            lastWasEndOfLine = true;
        } else if (code == 1) {
            return CImageResult::Success();
        } else if (code == 2) {
            if (data.size() - pos < 2)
                return Fail("RLE delta runs past the end of the data");
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {
            const std::size_t bytes = four ? (code + 1) / 2 : code;
            if (data.size() - pos < bytes)
                return Fail("RLE literal run of " + Num(code) + " pixels runs past the end of the data");
            for (uint32_t i = 0; i < code; ++i)
                put(four ? (i % 2 == 0 ? data[pos + i / 2] >> 4 : data[pos + i / 2] & 15) : data[pos + i]);
            // Literal runs are padded to a 16-bit boundary.
            pos += std::min<std::size_t>(bytes + (bytes & 1), data.size() - pos);
        }
        if (y >= L.rows && !lastWasEndOfLine)
            return CImageResult::Success();
    }
}

CImageResult DecodeBmpWithLayout(std::span<const uint8_t> d, const CBmpLayout& L, CDibSection& image) {
    const auto pixels = d.subspan(L.pixelOffset);
    if (L.compression == kCompressionRle8 || L.compression == kCompressionRle4) {
        if (!image.Create(L.width, L.rows, static_cast<uint16_t>(L.bitCount)) ||
            !image.SetColourTable(std::span<const uint32_t>(L.table.data(), 1u << L.bitCount)))
            return Fail("not enough memory for " + Num(L.width) + " x " + Num(L.rows) + " pixels");
        return DecodeRle(pixels, L, image);
    }

    const std::size_t stride = CDibSection::BytesPerRow(L.width, L.bitCount);
    const uint64_t needed = static_cast<uint64_t>(stride) * static_cast<uint64_t>(L.rows);
    if (needed > pixels.size())
        return Fail("pixel data truncated: " + Num(needed) + " bytes needed after offset " +
                    Num(L.pixelOffset) + ", " + Num(pixels.size()) + " present");

    const uint16_t outDepth = L.bitCount == 16 || L.bitCount == 32 ? 24 : static_cast<uint16_t>(L.bitCount);
    if (!image.Create(L.width, L.rows, outDepth))
        return Fail("not enough memory for " + Num(L.width) + " x " + Num(L.rows) + " pixels");
    if (outDepth <= 8)
        (void)image.SetColourTable(std::span<const uint32_t>(L.table.data(), 1u << outDepth));

    const CMaskChannel red(L.masks[0]);
    const CMaskChannel green(L.masks[1]);
    const CMaskChannel blue(L.masks[2]);
    for (int32_t stored = 0; stored < L.rows; ++stored) {
        const auto source = pixels.subspan(static_cast<std::size_t>(stored) * stride, stride);
        const int32_t fromTop = L.topDown ? stored : L.rows - 1 - stored;
        auto target = GetRowFromTop(image, fromTop);
        if (L.bitCount == 16 || L.bitCount == 32) {
            const std::size_t step = L.bitCount / 8;
            for (int32_t x = 0; x < L.width; ++x) {
                const uint8_t* p = source.data() + step * static_cast<std::size_t>(x);
                const uint32_t pixel =
                    step == 2 ? static_cast<uint32_t>(p[0] | p[1] << 8)
                              : static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                    static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
                uint8_t* q = target.data() + 3 * static_cast<std::size_t>(x);
                q[0] = blue.Extract(pixel);
                q[1] = green.Extract(pixel);
                q[2] = red.Extract(pixel);
            }
        } else {
            std::copy(source.begin(), source.end(), target.begin());
        }
    }
    return CImageResult::Success();
}

} // namespace

CImageResult DecodeBmp(std::span<const uint8_t> file, CDibSection& image) {
    image.Clear();
    CBmpLayout layout;
    CImageResult result = ReadLayout(file, layout);
    if (result)
        result = DecodeBmpWithLayout(file, layout, image);
    if (!result)
        image.Clear();
    return result;
}

CImageResult Decode2bp(std::span<const uint8_t> file, CDibSection& image) {
    image.Clear();
    CBmpLayout layout;
    CImageResult result = ReadLayout(file, layout);
    if (result && layout.bitCount != 2)
        result = CImageResult::Failure("2BP: the file has " + Num(layout.bitCount) +
                                       " bits per pixel instead of 2");
    if (result)
        result = DecodeBmpWithLayout(file, layout, image);
    if (!result) {
        image.Clear();
        if (result.message.starts_with("BMP: "))
            result.message.replace(0, 3, "2BP");
    }
    return result;
}

CImageResult EncodeBmp(const CDibSection& image, std::vector<uint8_t>& file) {
    file.clear();
    if (image.IsEmpty())
        return CImageResult::Failure("BMP: there is no picture to write");
    const std::vector<uint8_t> info = image.GetInfoBytes();
    const std::size_t imageSize = image.GetImageSize();
    if (image.GetBits().size() < imageSize)
        return CImageResult::Failure("BMP: the bitmap holds fewer pixel bytes than its header says");
    const std::size_t offset = kFileHeaderSize + info.size();
    const uint64_t total = static_cast<uint64_t>(offset) + imageSize;
    if (total > UINT32_MAX)
        return CImageResult::Failure("BMP: the picture is too large for the format");
    file.assign(static_cast<std::size_t>(total), 0);
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file, 2, static_cast<uint32_t>(total));
    PutU32(file, 10, static_cast<uint32_t>(offset));
    std::copy(info.begin(), info.end(), file.begin() + kFileHeaderSize);
    const auto bits = image.GetBits().first(imageSize);
    std::copy(bits.begin(), bits.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
    return CImageResult::Success();
}

} // namespace pq
