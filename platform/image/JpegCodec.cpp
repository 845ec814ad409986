#include "platform/image/JpegCodec.h"

#include "platform/image/DibPixels.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

// jpeglib.h expects FILE and size_t to be declared before it.
#include <jerror.h>
#include <jpeglib.h>

namespace pq {

namespace {

// Above this much working memory (the coefficient buffers of a progressive picture, mostly) the decoder
// stops with an error instead of asking for more: no backing store is configured.
constexpr long kMaxDecoderMemory = 1024L * 1024 * 1024;
// A progressive file may hold any number of scans; far more than any encoder writes is an attack.
constexpr int kMaxScans = 1000;

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to the
// setjmp in the function that started the library call, with the message saved.
struct CJpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int firstWarning;
};

void OnJpegError(j_common_ptr info) {
    auto* err = reinterpret_cast<CJpegErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (corrupt data the library works around) are remembered, never printed.
void OnJpegMessage(j_common_ptr info, int level) {
    auto* err = reinterpret_cast<CJpegErrorManager*>(info->err);
    if (level < 0 && err->firstWarning == 0)
        err->firstWarning = info->err->msg_code;
}

void OnJpegOutput(j_common_ptr) {}

void OnJpegProgress(j_common_ptr info) {
    if (!info->is_decompressor)
        return;
    auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    if (decoder->input_scan_number > kMaxScans) {
        auto* err = reinterpret_cast<CJpegErrorManager*>(info->err);
        std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxScans);
        std::longjmp(err->jump, 1);
    }
}

void InstallErrorManager(CJpegErrorManager& err) {
    std::memset(&err, 0, sizeof err);
    jpeg_std_error(&err.pub);
    err.pub.error_exit = OnJpegError;
    err.pub.emit_message = OnJpegMessage;
    err.pub.output_message = OnJpegOutput;
}

// State of one decoding, kept outside the function that calls setjmp so that nothing that function
// changes lives in its own frame when the library jumps back.
struct CJpegDecoding {
    jpeg_decompress_struct info;
    CJpegErrorManager err;
    jpeg_progress_mgr progress;
    std::string failure;
};

void ConvertRow(const CJpegDecoding& job, const JSAMPLE* in, std::span<uint8_t> out) {
    const JDIMENSION width = job.info.output_width;
    switch (job.info.out_color_space) {
    case JCS_GRAYSCALE:
        std::memcpy(out.data(), in, width);
        break;
    case JCS_RGB:
        for (JDIMENSION x = 0; x < width; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
        break;
    default: { // CMYK
        // Adobe writes CMYK inverted (255 = no ink), as do the files its marker identifies.
        const bool inverted = job.info.saw_Adobe_marker;
        for (JDIMENSION x = 0; x < width; ++x) {
            unsigned c = in[4 * x];
            unsigned m = in[4 * x + 1];
            unsigned y = in[4 * x + 2];
            unsigned k = in[4 * x + 3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            out[3 * x] = static_cast<uint8_t>((y * k + 127) / 255);
            out[3 * x + 1] = static_cast<uint8_t>((m * k + 127) / 255);
            out[3 * x + 2] = static_cast<uint8_t>((c * k + 127) / 255);
        }
        break;
    }
    }
}

// Runs the library; returns false with job->failure or the library's message set.
bool RunDecoder(CJpegDecoding* job, std::span<const uint8_t> file, CDibSection* image) {
    if (setjmp(job->err.jump))
        return false;
    jpeg_create_decompress(&job->info);
    job->info.mem->max_memory_to_use = kMaxDecoderMemory;
    job->progress.progress_monitor = OnJpegProgress;
    job->info.progress = &job->progress;
    jpeg_mem_src(&job->info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&job->info, TRUE);

    const JDIMENSION width = job->info.image_width;
    const JDIMENSION height = job->info.image_height;
    if (width > static_cast<JDIMENSION>(CDibSection::kMaxWidth) ||
        height > static_cast<JDIMENSION>(CDibSection::kMaxHeight)) {
        job->failure = "JPEG: picture of " + std::to_string(width) + " x " + std::to_string(height) +
                       " exceeds the limit of 10000 x 10000";
        return false;
    }
    // In a sequential Huffman-coded file every 8 x 8 block of every component costs at least two codes of
    // at least one bit (its DC difference and its end of block), so one byte stands for at most 256
    // pixels. A shorter file cannot hold the picture its header claims and is refused before the bitmap
    // is allocated. Progressive and arithmetic-coded files can say more in fewer bytes; the decoder's
    // memory bound holds for them.
    constexpr uint64_t kMaxPixelsPerByte = 256;
    if (!job->info.progressive_mode && !job->info.arith_code &&
        static_cast<uint64_t>(width) * height > static_cast<uint64_t>(file.size()) * kMaxPixelsPerByte) {
        job->failure = "JPEG: the file is too short for a picture of " + std::to_string(width) + " x " +
                       std::to_string(height);
        return false;
    }
    switch (job->info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        job->info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        job->info.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        job->info.out_color_space = JCS_CMYK;
        break;
    default:
        job->failure =
            "JPEG: unsupported colour space with " + std::to_string(job->info.num_components) + " components";
        return false;
    }
    jpeg_start_decompress(&job->info);

    const bool grey = job->info.out_color_space == JCS_GRAYSCALE;
    if (!image->Create(static_cast<int32_t>(job->info.output_width),
                       static_cast<int32_t>(job->info.output_height), grey ? 8 : 24)) {
        job->failure = "JPEG: not enough memory for the picture";
        return false;
    }
    if (grey) {
        uint32_t table[256];
        FillGreyTable(table);
        (void)image->SetColourTable(table);
    }
    JSAMPARRAY row = (*job->info.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&job->info), JPOOL_IMAGE,
        job->info.output_width * static_cast<JDIMENSION>(job->info.output_components), 1);
    while (job->info.output_scanline < job->info.output_height) {
        const auto y = static_cast<int32_t>(job->info.output_scanline);
        if (jpeg_read_scanlines(&job->info, row, 1) != 1)
            break;
        ConvertRow(*job, row[0], GetRowFromTop(*image, y));
    }
    if (job->err.firstWarning == JWRN_JPEG_EOF) {
        job->failure = "JPEG: the data ends before the picture is complete";
        return false;
    }
    jpeg_finish_decompress(&job->info);
    if (job->err.firstWarning == JWRN_JPEG_EOF) {
        job->failure = "JPEG: the data ends before the picture is complete";
        return false;
    }
    return true;
}

// The compressed data goes to a growable byte vector through a fixed block the library fills.
struct CJpegEncoding {
    jpeg_compress_struct info;
    CJpegErrorManager err;
    jpeg_destination_mgr destination;
    JOCTET block[4096];
    std::vector<uint8_t>* output;
};

CJpegEncoding* EncodingOf(j_compress_ptr info) {
    return reinterpret_cast<CJpegEncoding*>(reinterpret_cast<char*>(info) - offsetof(CJpegEncoding, info));
}

void AppendBlock(CJpegEncoding* job, std::size_t count) {
    bool stored = true;
    try {
        job->output->insert(job->output->end(), job->block, job->block + count);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    // The jump leaves the handler first: jumping out of a catch block would skip the exception's cleanup.
    if (!stored) {
        std::snprintf(job->err.message, sizeof job->err.message, "not enough memory for the data");
        std::longjmp(job->err.jump, 1);
    }
}

void OnDestinationInit(j_compress_ptr info) {
    CJpegEncoding* job = EncodingOf(info);
    job->destination.next_output_byte = job->block;
    job->destination.free_in_buffer = sizeof job->block;
}

boolean OnDestinationFull(j_compress_ptr info) {
    CJpegEncoding* job = EncodingOf(info);
    AppendBlock(job, sizeof job->block);
    OnDestinationInit(info);
    return TRUE;
}

void OnDestinationDone(j_compress_ptr info) {
    CJpegEncoding* job = EncodingOf(info);
    AppendBlock(job, sizeof job->block - job->destination.free_in_buffer);
}

bool RunEncoder(CJpegEncoding* job, const CDibSection* image, int quality) {
    if (setjmp(job->err.jump))
        return false;
    jpeg_create_compress(&job->info);
    job->destination.init_destination = OnDestinationInit;
    job->destination.empty_output_buffer = OnDestinationFull;
    job->destination.term_destination = OnDestinationDone;
    job->info.dest = &job->destination;
    job->info.image_width = static_cast<JDIMENSION>(image->GetWidth());
    job->info.image_height = static_cast<JDIMENSION>(image->GetHeight());
    job->info.input_components = 3;
    job->info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&job->info);
    jpeg_set_quality(&job->info, quality, FALSE);
    job->info.optimize_coding = TRUE;
    jpeg_start_compress(&job->info, TRUE);
    JSAMPARRAY row = (*job->info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&job->info), JPOOL_IMAGE,
                                                    job->info.image_width * 3, 1);
    while (job->info.next_scanline < job->info.image_height) {
        const auto source = GetRowFromTop(*image, static_cast<int32_t>(job->info.next_scanline));
        for (JDIMENSION x = 0; x < job->info.image_width; ++x) {
            row[0][3 * x] = source[3 * x + 2];
            row[0][3 * x + 1] = source[3 * x + 1];
            row[0][3 * x + 2] = source[3 * x];
        }
        jpeg_write_scanlines(&job->info, row, 1);
    }
    jpeg_finish_compress(&job->info);
    return true;
}

} // namespace

CImageResult DecodeJpeg(std::span<const uint8_t> file, CDibSection& image) {
    image.Clear();
    auto job = std::make_unique<CJpegDecoding>();
    std::memset(&job->info, 0, sizeof job->info);
    std::memset(&job->progress, 0, sizeof job->progress);
    InstallErrorManager(job->err);
    job->info.err = &job->err.pub;
    const bool ok = RunDecoder(job.get(), file, &image);
    jpeg_destroy_decompress(&job->info);
    if (ok)
        return CImageResult::Success();
    image.Clear();
    if (job->failure.empty())
        job->failure = std::string("JPEG: ") + job->err.message;
    return CImageResult::Failure(job->failure);
}

CImageResult EncodeJpeg(const CDibSection& image, int quality, std::vector<uint8_t>& file) {
    file.clear();
    if (image.IsEmpty())
        return CImageResult::Failure("JPEG: there is no picture to write");
    if (image.GetBitCount() != 24)
        return CImageResult::Failure("JPEG: only 24-bit bitmaps can be written, not " +
                                     std::to_string(image.GetBitCount()) + "-bit ones");
    auto job = std::make_unique<CJpegEncoding>();
    std::memset(&job->info, 0, sizeof job->info);
    std::memset(&job->destination, 0, sizeof job->destination);
    InstallErrorManager(job->err);
    job->info.err = &job->err.pub;
    job->output = &file;
    const bool ok = RunEncoder(job.get(), &image, quality < 1 ? 1 : quality > 100 ? 100 : quality);
    jpeg_destroy_compress(&job->info);
    if (ok)
        return CImageResult::Success();
    file.clear();
    return CImageResult::Failure(std::string("JPEG: ") + job->err.message);
}

} // namespace pq
