#include "platform/image/GifCodec.h"

#include "platform/image/DibPixels.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gif_lib.h>

namespace pq {

namespace {

struct CGifInput {
    std::span<const uint8_t> bytes;
    std::size_t position = 0;
};

// giflib's read callback: copies what remains, which is fewer bytes than asked at the end of the data.
int OnGifRead(GifFileType* gif, GifByteType* buffer, int count) {
    auto* input = static_cast<CGifInput*>(gif->UserData);
    if (count <= 0)
        return 0;
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(count), input->bytes.size() - input->position);
    std::memcpy(buffer, input->bytes.data() + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

CImageResult Fail(const std::string& text) {
    return CImageResult::Failure("GIF: " + text);
}

CImageResult LibraryFailure(int code) {
    const char* text = GifErrorString(code);
    return Fail(text != nullptr ? text : "unknown error " + std::to_string(code));
}

// Closes the file on every way out of the decoder.
struct CGifCloser {
    GifFileType* gif;
    ~CGifCloser() {
        int ignored = 0;
        if (gif != nullptr)
            DGifCloseFile(gif, &ignored);
    }
};

std::string Size(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// LZW codes are at most 12 bits and stand for at most 4096 pixels each, so one byte of picture data
// stands for at most 2731 pixels (the GIF89a format description, appendix F: variable-length codes).
constexpr uint64_t kMaxPixelsPerByte = 2731;

CImageResult ReadFirstPicture(GifFileType* gif, std::size_t fileBytes, CDibSection& image) {
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            return LibraryFailure(gif->Error);
        if (record == TERMINATE_RECORD_TYPE)
            return Fail("the file holds no picture");
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                return LibraryFailure(gif->Error);
            while (block != nullptr)
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    return LibraryFailure(gif->Error);
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            return Fail("unexpected record in the file");
        break;
    }
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return LibraryFailure(gif->Error);

    const GifImageDesc& frame = gif->Image;
    if (frame.Width < 1 || frame.Height < 1)
        return Fail("empty picture (" + Size(frame.Width, frame.Height) + ")");
    if (frame.Width > CDibSection::kMaxWidth || frame.Height > CDibSection::kMaxHeight)
        return Fail("picture of " + Size(frame.Width, frame.Height) + " exceeds the limit of 10000 x 10000");
    const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (map == nullptr)
        return Fail("the picture has no colour table");

    // Some writers leave the logical screen empty; the picture then gives the size.
    int width = gif->SWidth;
    int height = gif->SHeight;
    if (width < 1 || height < 1) {
        width = frame.Left + frame.Width;
        height = frame.Top + frame.Height;
    }
    if (width > CDibSection::kMaxWidth || height > CDibSection::kMaxHeight)
        return Fail("screen of " + Size(width, height) + " exceeds the limit of 10000 x 10000");
    // A header that claims more than the file's bytes could ever fill is refused before anything of its
    // size is allocated.
    const uint64_t most = static_cast<uint64_t>(fileBytes) * kMaxPixelsPerByte;
    if (static_cast<uint64_t>(frame.Width) * static_cast<uint64_t>(frame.Height) > most ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > most)
        return Fail("the file is too short for a picture of " +
                    Size(std::max(width, frame.Width), std::max(height, frame.Height)));
    if (!image.Create(width, height, 8))
        return Fail("not enough memory for " + Size(width, height) + " pixels");

    uint32_t table[256] = {};
    for (int i = 0; i < map->ColorCount && i < 256; ++i)
        table[i] = MakeTableEntry(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    (void)image.SetColourTable(table);
    const auto background = static_cast<uint8_t>(gif->SBackGroundColor);
    for (int y = 0; y < height; ++y) {
        auto row = GetRowFromTop(image, y);
        std::fill_n(row.begin(), width, background);
    }

    // Rows arrive in storage order; interlaced pictures store every 8th row from 0, every 8th from 4,
    // every 4th from 2, then every 2nd from 1.
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kStart[pass] : 0;
        const int step = frame.Interlace ? kStep[pass] : 1;
        for (int y = start; y < frame.Height; y += step) {
            if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR)
                return LibraryFailure(gif->Error);
            const int screenY = frame.Top + y;
            if (screenY >= height)
                continue;
            auto row = GetRowFromTop(image, screenY);
            for (int x = 0; x < frame.Width && frame.Left + x < width; ++x)
                row[static_cast<std::size_t>(frame.Left + x)] = line[static_cast<std::size_t>(x)];
        }
    }
    return CImageResult::Success();
}

} // namespace

CImageResult DecodeGif(std::span<const uint8_t> file, CDibSection& image) {
    image.Clear();
    CGifInput input{file, 0};
    int error = 0;
    CGifCloser closer{DGifOpen(&input, OnGifRead, &error)};
    if (closer.gif == nullptr)
        return LibraryFailure(error);
    // The logical screen is checked as soon as giflib has read it, before any picture data.
    if (closer.gif->SWidth > CDibSection::kMaxWidth || closer.gif->SHeight > CDibSection::kMaxHeight) {
        return Fail("screen of " + Size(closer.gif->SWidth, closer.gif->SHeight) +
                    " exceeds the limit of 10000 x 10000");
    }
    CImageResult result = ReadFirstPicture(closer.gif, file.size(), image);
    if (!result)
        image.Clear();
    return result;
}

} // namespace pq
