#include "platform/image/PngCodec.h"

#include "platform/image/DibPixels.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <string>

#include <png.h>

namespace pq {

namespace {

// libpng reports a fatal error through the error function, which must not return: it saves the
// message and jumps back to the setjmp of the function that started the library call. Everything that
// function works on lives in this state, outside its frame.
struct CPngJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::span<const uint8_t> input;
    std::size_t position = 0;
    std::vector<uint8_t> pixels; // the whole picture, for interlaced files only
    std::vector<uint8_t> row;
    char message[200] = {};
    std::string failure;
};

void OnPngError(png_structp png, png_const_charp text) {
    auto* job = static_cast<CPngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", text);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void OnPngRead(png_structp png, png_bytep data, png_size_t length) {
    auto* job = static_cast<CPngJob*>(png_get_io_ptr(png));
    if (job->input.size() - job->position < length)
        png_error(png, "the data ends before the picture is complete");
    std::memcpy(data, job->input.data() + job->position, length);
    job->position += length;
}

uint8_t OverWhite(uint32_t value, uint32_t alpha) {
    return static_cast<uint8_t>((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

bool RunDecoder(CPngJob* job, CDibSection* image) {
    if (setjmp(png_jmpbuf(job->png)))
        return false;
    png_set_read_fn(job->png, job, OnPngRead);
    // Checked by libpng while it reads the header, before any row is allocated.
    png_set_user_limits(job->png, CDibSection::kMaxWidth, CDibSection::kMaxHeight);
    png_read_info(job->png, job->info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colourType = 0;
    png_get_IHDR(job->png, job->info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    const bool hasTrns = png_get_valid(job->png, job->info, PNG_INFO_tRNS) != 0;

    uint32_t table[256] = {};
    int outDepth = 24;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        outDepth = 8;
        png_set_packing(job->png);
        png_colorp palette = nullptr;
        int entries = 0;
        png_get_PLTE(job->png, job->info, &palette, &entries);
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (hasTrns)
            png_get_tRNS(job->png, job->info, &alpha, &alphaCount, nullptr);
        for (int i = 0; i < entries && i < 256; ++i) {
            const uint32_t a = i < alphaCount ? alpha[i] : 255;
            table[i] = MakeTableEntry(OverWhite(palette[i].red, a), OverWhite(palette[i].green, a),
                                      OverWhite(palette[i].blue, a));
        }
    } else if (colourType == PNG_COLOR_TYPE_GRAY && !hasTrns) {
        outDepth = 8;
        png_set_expand_gray_1_2_4_to_8(job->png);
        png_set_strip_16(job->png);
        FillGreyTable(table);
    } else {
        // Everything else arrives as 8-bit RGBA: missing alpha filled opaque, tRNS turned into alpha.
        png_set_expand(job->png);
        png_set_strip_16(job->png);
        png_set_gray_to_rgb(job->png);
        png_set_add_alpha(job->png, 0xFF, PNG_FILLER_AFTER);
    }
    const int passes = png_set_interlace_handling(job->png);
    png_read_update_info(job->png, job->info);
    const std::size_t rowBytes = png_get_rowbytes(job->png, job->info);
    const std::size_t expected = static_cast<std::size_t>(width) * (outDepth == 8 ? 1 : 4);
    if (rowBytes != expected) {
        job->failure = "PNG: unexpected row length " + std::to_string(rowBytes);
        return false;
    }
    if (!image->Create(static_cast<int32_t>(width), static_cast<int32_t>(height),
                       static_cast<uint16_t>(outDepth))) {
        job->failure = "PNG: not enough memory for the picture";
        return false;
    }
    if (outDepth == 8)
        (void)image->SetColourTable(table);

    auto store = [&](const uint8_t* in, std::span<uint8_t> out) {
        if (outDepth == 8) {
            std::memcpy(out.data(), in, width);
            return;
        }
        for (png_uint_32 x = 0; x < width; ++x) {
            const uint8_t* p = in + 4 * x;
            out[3 * x] = OverWhite(p[2], p[3]);
            out[3 * x + 1] = OverWhite(p[1], p[3]);
            out[3 * x + 2] = OverWhite(p[0], p[3]);
        }
    };
    if (passes > 1) {
        // The passes of an interlaced file each add pixels to every row, so all rows are kept at once.
        job->pixels.assign(rowBytes * height, 0);
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y)
                png_read_row(job->png, job->pixels.data() + rowBytes * y, nullptr);
        for (png_uint_32 y = 0; y < height; ++y)
            store(job->pixels.data() + rowBytes * y, GetRowFromTop(*image, static_cast<int32_t>(y)));
    } else {
        job->row.assign(rowBytes, 0);
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(job->png, job->row.data(), nullptr);
            store(job->row.data(), GetRowFromTop(*image, static_cast<int32_t>(y)));
        }
    }
    png_read_end(job->png, nullptr);
    return true;
}

} // namespace

CImageResult DecodePng(std::span<const uint8_t> file, CDibSection& image) {
    image.Clear();
    if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0)
        return CImageResult::Failure("PNG: missing the PNG signature");
    // The header chunk comes first (https://www.w3.org/TR/png/#5ChunkOrdering); its size is checked here
    // for a clear message, and again by libpng through its user limits.
    if (file.size() >= 24 && std::memcmp(file.data() + 12, "IHDR", 4) == 0) {
        auto big = [&](std::size_t at) {
            return static_cast<uint32_t>(file[at]) << 24 | static_cast<uint32_t>(file[at + 1]) << 16 |
                   static_cast<uint32_t>(file[at + 2]) << 8 | file[at + 3];
        };
        const uint32_t width = big(16);
        const uint32_t height = big(20);
        if (width > static_cast<uint32_t>(CDibSection::kMaxWidth) ||
            height > static_cast<uint32_t>(CDibSection::kMaxHeight))
            return CImageResult::Failure("PNG: picture of " + std::to_string(width) + " x " +
                                         std::to_string(height) + " exceeds the limit of 10000 x 10000");
        // Deflate turns one byte into at most 1032 (https://zlib.net/zlib_tech.html), so a file shorter than
        // its rows' bytes over 1032 cannot hold the picture its header claims: it is refused before the
        // bitmap is allocated.
        constexpr uint64_t kMaxDeflateRatio = 1032;
        // A header cut before its depth and colour type is refused by libpng; the least it may claim
        // (one bit of one sample a pixel) is assumed here.
        const unsigned depth = file.size() > 24 ? file[24] : 1u;
        const unsigned colourType = file.size() > 25 ? file[25] : 0u;
        const unsigned samples = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * samples * std::max(depth, 1u) + 7) / 8 + 1;
        if (rowBytes * height > static_cast<uint64_t>(file.size()) * kMaxDeflateRatio)
            return CImageResult::Failure("PNG: the file is too short for a picture of " +
                                         std::to_string(width) + " x " + std::to_string(height));
    }
    CPngJob job;
    job.input = file;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning);
    if (job.png == nullptr)
        return CImageResult::Failure("PNG: cannot start the decoder");
    job.info = png_create_info_struct(job.png);
    const bool ok = job.info != nullptr && RunDecoder(&job, &image);
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    if (ok)
        return CImageResult::Success();
    image.Clear();
    if (job.failure.empty())
        job.failure = std::string("PNG: ") + (job.message[0] ? job.message : "cannot start the decoder");
    return CImageResult::Failure(job.failure);
}

} // namespace pq
