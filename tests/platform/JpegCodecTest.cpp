#include "platform/image/JpegCodec.h"

#include "AllocationProbe.h"
#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <jpeglib.h>

namespace pq {
namespace {

// Compresses raw interleaved samples with libjpeg directly, for pictures our encoder does not make.
std::vector<uint8_t> CompressSamples(int width, int height, int components, J_COLOR_SPACE space,
                                     const std::vector<uint8_t>& samples) {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < height; ++y) {
        JSAMPROW row =
            const_cast<JSAMPROW>(samples.data() + static_cast<std::size_t>(y * width * components));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// Offset of the first marker 0xFF code in the data, or npos.
std::size_t FindMarker(const std::vector<uint8_t>& data, uint8_t code) {
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        if (data[i] == 0xFF && data[i + 1] == code)
            return i;
    return std::string::npos;
}

// The largest difference of one colour channel between two pictures of the same size.
int LargestChannelDifference(const CDibSection& a, const CDibSection& b) {
    EXPECT_EQ(a.GetWidth(), b.GetWidth());
    EXPECT_EQ(a.GetHeight(), b.GetHeight());
    const std::vector<uint32_t> p = test::Colours(a), q = test::Colours(b);
    int largest = 0;
    for (std::size_t i = 0; i < std::min(p.size(), q.size()); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            largest = std::max(largest, std::abs(static_cast<int>((p[i] >> shift) & 255) -
                                                 static_cast<int>((q[i] >> shift) & 255)));
    return largest;
}

TEST(JpegEncode, QualityHundredSequentialWithOptimisedTablesDecodesClose) {
    const CDibSection picture = test::MakeGradient(21, 13);
    std::vector<uint8_t> file;
    const CImageResult written = EncodeJpeg(picture, 100, file);
    ASSERT_TRUE(written.ok) << written.message;
    const std::size_t dqt = FindMarker(file, 0xDB);
    ASSERT_NE(dqt, std::string::npos);
    for (std::size_t i = 0; i < 64; ++i)
        ASSERT_EQ(file[dqt + 5 + i], 1) << "quality 100 makes quantisation step " << i << " 1";
    EXPECT_NE(FindMarker(file, 0xC0), std::string::npos) << "baseline sequential frame expected";
    EXPECT_EQ(FindMarker(file, 0xC2), std::string::npos) << "not progressive";

    // The same picture with the library's standard tables is larger than with optimised ones.
    std::vector<uint8_t> samples;
    for (uint32_t c : test::Colours(picture))
        samples.insert(samples.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
    EXPECT_LT(file.size(), CompressSamples(21, 13, 3, JCS_RGB, samples).size());

    CDibSection decoded;
    const CImageResult read = DecodeJpeg(file, decoded);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(decoded.GetBitCount(), 24);
    // Quality 100 quantises by 1, but the chroma is sampled at half resolution.
    EXPECT_LE(LargestChannelDifference(decoded, picture), 12);

    CDibSection indexed;
    ASSERT_TRUE(indexed.Create(4, 4, 8));
    const CImageResult refused = EncodeJpeg(indexed, 100, file);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("24-bit"), std::string::npos);
    EXPECT_TRUE(file.empty());
    EXPECT_FALSE(EncodeJpeg(CDibSection{}, 100, file).ok);
}

TEST(JpegDecode, GreyBecomesEightBitAndAdobeCmykBecomesRgb) {
    std::vector<uint8_t> samples(8 * 8);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(i * 4);
    CDibSection image;
    ASSERT_TRUE(DecodeJpeg(CompressSamples(8, 8, 1, JCS_GRAYSCALE, samples), image).ok);
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetColourCount(), 256u);
    const uint32_t corner = GetPixelColour(image, 7, 7);
    EXPECT_NEAR(RedOf(corner), 252, 3);
    EXPECT_EQ(RedOf(corner), BlueOf(corner));

    // Adobe stores CMYK inverted: 255 means no ink. Cyan and yellow inked, magenta and black not: green.
    samples.clear();
    for (int i = 0; i < 64; ++i)
        samples.insert(samples.end(), {0, 255, 0, 255});
    const auto file = CompressSamples(8, 8, 4, JCS_CMYK, samples);
    ASSERT_NE(FindMarker(file, 0xEE), std::string::npos) << "libjpeg writes the Adobe marker for CMYK";
    const CImageResult result = DecodeJpeg(file, image);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(image.GetBitCount(), 24);
    const uint32_t c = GetPixelColour(image, 3, 3);
    EXPECT_NEAR(RedOf(c), 0, 3);
    EXPECT_NEAR(GreenOf(c), 255, 3);
    EXPECT_NEAR(BlueOf(c), 0, 3);
}

// Over the size limit, or within it but more pixels than the data could hold.
TEST(JpegRefusal, HugeClaimsAreRefusedBeforeAllocating) {
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeJpeg(test::MakeGradient(8, 8), 100, file).ok);
    const std::size_t sof = FindMarker(file, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    for (auto [size, reason] : {std::pair<int, const char*>{20000, "20000 x 20000"}, {10000, "too short"}}) {
        // Frame header: length (2), precision (1), height (2), width (2).
        for (std::size_t at : {sof + 5, sof + 7}) {
            file[at] = static_cast<uint8_t>(size >> 8);
            file[at + 1] = static_cast<uint8_t>(size & 255);
        }
        test::ExpectRefusedBeforeAllocating(DecodeJpeg, file, reason);
    }
}

TEST(JpegRefusal, TruncatedAndForeignData) {
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeJpeg(test::MakeTestPicture(16, 16), 100, file).ok);
    test::ExpectEveryPrefixRefused(DecodeJpeg, file, file.size());
    CDibSection image;
    CImageResult result = DecodeJpeg(std::span(file).first(file.size() / 2), image);
    EXPECT_NE(result.message.find("ends before"), std::string::npos) << result.message;

    const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    result = DecodeJpeg(text, image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message.substr(0, 6), "JPEG: ");
    EXPECT_FALSE(DecodeJpeg({}, image).ok);
}

} // namespace
} // namespace pq
