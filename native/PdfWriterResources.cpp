#include "native/PdfWriter.h"

#include "geometry/Numeric.h"
#include "model/GraphicObject.h"
#include "native/PdfDeflate.h"
#include "native/PdfNumbers.h"
#include "native/PdfTextEncoding.h"
#include "platform/image/DibPixels.h"
#include "render/FontNameMapping.h"

namespace pq {

namespace {

// Name bytes that would end or break a PDF name are written as "#xx" (PDF 1.7 reference, 3.2.4).
void AppendNameByte(std::string& out, uint8_t byte) {
    static constexpr std::string_view kDelimiters = "()<>[]{}/%#";
    if (byte > 0x20 && byte < 0x7F && kDelimiters.find(static_cast<char>(byte)) == std::string_view::npos) {
        out += static_cast<char>(byte);
        return;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '#';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

} // namespace

std::string CPdfWriter::BaseFontName(const CTextShape& text) {
    const std::u16string face = MapFontName(text.faceName, FontNameDirection::DeviceToPostScript);
    std::string name;
    for (char16_t c : face)
        AppendNameByte(name, c <= 0xFF ? static_cast<uint8_t>(c) : static_cast<uint8_t>('?'));
    const bool bold = (text.style & kTextStyleBold) != 0;
    const bool italic = (text.style & kTextStyleItalic) != 0;
    if (bold && italic)
        name += ",BoldItalic";
    else if (bold)
        name += ",Bold";
    else if (italic)
        name += ",Italic";
    return name;
}

void CPdfWriter::WriteImages() {
    std::vector<uint8_t> rgb;
    std::vector<uint8_t> compressed;
    for (std::size_t k = 0; k < images.size(); ++k) {
        const CDibSection& bitmap = images[k]->bitmap;
        const int32_t width = bitmap.GetWidth();
        const int32_t height = bitmap.GetHeight();
        // Top-down rows of red, green and blue bytes, from a bitmap of any depth.
        rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        uint8_t* p = rgb.data();
        for (int32_t y = 0; y < height; ++y) {
            if (bitmap.GetBitCount() == 24) {
                const std::span<const uint8_t> row = GetRowFromTop(bitmap, y);
                for (int32_t x = 0; x < width; ++x, p += 3) {
                    p[0] = row[3 * static_cast<std::size_t>(x) + 2];
                    p[1] = row[3 * static_cast<std::size_t>(x) + 1];
                    p[2] = row[3 * static_cast<std::size_t>(x)];
                }
                continue;
            }
            for (int32_t x = 0; x < width; ++x, p += 3) {
                const uint32_t colour = GetPixelColour(bitmap, x, y);
                p[0] = RedOf(colour);
                p[1] = GreenOf(colour);
                p[2] = BlueOf(colour);
            }
        }

        const int number = firstImageObject + static_cast<int>(k);
        BeginObject(number);
        file += "<<\r\n/Type /XObject\r\n/Subtype /Image\r\n/Name /Im";
        AppendInt(file, number);
        const bool compress = DeflateBytes(rgb, compressed) && compressed.size() >= 2;
        if (compress) {
            // The flag byte of the zlib header as written since the first version (maximum compression
            // level; the header check still holds for the 0x78 method byte zlib writes).
            compressed[1] = 0xDA;
            file += "\r\n/Filter [/FlateDecode ]";
        }
        file += "\r\n/Width ";
        AppendInt(file, width);
        file += "\r\n/Height ";
        AppendInt(file, height);
        file += "\r\n/BitsPerComponent 8\r\n/ColorSpace /DeviceRGB\r\n/Length ";
        const std::vector<uint8_t>& data = compress ? compressed : rgb;
        AppendInt(file, static_cast<int64_t>(data.size()));
        file += "\r\n>>\r\nstream\r\n";
        file.append(reinterpret_cast<const char*>(data.data()), data.size());
        file += "endstream\r\nendobj\r\n";
    }
}

} // namespace pq
