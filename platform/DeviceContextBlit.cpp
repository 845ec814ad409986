#include "platform/DeviceContext.h"

#include "platform/RasterOps.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pq {

namespace {

// Reads pixels of a source bitmap of any depth as 0x00RRGGBB values.
class CSourceReader {
public:
    bool Open(const CDibSection& source, const uint8_t* bits) {
        if (source.IsEmpty())
            return false;
        width = source.GetWidth();
        height = source.GetHeight();
        depth = source.GetBitCount();
        rowBytes = static_cast<std::ptrdiff_t>(source.GetBytesPerRow());
        if (source.GetBits().size() < static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height))
            return false;
        topDown = source.GetHeader().height < 0;
        this->bits = bits;
        const auto table = source.GetColourTable();
        std::fill(std::begin(palette), std::end(palette), 0u);
        for (std::size_t i = 0; i < table.size() && i < 256; ++i)
            palette[i] = table[i] & 0x00FFFFFF;
        bitFields =
            source.GetHeader().compression == CBitmapInfoHeader::kCompressionFields && table.size() >= 3;
        if (depth == 16 && !bitFields) {
            // Uncompressed 16-bit pixels are 5 bits each of red, green and blue.
            SetMasks(0x7C00, 0x03E0, 0x001F);
        } else if (bitFields) {
            SetMasks(table[0], table[1], table[2]);
        }
        return true;
    }

    [[nodiscard]] const uint8_t* Row(int32_t y) const {
        return bits + rowBytes * (topDown ? y : height - 1 - y);
    }

    [[nodiscard]] uint32_t Pixel(const uint8_t* row, int32_t x) const {
        switch (depth) {
        case 1:
            return palette[row[x >> 3] >> (7 - (x & 7)) & 1];
        case 2:
            return palette[row[x >> 2] >> (6 - 2 * (x & 3)) & 3];
        case 4:
            return palette[row[x >> 1] >> ((x & 1) ? 0 : 4) & 15];
        case 8:
            return palette[row[x]];
        case 16:
            return FromFields(static_cast<uint32_t>(row[2 * x]) | static_cast<uint32_t>(row[2 * x + 1]) << 8);
        case 24: {
            const uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
            return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                   static_cast<uint32_t>(p[2]) << 16;
        }
        default: {
            const uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x);
            const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
            return bitFields ? FromFields(v) : v & 0x00FFFFFF;
        }
        }
    }

    [[nodiscard]] uint16_t Depth() const { return depth; }

    int32_t width = 0;
    int32_t height = 0;

private:
    struct CField {
        uint32_t mask = 0;
        int shift = 0;
        uint32_t maximum = 0;
    };

    void SetMasks(uint32_t red, uint32_t green, uint32_t blue) {
        fields[0] = MakeField(red);
        fields[1] = MakeField(green);
        fields[2] = MakeField(blue);
    }
    static CField MakeField(uint32_t mask) {
        CField f;
        if (mask == 0)
            return f;
        f.mask = mask;
        f.shift = std::countr_zero(mask);
        f.maximum = mask >> f.shift;
        return f;
    }
    static uint32_t Channel(const CField& f, uint32_t v) {
        if (f.maximum == 0)
            return 0;
        return static_cast<uint32_t>((static_cast<uint64_t>((v & f.mask) >> f.shift) * 255 + f.maximum / 2) /
                                     f.maximum);
    }
    [[nodiscard]] uint32_t FromFields(uint32_t v) const {
        return Channel(fields[0], v) << 16 | Channel(fields[1], v) << 8 | Channel(fields[2], v);
    }

    const uint8_t* bits = nullptr;
    std::ptrdiff_t rowBytes = 0;
    uint16_t depth = 0;
    bool topDown = false;
    bool bitFields = false;
    uint32_t palette[256] = {};
    CField fields[3];
};

// The destination steps i = 0 .. |extent| - 1 that land inside [lo, hi), for pixels at origin + i * sign.
void ClipSteps(int64_t origin, int64_t extent, int64_t lo, int64_t hi, int64_t& first, int64_t& last) {
    const int64_t count = extent < 0 ? -extent : extent;
    if (extent > 0) {
        first = lo - origin;
        last = hi - 1 - origin;
    } else {
        first = origin - (hi - 1);
        last = origin - lo;
    }
    first = std::max<int64_t>(first, 0);
    last = std::min(last, count - 1);
}

// The source pixel for destination step i: the one under the step's pixel centre.
int64_t SourceStep(int64_t i, int64_t destExtent, int64_t sourceExtent) {
    const int64_t d = destExtent < 0 ? -destExtent : destExtent;
    const int64_t s = sourceExtent < 0 ? -sourceExtent : sourceExtent;
    return static_cast<int64_t>((static_cast<__int128>(2 * i + 1) * s) / (2 * d));
}

} // namespace

bool CDeviceContext::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const CDibSection& source,
                            int32_t xSource, int32_t ySource, uint32_t rop) {
    return Blit(x, y, width, height, source, xSource, ySource, width, height, rop);
}

bool CDeviceContext::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const CDeviceContext& source,
                            int32_t xSource, int32_t ySource, uint32_t rop) {
    if (source.bitmap == nullptr)
        return false;
    return Blit(x, y, width, height, *source.bitmap, xSource, ySource, width, height, rop);
}

bool CDeviceContext::StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height,
                                const CDibSection& source, int32_t xSource, int32_t ySource,
                                int32_t widthSource, int32_t heightSource, uint32_t rop) {
    return Blit(x, y, width, height, source, xSource, ySource, widthSource, heightSource, rop);
}

bool CDeviceContext::StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height,
                                const CDeviceContext& source, int32_t xSource, int32_t ySource,
                                int32_t widthSource, int32_t heightSource, uint32_t rop) {
    if (source.bitmap == nullptr)
        return false;
    return Blit(x, y, width, height, *source.bitmap, xSource, ySource, widthSource, heightSource, rop);
}

bool CDeviceContext::Blit(int32_t x, int32_t y, int32_t width, int32_t height, const CDibSection& source,
                          int32_t xSource, int32_t ySource, int32_t widthSource, int32_t heightSource,
                          uint32_t rop) {
    CTarget t;
    if (!GetTarget(t))
        return false;
    if (width == 0 || height == 0 || widthSource == 0 || heightSource == 0)
        return true;
    const bool usesSource = Rop3UsesSource(rop);
    CSourceReader reader;
    if (usesSource) {
        const uint8_t* sourceBits = source.GetBits().data();
        if (&source == bitmap) {
            // Copying within one bitmap reads a snapshot, so overlapping areas do not smear.
            sourceCopy.assign(source.GetBits().begin(), source.GetBits().end());
            sourceBits = sourceCopy.data();
        }
        if (!reader.Open(source, sourceBits))
            return false;
    }

    int64_t firstColumn, lastColumn, firstRow, lastRow;
    ClipSteps(x, width, t.clip.left, t.clip.right, firstColumn, lastColumn);
    ClipSteps(y, height, t.clip.top, t.clip.bottom, firstRow, lastRow);
    if (firstColumn > lastColumn || firstRow > lastRow)
        return true;

    const int64_t xSign = width < 0 ? -1 : 1, ySign = height < 0 ? -1 : 1;
    const int64_t sxSign = widthSource < 0 ? -1 : 1, sySign = heightSource < 0 ? -1 : 1;
    const std::size_t columns = static_cast<std::size_t>(lastColumn - firstColumn + 1);
    columnMap.resize(columns);
    bool everyColumnInside = true;
    for (std::size_t c = 0; c < columns; ++c) {
        const int64_t sx =
            xSource + sxSign * SourceStep(firstColumn + static_cast<int64_t>(c), width, widthSource);
        columnMap[c] = usesSource && (sx < 0 || sx >= reader.width) ? -1 : static_cast<int32_t>(sx);
        everyColumnInside = everyColumnInside && columnMap[c] >= 0;
    }
    sourceRow.resize(columns);

    // A picture of 24 bits copied as it is, the common case of a placed picture: its bytes are in the
    // order of the bitmap's, so each row takes three bytes a pixel through the column map, and a row that
    // shows the same picture row as the row before (a picture drawn larger) repeats that row's bytes.
    const bool copyBytes = usesSource && rop == kRop3SrcCopy && reader.Depth() == 24 && everyColumnInside;
    const uint8_t* lastRow24 = nullptr;
    int64_t lastSourceRow = -1;
    const std::ptrdiff_t columnStep = xSign * t.bytesPerPixel;
    const std::size_t spanBytes = columns * static_cast<std::size_t>(t.bytesPerPixel);

    const uint32_t pattern = ColorToPixel(brush.color);
    for (int64_t i = firstRow; i <= lastRow; ++i) {
        if (copyBytes) {
            const int64_t sy = ySource + sySign * SourceStep(i, height, heightSource);
            if (sy < 0 || sy >= reader.height)
                continue;
            const auto dy = static_cast<int32_t>(y + ySign * i);
            const auto dx = static_cast<int32_t>(x + xSign * firstColumn);
            uint8_t* out = t.Row(dy) + static_cast<std::ptrdiff_t>(dx) * t.bytesPerPixel;
            // The span's lowest address: the row runs leftwards from out when mirrored.
            uint8_t* low = xSign > 0 ? out : out - static_cast<std::ptrdiff_t>(spanBytes) + t.bytesPerPixel;
            if (sy == lastSourceRow) {
                std::memcpy(low, lastRow24, spanBytes);
                continue;
            }
            const uint8_t* row = reader.Row(static_cast<int32_t>(sy));
            for (std::size_t c = 0; c < columns; ++c, out += columnStep) {
                const uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(columnMap[c]);
                out[0] = p[0];
                out[1] = p[1];
                out[2] = p[2];
                if (t.bytesPerPixel == 4)
                    out[3] = 0;
            }
            lastSourceRow = sy;
            lastRow24 = low;
            continue;
        }
        const auto dy = static_cast<int32_t>(y + ySign * i);
        if (usesSource) {
            const int64_t sy = ySource + sySign * SourceStep(i, height, heightSource);
            if (sy < 0 || sy >= reader.height)
                continue;
            const uint8_t* row = reader.Row(static_cast<int32_t>(sy));
            for (std::size_t c = 0; c < columns; ++c)
                sourceRow[c] = columnMap[c] < 0 ? 0 : reader.Pixel(row, columnMap[c]);
        }
        for (std::size_t c = 0; c < columns; ++c) {
            if (columnMap[c] < 0)
                continue;
            const auto dx = static_cast<int32_t>(x + xSign * (firstColumn + static_cast<int64_t>(c)));
            if (rop == kRop3SrcCopy) {
                WritePixel(t, dx, dy, sourceRow[c], kR2CopyPen);
                continue;
            }
            const uint32_t dst = ReadPixel(t, dx, dy);
            WritePixel(t, dx, dy, ApplyRop3(rop, pattern, usesSource ? sourceRow[c] : 0, dst), kR2CopyPen);
        }
    }
    auto clamp = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const int64_t x0 = width > 0 ? x : static_cast<int64_t>(x) + width + 1;
    const int64_t y0 = height > 0 ? y : static_cast<int64_t>(y) + height + 1;
    AddDamage(CRect(clamp(x0), clamp(y0), clamp(x0 + (width < 0 ? -int64_t{width} : width)),
                    clamp(y0 + (height < 0 ? -int64_t{height} : height))));
    return true;
}

} // namespace pq
