#include "platform/SmoothImage.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pq {

namespace {

// The image pixels a device pixel's slice of the image covers along one axis, with their shares.
struct CFootprint {
    uint32_t firstWeight = 0; // index into the weights
    int32_t firstSource = 0;
    int32_t count = 0;
    float coverage = 0; // of the device pixel by the image, 0..1
};

// Footprints of the device pixels first .. last - 1 on an axis where the image runs from a to b
// (mirrored when b < a) over sourceSize pixels.
void BuildFootprints(float a, float b, int32_t sourceSize, int32_t first, int32_t last,
                     std::vector<CFootprint>& out, std::vector<float>& weights) {
    const bool mirrored = b < a;
    const float low = std::min(a, b), high = std::max(a, b);
    const float perPixel = static_cast<float>(sourceSize) / (high - low);
    out.assign(static_cast<std::size_t>(last - first), CFootprint{});
    weights.clear();
    for (int32_t d = first; d < last; ++d) {
        CFootprint& f = out[static_cast<std::size_t>(d - first)];
        const float from = std::max(static_cast<float>(d), low),
                    to = std::min(static_cast<float>(d + 1), high);
        if (!(to > from))
            continue;
        f.coverage = to - from;
        float u0 = (from - low) * perPixel, u1 = (to - low) * perPixel;
        if (mirrored) {
            const float t = static_cast<float>(sourceSize) - u1;
            u1 = static_cast<float>(sourceSize) - u0;
            u0 = t;
        }
        u0 = std::clamp(u0, 0.0f, static_cast<float>(sourceSize));
        u1 = std::clamp(u1, u0, static_cast<float>(sourceSize));
        const auto s0 = std::min(static_cast<int32_t>(u0), sourceSize - 1);
        const auto s1 = std::clamp(static_cast<int32_t>(std::ceil(u1)), s0 + 1, sourceSize);
        f.firstWeight = static_cast<uint32_t>(weights.size());
        f.firstSource = s0;
        f.count = s1 - s0;
        const float span = u1 - u0;
        for (int32_t s = s0; s < s1; ++s) {
            const float overlap =
                std::min(u1, static_cast<float>(s + 1)) - std::max(u0, static_cast<float>(s));
            weights.push_back(span > 0 ? std::max(overlap, 0.0f) / span : 1.0f / static_cast<float>(f.count));
        }
    }
}

// Adds w times each byte of in to sums, 16 bytes a step where SSE2 is there; each sum is rounded as
// the byte-wise one (a product, then a sum, in single precision).
void AddWeightedRow(float* sums, const uint8_t* in, std::size_t n, float w) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128 weight = _mm_set1_ps(w);
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
        const __m128i words[4] = {_mm_unpacklo_epi16(low, zero), _mm_unpackhi_epi16(low, zero),
                                  _mm_unpacklo_epi16(high, zero), _mm_unpackhi_epi16(high, zero)};
        for (std::size_t k = 0; k < 4; ++k) {
            float* at = sums + i + 4 * k;
            _mm_storeu_ps(at, _mm_add_ps(_mm_loadu_ps(at), _mm_mul_ps(weight, _mm_cvtepi32_ps(words[k]))));
        }
    }
#endif
    for (; i < n; ++i)
        sums[i] += w * in[i];
}

} // namespace

bool DrawSmoothImage(const CDibSection& image, CDeviceContext& dc, CPointF corner, CPointF opposite) {
    CDibSection* target = dc.GetBitmap();
    if (image.IsEmpty() || target == nullptr || (target->GetBitCount() != 24 && target->GetBitCount() != 32))
        return false;
    if (!(std::fabs(opposite.x - corner.x) > 0) || !(std::fabs(opposite.y - corner.y) > 0))
        return true; // nothing to cover
    const CRect clip = dc.GetClipBox();
    const int32_t left =
        std::max(clip.left, static_cast<int32_t>(std::floor(std::min(corner.x, opposite.x))));
    const int32_t right =
        std::min(clip.right, static_cast<int32_t>(std::ceil(std::max(corner.x, opposite.x))));
    const int32_t top = std::max(clip.top, static_cast<int32_t>(std::floor(std::min(corner.y, opposite.y))));
    const int32_t bottom =
        std::min(clip.bottom, static_cast<int32_t>(std::ceil(std::max(corner.y, opposite.y))));
    if (left >= right || top >= bottom)
        return true;

    // The image's pixels as 24-bit colours: its own when it has them, else a copy, whatever its depth
    // and colour table.
    const int32_t sw = image.GetWidth(), sh = image.GetHeight();
    const bool direct = image.GetBitCount() == 24 && image.GetHeader().height > 0 &&
                        image.GetHeader().compression == CBitmapInfoHeader::kCompressionNone &&
                        image.GetBits().size() >= image.GetBytesPerRow() * static_cast<std::size_t>(sh);
    CDibSection copy;
    if (!direct) {
        if (!copy.Create(sw, sh, 24))
            return false;
        CDeviceContext copyDc(&copy);
        copyDc.BitBlt(0, 0, sw, sh, image, 0, 0, kRop3SrcCopy);
    }
    const CDibSection& source = direct ? image : copy;
    const uint8_t* bits = source.GetBits().data();
    const std::size_t rowBytes = source.GetBytesPerRow();
    auto sourceRow = [&](int32_t y) { return bits + rowBytes * static_cast<std::size_t>(sh - 1 - y); };

    std::vector<CFootprint> columns, rows;
    std::vector<float> columnWeights, rowWeights;
    BuildFootprints(corner.x, opposite.x, sw, left, right, columns, columnWeights);
    BuildFootprints(corner.y, opposite.y, sh, top, bottom, rows, rowWeights);

    const std::size_t targetRowBytes = target->GetBytesPerRow();
    const int32_t targetHeight = target->GetHeight();
    const int32_t bytesPerPixel = target->GetBitCount() / 8;
    const bool topDown = target->GetHeader().height < 0;
    uint8_t* targetBits = target->GetBits().data();
    std::vector<float> blended(static_cast<std::size_t>(sw) * 3);
    for (int32_t y = top; y < bottom; ++y) {
        const CFootprint& row = rows[static_cast<std::size_t>(y - top)];
        if (row.coverage <= 0)
            continue;
        // The image rows of this pixel row, averaged.
        std::fill(blended.begin(), blended.end(), 0.0f);
        for (int32_t k = 0; k < row.count; ++k) {
            const float w = rowWeights[row.firstWeight + static_cast<uint32_t>(k)];
            AddWeightedRow(blended.data(), sourceRow(row.firstSource + k), blended.size(), w);
        }
        uint8_t* out =
            targetBits + targetRowBytes * static_cast<std::size_t>(topDown ? y : targetHeight - 1 - y);
        for (int32_t x = left; x < right; ++x) {
            const CFootprint& column = columns[static_cast<std::size_t>(x - left)];
            const float alpha = column.coverage * row.coverage;
            if (alpha <= 0)
                continue;
            float colour[3] = {0, 0, 0};
            for (int32_t k = 0; k < column.count; ++k) {
                const float w = columnWeights[column.firstWeight + static_cast<uint32_t>(k)];
                const float* in = &blended[static_cast<std::size_t>(column.firstSource + k) * 3];
                colour[0] += w * in[0];
                colour[1] += w * in[1];
                colour[2] += w * in[2];
            }
            uint8_t* p = out + static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
            if (alpha == 1.0f) { // inside the image: the blend below adds exactly nothing of the pixel
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<uint8_t>(colour[c] + 0.5f);
                continue;
            }
            for (int c = 0; c < 3; ++c) // not negative: rounded half up as lround would
                p[c] = static_cast<uint8_t>(colour[c] * alpha + p[c] * (1.0f - alpha) + 0.5f);
        }
    }
    dc.AddDamage(CRect{left, top, right, bottom});
    return true;
}

} // namespace pq
