#include "platform/image/ImageFile.h"

#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"
#include "platform/image/BmpCodec.h"
#include "platform/image/GifCodec.h"
#include "platform/image/JpegCodec.h"
#include "platform/image/PngCodec.h"

#include <array>
#include <cstring>
#include <vector>

namespace pq {

namespace {

using Decoder = CImageResult (*)(std::span<const uint8_t>, CDibSection&);

bool StartsWith(std::span<const uint8_t> data, std::string_view signature) {
    return data.size() >= signature.size() &&
           std::memcmp(data.data(), signature.data(), signature.size()) == 0;
}

bool IsBmpData(std::span<const uint8_t> d) {
    return StartsWith(d, "BM");
}
bool IsJpegData(std::span<const uint8_t> d) {
    return StartsWith(d, "\xFF\xD8\xFF");
}
bool IsGifData(std::span<const uint8_t> d) {
    return StartsWith(d, "GIF87a") || StartsWith(d, "GIF89a");
}
bool IsPngData(std::span<const uint8_t> d) {
    return StartsWith(d, "\x89PNG\r\n\x1A\n");
}

// The image formats: the file-name ending that marks each, how its data begins and its decoder.
struct CImageFormat {
    std::string_view extension;
    bool (*matches)(std::span<const uint8_t>);
    Decoder decode;
};

constexpr std::array<CImageFormat, 5> kFormats = {{
    {".bmp", IsBmpData, DecodeBmp},
    {".jpg", IsJpegData, DecodeJpeg},
    {".gif", IsGifData, DecodeGif},
    {".png", IsPngData, DecodePng},
    {".2bp", IsBmpData, Decode2bp},
}};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

CImageResult WriteEncoded(const std::string& fileName, const CImageResult& encoded,
                          std::span<const uint8_t> bytes) {
    if (!encoded)
        return encoded;
    return WriteFileReplacing(fileName, bytes);
}

} // namespace

bool IsImageFile(std::string_view fileName) {
    if (fileName.size() < 4)
        return false;
    std::string ending(fileName.substr(fileName.size() - 4));
    for (char& c : ending)
        c = LowerAscii(c);
    for (const CImageFormat& format : kFormats)
        if (ending == format.extension)
            return true;
    return false;
}

CImageResult DecodeImage(std::span<const uint8_t> file, CDibSection& image) {
    for (const CImageFormat& format : kFormats)
        if (format.matches(file))
            return format.decode(file, image);
    image.Clear();
    return CImageResult::Failure("not a BMP, JPEG, GIF, PNG or 2BP picture");
}

CImageResult LoadImageFile(const std::string& path, CDibSection& image) {
    image.Clear();
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(path, kMaxImageFileBytes, bytes, message))
        return CImageResult::Failure(message);
    CImageResult result = DecodeImage(bytes, image);
    if (!result)
        result.message = path + ": " + result.message;
    return result;
}

std::string ReplaceExtension(std::string_view fileName, std::string_view extension) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t dot = fileName.find_last_of('.');
    std::string result(fileName);
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        result.resize(dot);
    result += '.';
    result += extension;
    return result;
}

CImageResult WriteBmpFile(const CDibSection& image, const std::string& fileName) {
    std::vector<uint8_t> bytes;
    const CImageResult encoded = EncodeBmp(image, bytes);
    return WriteEncoded(fileName, encoded, bytes);
}

CImageResult WriteJpegFile(const std::string& fileName, const CDibSection& image, int quality) {
    std::vector<uint8_t> bytes;
    const CImageResult encoded = EncodeJpeg(image, quality, bytes);
    return WriteEncoded(fileName, encoded, bytes);
}

CImageResult WritePngFile(const std::string& fileName, const CDibSection& image) {
    CPngFile file;
    const CImageResult encoded = EncodePng(image, file);
    return WriteEncoded(fileName, encoded, file.Bytes());
}

} // namespace pq
