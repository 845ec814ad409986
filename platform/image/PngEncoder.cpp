#include "platform/image/PngCodec.h"

#include "platform/LargeBuffer.h"
#include "platform/image/DibPixels.h"
#include "platform/image/RowDeflate.h"

#include <libdeflate.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// PNG files written by our own chunk writer. Rendered pages are flat colour with anti-aliased edges: on
// such rows deflate does best on the raw bytes (filter None), since the runs and the rows above are
// matched as they are, while any filter turns each edge into a spray of differences (measured on
// rendered pages: Sub, Up, Average or Paeth chosen per row make the file 5-15 % larger). Only rows of
// continuous tone, gradients and photographs, whose neighbouring pixels differ by small steps more often
// than by large ones, get the filter of Sub, Up, Average and Paeth with the smallest sum of bytes.
// The filtered rows go in one zlib stream: through our row deflate on flat pages (platform/image/
// RowDeflate.h), through libdeflate otherwise. Pictures whose pixels are all grey (pages of text) go out
// as grey, a byte a pixel: a third of the bytes to compress, for files about a third smaller.

namespace pq {

namespace {

// Deflate levels. Level 6 (lazy matching) stores rendered pages within 2-3 % of zlib's level 6. On long
// rows dense with edges (a busy page at print size) the match with the row above lies behind many
// candidates of the same hash, which level 6 gives up on: level 8 searches further and makes such files
// 3-4 % smaller, at 1.7 times the time. Sparser pages at print size gain 1-3 % and pages at screen size
// under 1 %, not worth the time (measured on the sample page, a 20-page document and a page of 10000
// shapes, at 96 and 300 dpi).
constexpr int kFastLevel = 6;
constexpr int kThoroughLevel = 8;
// Pictures with continuous-tone rows (photographs), and pictures whose bytes seldom repeat the pixel
// before (photographs drawn hard-edged at their size or smaller): Huffman codes of the filtered rows do
// nearly all the work. Level 1 (libdeflate's fastest matching) took 23 % fewer instructions than level 4
// on a page of six photographs at print size, for a file 4 % larger (0.6 of mutool's); drawn hard-edged
// at screen size, 22 % fewer than level 6 for a file no larger.
constexpr int kPhotoLevel = 1;
constexpr std::size_t kLongRowBytes = 4096;
// Large steps between neighbouring samples a pixel from which a picture counts as dense: busy pages
// have about 0.4, the sample page 0.05. A page of text has as many, and a page of photographs twice
// as many, but their rows repeat (the space between lines, the margins around pictures: 18 and 27 %
// of the rows at print size): level 8 took twice the time of the whole conversion there for no gain
// worth it, so a dense picture is also one whose rows almost never repeat.
constexpr double kDenseStepsPerPixel = 0.25;
constexpr double kDenseRepeatedRows = 0.05;
// Pictures with fewer large steps a pixel than this and almost no rows of continuous tone are flat:
// white paper with shapes of flat colour (the sample page has 0.04-0.14, a document of shapes 0.07-0.39,
// a page of text 0.42-0.84, a page of 10000 shapes 0.2-0.9). There the row deflate, which tries the
// pixel before, the row above and a hash, takes half the time of libdeflate's level 6 for files as small
// or smaller. On pages dense with edges its files grow by 10-20 %, and on photographs it is slower: those
// go through libdeflate.
constexpr double kFlatStepsPerPixel = 0.3;
// Pictures with at least this share of continuous-tone rows hold photographs or gradients.
constexpr double kToneRows = 0.05;
// Pictures whose bytes differ from the pixel before in at least this share of the rows not repeated
// whole are noisy: photographs drawn hard-edged at screen size have 0.87, rendered pages of shapes or text
// 0.15-0.4, and photographs drawn larger 0.65, where each picture pixel spans two page pixels in places
// and level 6 finds those repeats (files 17 % smaller than at level 1).
constexpr double kNoisyBytes = 0.75;

// A step between neighbouring samples of at most this much counts as smooth. Photographs drawn larger
// with smooth edges step by up to about 8 between neighbours: at 4 a page of six of them at print size
// went out unfiltered in 8.7 MB, at 8 filtered in 5.0 MB with 6 % fewer instructions, while rendered
// pages changed by under 0.1 %.
constexpr int kSmallStep = 8;

// Bytes after a converted row that the word-at-a-time conversion may write.
constexpr std::size_t kSpareBytes = 8;

enum Filter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

struct CCompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], std::span<const uint8_t> data) {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, libdeflate_crc32(0, out.data() + typeAt, out.size() - typeAt));
}

void StoreBig32(uint8_t* out, uint32_t v) {
    out[0] = static_cast<uint8_t>(v >> 24);
    out[1] = static_cast<uint8_t>(v >> 16);
    out[2] = static_cast<uint8_t>(v >> 8);
    out[3] = static_cast<uint8_t>(v);
}

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// The prediction of one filter for byte i of a row: a the byte a pixel before, b the byte above, c the
// byte above the pixel before (zeros before the row's start and above the first row).
int Predict(Filter filter, int a, int b, int c) {
    switch (filter) {
    case kSub:
        return a;
    case kUp:
        return b;
    case kAverage:
        return (a + b) / 2;
    case kPaeth:
        return Paeth(a, b, c);
    case kNone:
        break;
    }
    return 0;
}

#if defined(__SSE2__)
// The predictions of Sub, Up, Average and Paeth for the 16 bytes from i (at least bpp), exactly as the
// byte-wise ones.
struct CPredictions16 {
    __m128i of[4];
};

CPredictions16 Predict16(const uint8_t* row, const uint8_t* previous, std::size_t i, std::size_t bpp) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i - bpp));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + i));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + i - bpp));
    // The rounded-up mean less the bit that rounding added.
    const __m128i average =
        _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
    // Paeth in 16-bit lanes: pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|; a unless pb or pc is smaller,
    // then b unless pc is smaller, else c.
    const __m128i zero = _mm_setzero_si128();
    auto half = [&](__m128i a16, __m128i b16, __m128i c16) {
        auto abs16 = [&](__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(zero, v)); };
        const __m128i bc = _mm_sub_epi16(b16, c16), ac = _mm_sub_epi16(a16, c16);
        const __m128i pa = abs16(bc), pb = abs16(ac), pc = abs16(_mm_add_epi16(bc, ac));
        const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
        const __m128i notB = _mm_cmpgt_epi16(pb, pc);
        const __m128i bOrC = _mm_or_si128(_mm_andnot_si128(notB, b16), _mm_and_si128(notB, c16));
        return _mm_or_si128(_mm_andnot_si128(notA, a16), _mm_and_si128(notA, bOrC));
    };
    const __m128i paeth = _mm_packus_epi16(
        half(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero)),
        half(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero)));
    return {{a, b, average, paeth}};
}
#endif

// Writes the row filtered by one filter into out; bpp bytes a pixel, previous the unfiltered row above
// (zeros for the first row).
void ApplyFilter(Filter filter, const uint8_t* row, const uint8_t* previous, std::size_t n, std::size_t bpp,
                 uint8_t* out) {
    std::size_t i = 0;
    auto bytewise = [&](std::size_t end) {
        for (; i < end; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, c = i >= bpp ? previous[i - bpp] : 0;
            out[i] = static_cast<uint8_t>(row[i] - Predict(filter, a, previous[i], c));
        }
    };
    bytewise(std::min(n, bpp));
#if defined(__SSE2__)
    if (filter != kNone)
        for (; i + 16 <= n; i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
            const __m128i predicted = Predict16(row, previous, i, bpp).of[filter - kSub];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_sub_epi8(x, predicted));
        }
#endif
    bytewise(n);
}

// The steps between each byte and the same byte of the pixel before: how many are small (1 to
// kSmallStep) and how many large.
struct CSteps {
    std::size_t small = 0;
    std::size_t large = 0;
};

#if defined(__SSE2__)
// The set bits of a 16-bit mask. std::popcount calls a library function on processors without the
// POPCNT instruction, which the build does not assume.
std::size_t Popcount16(uint32_t v) {
    v -= (v >> 1) & 0x5555u;
    v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
    v = (v + (v >> 4)) & 0x0F0Fu;
    return (v + (v >> 8)) & 0x1Fu;
}

CSteps CountSteps(const uint8_t* row, std::size_t n, std::size_t bpp) {
    CSteps steps;
    std::size_t i = bpp;
    const __m128i limit = _mm_set1_epi8(kSmallStep);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i - bpp));
        const __m128i step = _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
        const auto equal = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(step, zero)));
        if (equal == 0xFFFF) // a run of equal pixels, the bulk of a page
            continue;
        const auto notLarge =
            static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(step, limit), zero)));
        steps.large += Popcount16(~notLarge & 0xFFFFu);
        steps.small += Popcount16(notLarge & ~equal & 0xFFFFu);
    }
    for (; i < n; ++i) {
        const int step = std::abs(row[i] - row[i - bpp]);
        steps.small += step != 0 && step <= kSmallStep;
        steps.large += step > kSmallStep;
    }
    return steps;
}
#else
uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

CSteps CountSteps(const uint8_t* row, std::size_t n, std::size_t bpp) {
    CSteps steps;
    std::size_t i = bpp;
    while (i < n) {
        if (i + 8 <= n && Load64(row + i) == Load64(row + i - bpp)) { // a run of equal pixels
            i += 8;
            continue;
        }
        for (const std::size_t end = std::min(n, i + 8); i < end; ++i) {
            const int step = std::abs(row[i] - row[i - bpp]);
            steps.small += step != 0 && step <= kSmallStep;
            steps.large += step > kSmallStep;
        }
    }
    return steps;
}
#endif

// The filter of Sub, Up, Average and Paeth leaving the smallest sum of bytes taken as signed (the first
// of equal sums).
Filter ChooseToneFilter(const uint8_t* row, const uint8_t* previous, std::size_t n, std::size_t bpp) {
    constexpr Filter kFilters[4] = {kSub, kUp, kAverage, kPaeth};
    uint64_t sums[4] = {0, 0, 0, 0};
    std::size_t i = 0;
    auto bytewise = [&](std::size_t end) {
        for (; i < end; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, b = previous[i], c = i >= bpp ? previous[i - bpp] : 0;
            for (int f = 0; f < 4; ++f)
                sums[f] += static_cast<uint64_t>(
                    std::abs(static_cast<int8_t>(row[i] - Predict(kFilters[f], a, b, c))));
        }
    };
    bytewise(std::min(n, bpp));
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i totals[4] = {zero, zero, zero, zero};
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const CPredictions16 predicted = Predict16(row, previous, i, bpp);
        for (int f = 0; f < 4; ++f) {
            // |d| of a byte d taken as signed is the smaller of d and -d taken as unsigned.
            const __m128i d = _mm_sub_epi8(x, predicted.of[f]);
            totals[f] = _mm_add_epi64(totals[f], _mm_sad_epu8(_mm_min_epu8(d, _mm_sub_epi8(zero, d)), zero));
        }
    }
    for (int f = 0; f < 4; ++f) {
        alignas(16) uint64_t lanes[2];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), totals[f]);
        sums[f] += lanes[0] + lanes[1];
    }
#endif
    bytewise(n);
    return kFilters[std::min_element(sums, sums + 4) - sums];
}

// Bit-field masks of a 32-bit bitmap are the plain blue, green, red bytes unless the header says
// otherwise; those bitmaps (every rendered page) are converted by moving bytes.
bool HasPlainMasks32(const CDibSection& image) {
    if (image.GetHeader().compression != CBitmapInfoHeader::kCompressionFields)
        return true;
    const auto table = image.GetColourTable();
    return table.size() >= 3 && table[0] == 0xFF0000 && table[1] == 0x00FF00 && table[2] == 0x0000FF;
}

// Writes row y of a 16, 24 or 32-bit bitmap as red, green, blue bytes; out has kSpareBytes after them.
void ConvertRow(const CDibSection& image, int32_t y, bool plain32, uint8_t* out) {
    const auto source = GetRowFromTop(image, y);
    const int32_t width = image.GetWidth();
    const uint8_t* p = source.data();
    if (image.GetBitCount() == 24) {
        SwapRedBlue24(p, source.size(), width, out, kSpareBytes);
    } else if (image.GetBitCount() == 32 && plain32) {
        // Blue, green, red, unused in; red, green, blue out, a word at a time: each pixel's fourth byte
        // lands where the next pixel goes (or in the spare byte after the row).
        for (int32_t x = 0; x < width; ++x, p += 4, out += 3) {
            uint32_t pixel;
            std::memcpy(&pixel, p, 4);
            if constexpr (std::endian::native == std::endian::little)
                pixel = __builtin_bswap32(pixel) >> 8;
            else
                pixel = __builtin_bswap32(pixel) << 8;
            std::memcpy(out, &pixel, 4);
        }
    } else {
        for (int32_t x = 0; x < width; ++x, out += 3) {
            const uint32_t rgb = GetPixelColour(image, x, y);
            out[0] = RedOf(rgb);
            out[1] = GreenOf(rgb);
            out[2] = BlueOf(rgb);
        }
    }
}

// Whether every pixel of a 16, 24 or 32-bit bitmap is grey (red, green and blue alike): pages of black
// text on white, which then go out as one byte a pixel.
bool IsGrey(const CDibSection& image, bool plain32) {
    const int32_t width = image.GetWidth();
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* p = GetRowFromTop(image, y).data();
        uint32_t differences = 0; // accumulated without a branch a pixel, so the loop vectorises
        if (image.GetBitCount() == 32 && plain32) {
            for (int32_t x = 0; x < width; ++x) {
                uint32_t pixel;
                std::memcpy(&pixel, p + 4 * x, 4);
                differences |= (pixel ^ (pixel >> 8)) & 0xFFFFu; // blue against green, green against red
            }
        } else if (image.GetBitCount() == 24) {
            for (int32_t x = 0; x < width; ++x, p += 3)
                differences |= static_cast<uint32_t>((p[0] ^ p[1]) | (p[1] ^ p[2]));
        } else {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t rgb = GetPixelColour(image, x, y);
                differences |=
                    static_cast<uint32_t>((RedOf(rgb) ^ GreenOf(rgb)) | (GreenOf(rgb) ^ BlueOf(rgb)));
            }
        }
        if (differences != 0)
            return false;
    }
    return true;
}

// Writes row y of a grey 16, 24 or 32-bit bitmap as one byte a pixel.
void ConvertGreyRow(const CDibSection& image, int32_t y, bool plain32, uint8_t* out) {
    const uint8_t* p = GetRowFromTop(image, y).data();
    const int32_t width = image.GetWidth();
    if (image.GetBitCount() == 32 && plain32) {
        for (int32_t x = 0; x < width; ++x)
            out[x] = p[4 * x];
    } else if (image.GetBitCount() == 24) {
        for (int32_t x = 0; x < width; ++x)
            out[x] = p[3 * x];
    } else {
        for (int32_t x = 0; x < width; ++x)
            out[x] = BlueOf(GetPixelColour(image, x, y));
    }
}

// The filtered rows, written once and read once by deflate, in memory for large pixel buffers.
class CRowBuffer {
public:
    explicit CRowBuffer(std::size_t bytes)
        : size(bytes), block(static_cast<uint8_t*>(AllocateLargeBuffer(bytes))) {}
    ~CRowBuffer() { FreeLargeBuffer(block, size); }
    CRowBuffer(const CRowBuffer&) = delete;
    CRowBuffer& operator=(const CRowBuffer&) = delete;

    [[nodiscard]] uint8_t* get() const { return block; }

private:
    std::size_t size;
    uint8_t* block;
};

} // namespace

CPngFile::~CPngFile() {
    FreeLargeBuffer(block, capacity);
}

CPngFile::CPngFile(CPngFile&& other) noexcept
    : block(std::exchange(other.block, nullptr)), capacity(std::exchange(other.capacity, 0)),
      size(std::exchange(other.size, 0)) {}

CPngFile& CPngFile::operator=(CPngFile&& other) noexcept {
    if (this != &other) {
        FreeLargeBuffer(block, capacity);
        block = std::exchange(other.block, nullptr);
        capacity = std::exchange(other.capacity, 0);
        size = std::exchange(other.size, 0);
    }
    return *this;
}

uint8_t* CPngFile::Prepare(std::size_t bytes) {
    FreeLargeBuffer(block, capacity);
    block = nullptr;
    capacity = size = 0;
    block = static_cast<uint8_t*>(AllocateLargeBuffer(bytes));
    capacity = bytes;
    return block;
}

CImageResult EncodePng(const CDibSection& image, std::vector<uint8_t>& file) {
    CPngFile encoded;
    const CImageResult result = EncodePng(image, encoded);
    file.assign(encoded.Bytes().begin(), encoded.Bytes().end());
    return result;
}

CImageResult EncodePng(const CDibSection& image, CPngFile& file) {
    file.SetSize(0);
    if (image.IsEmpty())
        return CImageResult::Failure("PNG: there is no picture to write");
    const auto width = static_cast<uint32_t>(image.GetWidth());
    const auto height = static_cast<uint32_t>(image.GetHeight());
    const int depth = image.GetBitCount();
    const bool indexed = depth <= 8;
    const bool plain32 = depth == 32 && HasPlainMasks32(image);
    // Grey pictures hold a third of the bytes to compress: a page of text is a third smaller and faster.
    const bool grey = !indexed && IsGrey(image, plain32);
    // Bitmap rows pack indices from the high bits as PNG does, so indexed rows go out unchanged.
    const std::size_t rowBytes = indexed ? (static_cast<std::size_t>(width) * depth + 7) / 8
                                 : grey  ? std::size_t{width}
                                         : 3 * std::size_t{width};
    const std::size_t bpp = indexed || grey ? 1 : 3;

    // The rows from the top, each with its filter byte; every byte is written, so none is cleared first.
    const std::size_t filteredBytes = (rowBytes + 1) * height;
    const CRowBuffer filtered(filteredBytes);
    // The unfiltered row and the one above it (zeros above the first row).
    std::vector<uint8_t> rows[2] = {std::vector<uint8_t>(rowBytes + kSpareBytes, 0),
                                    std::vector<uint8_t>(rowBytes + kSpareBytes, 0)};
    uint8_t* row = rows[0].data();
    uint8_t* previous = rows[1].data();
    std::size_t largeSteps = 0, smallSteps = 0, repeatedRows = 0, toneRows = 0;
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* out = filtered.get() + (rowBytes + 1) * y;
        if (indexed) {
            out[0] = kNone; // filters rarely help indices
            std::copy_n(GetRowFromTop(image, static_cast<int32_t>(y)).data(), rowBytes, out + 1);
            continue;
        }
        // A row repeating the one above is matched whole by deflate as it is; its bitmap row is compared,
        // before any conversion.
        const auto source = GetRowFromTop(image, static_cast<int32_t>(y));
        if (y > 0 && std::equal(source.begin(), source.end(),
                                GetRowFromTop(image, static_cast<int32_t>(y - 1)).begin())) {
            out[0] = kNone;
            std::memcpy(out + 1, row, rowBytes); // the row last converted, unfiltered
            ++repeatedRows;
            continue;
        }
        std::swap(row, previous);
        if (grey)
            ConvertGreyRow(image, static_cast<int32_t>(y), plain32, row);
        else
            ConvertRow(image, static_cast<int32_t>(y), plain32, row);
        // Continuous tone: more than twice as many small steps between neighbouring pixels as large ones.
        const CSteps steps = CountSteps(row, rowBytes, bpp);
        largeSteps += steps.large;
        smallSteps += steps.small;
        if (steps.small <= 2 * steps.large) {
            out[0] = kNone;
            std::memcpy(out + 1, row, rowBytes);
            continue;
        }
        ++toneRows;
        const Filter chosen = ChooseToneFilter(row, previous, rowBytes, bpp);
        out[0] = chosen;
        ApplyFilter(chosen, row, previous, rowBytes, bpp, out + 1);
    }

    const double pixels = static_cast<double>(width) * static_cast<double>(height);
    // Large steps a pixel counted in red, green and blue: a grey step is three of them.
    const double largeStepsPerPixel = static_cast<double>(largeSteps) * (grey ? 3.0 : 1.0) / pixels;
    const bool tone = static_cast<double>(toneRows) >= kToneRows * static_cast<double>(height);
    const double convertedBytes = static_cast<double>(rowBytes) * static_cast<double>(height - repeatedRows);
    const bool noisy =
        !indexed && static_cast<double>(smallSteps + largeSteps) >= kNoisyBytes * convertedBytes;
    const bool photo = tone || noisy;
    const bool flat = !indexed && !tone && largeStepsPerPixel < kFlatStepsPerPixel;
    const bool dense = rowBytes >= kLongRowBytes && largeStepsPerPixel >= kDenseStepsPerPixel &&
                       static_cast<double>(repeatedRows) < kDenseRepeatedRows * static_cast<double>(height);
    // Everything before the compressed rows: the signature, the header, the palette and the start of the
    // one IDAT chunk (a chunk may hold up to 2^31 - 1 bytes, far above a 10000 x 10000 page).
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> head(kSignature, kSignature + 8);
    std::vector<uint8_t> header;
    PutBig32(header, width);
    PutBig32(header, height);
    header.push_back(static_cast<uint8_t>(indexed ? depth : 8));
    header.push_back(indexed ? 3 : grey ? 0 : 2); // palette, grey or truecolour
    header.insert(header.end(), {0, 0, 0}); // deflate, adaptive filters, no interlace
    PutChunk(head, "IHDR", header);
    if (indexed) {
        std::vector<uint8_t> palette;
        const auto table = image.GetColourTable();
        const int entries = 1 << depth;
        for (int i = 0; i < entries; ++i) {
            const uint32_t entry =
                i < static_cast<int>(table.size()) ? table[static_cast<std::size_t>(i)] : 0;
            palette.insert(palette.end(), {static_cast<uint8_t>(entry >> 16),
                                           static_cast<uint8_t>(entry >> 8), static_cast<uint8_t>(entry)});
        }
        PutChunk(head, "PLTE", palette);
    }
    PutBig32(head, 0); // the IDAT length, known once the rows are compressed
    head.insert(head.end(), {'I', 'D', 'A', 'T'});
    // After the rows: the IDAT checksum and the IEND chunk.
    constexpr std::size_t kTailBytes = 4 + 12;

    const std::span<const uint8_t> filteredRows(filtered.get(), filteredBytes);
    uint8_t* out = nullptr;
    std::size_t streamBytes = 0;
    try {
        if (flat) {
            std::vector<uint8_t> stream;
            DeflateRows(filteredRows, rowBytes + 1, bpp, stream);
            out = file.Prepare(head.size() + stream.size() + kTailBytes);
            std::copy(stream.begin(), stream.end(), out + head.size());
            streamBytes = stream.size();
        } else {
            thread_local std::unique_ptr<libdeflate_compressor, CCompressorDeleter> compressors[3];
            // A photograph's rows gain little from a longer search, however long and busy they are.
            auto& compressor = compressors[photo ? 1 : dense ? 2 : 0];
            if (!compressor)
                compressor.reset(libdeflate_alloc_compressor(photo   ? kPhotoLevel
                                                             : dense ? kThoroughLevel
                                                                     : kFastLevel));
            if (!compressor)
                return CImageResult::Failure("PNG: cannot start the encoder");
            // Only the part of the bound that the stream fills is written.
            const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), filteredBytes);
            out = file.Prepare(head.size() + bound + kTailBytes);
            streamBytes = libdeflate_zlib_compress(compressor.get(), filteredRows.data(), filteredRows.size(),
                                                   out + head.size(), bound);
            if (streamBytes == 0)
                return CImageResult::Failure("PNG: cannot compress the picture");
        }
    } catch (const std::bad_alloc&) {
        return CImageResult::Failure("PNG: not enough memory for the file");
    }
    std::copy(head.begin(), head.end(), out);
    StoreBig32(out + head.size() - 8, static_cast<uint32_t>(streamBytes));
    uint8_t* end = out + head.size() + streamBytes;
    StoreBig32(end, libdeflate_crc32(0, out + head.size() - 4, streamBytes + 4));
    static constexpr uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    std::copy(std::begin(kEnd), std::end(kEnd), end + 4);
    file.SetSize(head.size() + streamBytes + kTailBytes);
    return CImageResult::Success();
}

} // namespace pq
