#include "formats/ai/AiWriter.h"

#include "formats/ai/AiNumbers.h"
#include "model/GraphicObject.h"
#include "platform/image/DibPixels.h"

#include <cmath>

namespace pq {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kPixelsPerDataLine = 10;

void AppendHexByte(std::string& out, uint8_t value) {
    out += kHexDigits[value >> 4];
    out += kHexDigits[value & 0xF];
}

} // namespace

bool CAiWriter::WriteImage(const CImageShape& image) {
    const CDibSection& bitmap = image.bitmap;
    const int32_t width = bitmap.GetWidth();
    const int32_t height = bitmap.GetHeight();
    // A picture without pixels has nothing to show.
    if (bitmap.IsEmpty() || width < 1 || height < 1)
        return false;
    const CPointF topLeft = ToAi({image.placement.left, image.placement.top});
    const CPointF bottomRight = ToAi({image.placement.right, image.placement.bottom});

    Line("%AI5_File");
    Line("%AI5_BeginRaster");
    Line("() 0 XG");
    std::string matrix = "[";
    AppendAiNumber(matrix, std::fabs(bottomRight.x - topLeft.x) / width);
    matrix += " 0 0 ";
    AppendAiNumber(matrix, std::fabs(bottomRight.y - topLeft.y) / height);
    matrix += ' ';
    AppendAiNumber(matrix, topLeft.x);
    matrix += ' ';
    AppendAiNumber(matrix, -topLeft.y);
    matrix += "] ";
    std::string size;
    AppendAiInt(size, width);
    size += ' ';
    AppendAiInt(size, height);
    size += ' ';
    Line(matrix + size + "0 Xh");
    Line(matrix + "0 0 " + size + size + "8 3 0 0 0 0");
    const int64_t pixels = static_cast<int64_t>(width) * height;
    file += "%%BeginData: ";
    AppendAiInt(file, 2 * (3 * pixels + pixels / 30) + 5);
    Line("");
    Line("XI");

    file.reserve(file.size() + static_cast<std::size_t>(pixels) * 6 + static_cast<std::size_t>(pixels) / 5 +
                 64);
    int inLine = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (inLine == 0)
                file += '%';
            const uint32_t colour = GetPixelColour(bitmap, x, y);
            AppendHexByte(file, RedOf(colour));
            AppendHexByte(file, GreenOf(colour));
            AppendHexByte(file, BlueOf(colour));
            if (++inLine == kPixelsPerDataLine) {
                file += "\r\n";
                inLine = 0;
            }
        }
    }
    if (inLine != 0)
        file += "\r\n";
    Line("%%EndData");
    Line("XH");
    Line("%AI5_EndRaster");
    Line("F");
    return true;
}

} // namespace pq
