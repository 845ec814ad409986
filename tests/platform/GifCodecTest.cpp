#include "platform/image/GifCodec.h"

#include "AllocationProbe.h"
#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

#include <gif_lib.h>

namespace pq {
namespace {

using test::Colours;
using Pixels = std::vector<uint32_t>;

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
    std::vector<GifColorType> localColours{};
    std::vector<GifPixelType> pixels{}; // rows from the top, in picture order
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
        for (auto [start, step] : f.interlaced
                                      ? std::vector<std::pair<int, int>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                                      : std::vector<std::pair<int, int>>{{0, 1}})
            for (int y = start; y < f.height; y += step)
                order.push_back(y);
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

TEST(GifDecode, FirstPictureOnTheBackgroundInAPaletteBitmap) {
    const CGifFrame first{.width = 3, .height = 2, .pixels = {0, 1, 2, 3, 3, 0}};
    const CGifFrame second{.width = 3, .height = 2, .pixels = {3, 3, 3, 3, 3, 3}}; // must not show
    const CDibSection image = Decode(WriteGif(3, 2, kFourColours, 0, {first, second}));
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetColourCount(), 256u);
    EXPECT_EQ(Colours(image), (Pixels{kRed, kGreen, kBlue, kWhite, kWhite, kRed}));

    // A picture smaller than the screen shows the background (blue) around it.
    const CGifFrame inner{.left = 1, .top = 1, .width = 2, .pixels = {0, 1}};
    EXPECT_EQ(Colours(Decode(WriteGif(3, 2, kFourColours, 2, {inner}))),
              (Pixels{kBlue, kBlue, kBlue, kBlue, kRed, kGreen}));

    // A local table wins over the global one; transparency is ignored.
    const CGifFrame local{
        .width = 2, .localColours = {{9, 9, 9}, {0, 0, 255}}, .pixels = {0, 1}, .transparentIndex = 0};
    EXPECT_EQ(Colours(Decode(WriteGif(2, 1, kFourColours, 0, {local}))), (Pixels{MakeRgb(9, 9, 9), kBlue}));

    CGifFrame interlaced{.height = 10, .interlaced = true};
    for (int y = 0; y < 10; ++y)
        interlaced.pixels.push_back(static_cast<GifPixelType>(y % 4));
    const CDibSection rows = Decode(WriteGif(1, 10, kFourColours, 0, {interlaced}));
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(GetPixelColour(rows, 0, y), Colours(image)[y % 4]) << "row " << y;
}

TEST(GifRefusal, HugeScreenOrPictureIsRefusedBeforeAllocating) {
    const CGifFrame frame{.pixels = {1}};
    test::ExpectRefusedBeforeAllocating(DecodeGif, WriteGif(20000, 20000, kFourColours, 0, {frame}),
                                        "20000 x 20000");
    // Within the limit, but more pixels than the data could hold.
    test::ExpectRefusedBeforeAllocating(DecodeGif, WriteGif(10000, 10000, kFourColours, 0, {frame}),
                                        "too short");

    // A small screen with a picture descriptor claiming 20000 x 20000: the descriptor follows the 13-byte
    // header and the 4-entry table, and holds left, top, width and height.
    std::vector<uint8_t> file = WriteGif(4, 4, kFourColours, 0, {frame});
    ASSERT_EQ(file[25], 0x2C);
    for (std::size_t at : {30u, 32u}) {
        file[at] = 20000 & 255;
        file[at + 1] = 20000 >> 8;
    }
    test::ExpectRefusedBeforeAllocating(DecodeGif, file, "exceeds");
}

TEST(GifRefusal, TruncatedTablelessAndEmptyFiles) {
    CGifFrame frame{.width = 16, .height = 16};
    for (int i = 0; i < 256; ++i)
        frame.pixels.push_back(static_cast<GifPixelType>((i * 7) % 4));
    const std::vector<uint8_t> file = WriteGif(16, 16, kFourColours, 0, {frame});
    CDibSection image;
    // Every prefix that cuts into the picture is refused; only the closing trailer byte may be missing.
    ASSERT_EQ(file.back(), 0x3B);
    for (std::size_t n = 0; n + 1 < file.size(); ++n) {
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
