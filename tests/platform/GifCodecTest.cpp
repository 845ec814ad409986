#include "platform/image/GifCodec.h"

#include "AllocationProbe.h"
#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

#include <gif_lib.h>

namespace pq {
namespace {

using test::Colours;

constexpr uint32_t kRed = MakeRgb(255, 0, 0);
constexpr uint32_t kGreen = MakeRgb(0, 255, 0);
constexpr uint32_t kBlue = MakeRgb(0, 0, 255);
constexpr uint32_t kWhite = MakeRgb(255, 255, 255);

struct CGifFrame {
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    bool interlaced = false;
    std::vector<GifColorType> localColours;
    std::vector<GifPixelType> pixels; // rows from the top, in picture order
    int transparentIndex = -1;
};

int AppendOutput(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// Writes a GIF with giflib: a logical screen with a global table, then the frames.
std::vector<uint8_t> WriteGif(int width, int height, const std::vector<GifColorType>& global, int background,
                              const std::vector<CGifFrame>& frames) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendOutput, &error);
    EXPECT_NE(gif, nullptr);
    EGifSetGifVersion(gif, true);
    ColorMapObject* map =
        global.empty() ? nullptr : GifMakeMapObject(static_cast<int>(global.size()), global.data());
    EXPECT_EQ(EGifPutScreenDesc(gif, width, height, 8, background, map), GIF_OK);
    for (const CGifFrame& f : frames) {
        if (f.transparentIndex >= 0) {
            GraphicsControlBlock gcb{};
            gcb.TransparentColor = f.transparentIndex;
            GifByteType bytes[4];
            EGifGCBToExtension(&gcb, bytes);
            EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, bytes), GIF_OK);
        }
        ColorMapObject* local =
            f.localColours.empty()
                ? nullptr
                : GifMakeMapObject(static_cast<int>(f.localColours.size()), f.localColours.data());
        EXPECT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local), GIF_OK);
        // giflib takes the rows in storage order; an interlaced picture stores them by passes.
        std::vector<int> order;
        if (f.interlaced) {
            for (int y = 0; y < f.height; y += 8)
                order.push_back(y);
            for (int y = 4; y < f.height; y += 8)
                order.push_back(y);
            for (int y = 2; y < f.height; y += 4)
                order.push_back(y);
            for (int y = 1; y < f.height; y += 2)
                order.push_back(y);
        } else {
            for (int y = 0; y < f.height; ++y)
                order.push_back(y);
        }
        for (int y : order) {
            std::vector<GifPixelType> line(f.pixels.begin() + y * f.width,
                                           f.pixels.begin() + (y + 1) * f.width);
            EXPECT_EQ(EGifPutLine(gif, line.data(), f.width), GIF_OK);
        }
        GifFreeMapObject(local);
    }
    GifFreeMapObject(map);
    EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
    return out;
}

const std::vector<GifColorType> kFourColours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

CDibSection Decode(const std::vector<uint8_t>& file) {
    CDibSection image;
    const CImageResult result = DecodeGif(file, image);
    EXPECT_TRUE(result.ok) << result.message;
    return image;
}

TEST(GifDecode, FirstPictureBecomesAPaletteBitmap) {
    CGifFrame frame;
    frame.width = 3;
    frame.height = 2;
    frame.pixels = {0, 1, 2, 3, 3, 0};
    CGifFrame second = frame; // a later frame must not show
    second.pixels = {3, 3, 3, 3, 3, 3};
    const CDibSection image = Decode(WriteGif(3, 2, kFourColours, 0, {frame, second}));
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetColourCount(), 256u);
    EXPECT_EQ(Colours(image), (std::vector<uint32_t>{kRed, kGreen, kBlue, kWhite, kWhite, kRed}));
}

TEST(GifDecode, PictureSmallerThanTheScreenShowsTheBackground) {
    CGifFrame frame;
    frame.left = 1;
    frame.top = 1;
    frame.width = 2;
    frame.height = 1;
    frame.pixels = {0, 1};
    const CDibSection image = Decode(WriteGif(3, 2, kFourColours, 2, {frame}));
    EXPECT_EQ(Colours(image), (std::vector<uint32_t>{kBlue, kBlue, kBlue, kBlue, kRed, kGreen}));
}

TEST(GifDecode, InterlacedRowsLandInPlace) {
    CGifFrame frame;
    frame.width = 1;
    frame.height = 10;
    frame.interlaced = true;
    for (int y = 0; y < 10; ++y)
        frame.pixels.push_back(static_cast<GifPixelType>(y % 4));
    const CDibSection image = Decode(WriteGif(1, 10, kFourColours, 0, {frame}));
    const uint32_t expected[4] = {kRed, kGreen, kBlue, kWhite};
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(GetPixelColour(image, 0, y), expected[y % 4]) << "row " << y;
}

TEST(GifDecode, LocalTableWinsAndTransparencyIsIgnored) {
    CGifFrame frame;
    frame.width = 2;
    frame.localColours = {{9, 9, 9}, {0, 0, 255}};
    frame.pixels = {0, 1};
    frame.transparentIndex = 0;
    EXPECT_EQ(Colours(Decode(WriteGif(2, 1, kFourColours, 0, {frame}))),
              (std::vector<uint32_t>{MakeRgb(9, 9, 9), kBlue}));
}

TEST(GifRefusal, HugeScreenOrPictureIsRefusedBeforeAllocating) {
    CGifFrame frame;
    frame.pixels = {1};
    std::vector<uint8_t> file = WriteGif(20000, 20000, kFourColours, 0, {frame});
    CDibSection image;
    test::StartAllocationProbe();
    CImageResult result = DecodeGif(file, image);
    EXPECT_LT(test::StopAllocationProbe(), 4096u);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("20000 x 20000"), std::string::npos) << result.message;

    // A small screen with a picture descriptor claiming 20000 x 20000: the descriptor follows the 13-byte
    // header and the 4-entry table, and holds left, top, width and height.
    file = WriteGif(4, 4, kFourColours, 0, {frame});
    ASSERT_EQ(file[25], 0x2C);
    for (std::size_t at : {30u, 32u}) {
        file[at] = 20000 & 255;
        file[at + 1] = 20000 >> 8;
    }
    test::StartAllocationProbe();
    result = DecodeGif(file, image);
    EXPECT_LT(test::StopAllocationProbe(), 4096u);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("exceeds"), std::string::npos) << result.message;
    EXPECT_TRUE(image.IsEmpty());
}

TEST(GifRefusal, TruncatedTablelessAndEmptyFiles) {
    CGifFrame frame;
    frame.width = 16;
    frame.height = 16;
    for (int i = 0; i < 256; ++i)
        frame.pixels.push_back(static_cast<GifPixelType>((i * 7) % 4));
    const std::vector<uint8_t> file = WriteGif(16, 16, kFourColours, 0, {frame});
    CDibSection image;
    for (std::size_t n : {std::size_t{5}, std::size_t{20}, file.size() - 10}) {
        const CImageResult result = DecodeGif(std::span(file).first(n), image);
        EXPECT_FALSE(result.ok) << n << " bytes";
        EXPECT_EQ(result.message.substr(0, 5), "GIF: ");
        EXPECT_TRUE(image.IsEmpty());
    }

    // One pixel and neither a global nor a local colour table (giflib will not write such a file).
    const std::vector<uint8_t> tableless = {'G',  'I', 'F',  '8',  '9', 'a', 1, 0, 1, 0, 0, 0, 0, // screen
                                            0x2C, 0,   0,    0,    0,   1,   0, 1, 0, 0,          // picture
                                            2,    2,   0x44, 0x01, 0, // clear, 0, end
                                            0x3B};
    EXPECT_NE(DecodeGif(tableless, image).message.find("colour table"), std::string::npos);
    EXPECT_NE(DecodeGif(WriteGif(1, 1, kFourColours, 0, {}), image).message.find("no picture"),
              std::string::npos);
}

} // namespace
} // namespace pq
