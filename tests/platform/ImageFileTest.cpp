#include "platform/image/ImageFile.h"

#include "ImageTestHelpers.h"
#include "platform/image/AtomicWrite.h"
#include "platform/image/JpegCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace pq {
namespace {

using test::Colours;
using test::CScratchFolder;

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::size_t CountEntries(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(IsImageFile, AcceptsTheFiveEndingsInAnyCase) {
    for (const char* name :
         {"photo.PNG", "a.png", "x.bmp", "scan.Jpg", "anim.gif", "pocket.2BP", "/a.b/c.bmp"})
        EXPECT_TRUE(IsImageFile(name)) << name;
    for (const char* name : {"x.tif", "photo.jpeg", "bmp", "png", "", "a.pdf", "x.bmp.txt"})
        EXPECT_FALSE(IsImageFile(name)) << name;
}

TEST(ReplaceExtension, ReplacesOnlyTheFileNamesOwnExtension) {
    EXPECT_EQ(ReplaceExtension("picture.jpeg", "jpg"), "picture.jpg");
    EXPECT_EQ(ReplaceExtension("picture.BMP", "bmp"), "picture.bmp");
    EXPECT_EQ(ReplaceExtension("picture", "bmp"), "picture.bmp");
    EXPECT_EQ(ReplaceExtension("a.b.c", "jpg"), "a.b.jpg");
    EXPECT_EQ(ReplaceExtension("/home/me/my.pictures/page", "jpg"), "/home/me/my.pictures/page.jpg");
    EXPECT_EQ(ReplaceExtension("/home/me/my.pictures/page.png", "jpg"), "/home/me/my.pictures/page.jpg");
}

TEST(LoadImageFile, DecodesByContentWhateverTheName) {
    CScratchFolder folder;
    const CDibSection picture = test::MakeTestPicture(5, 4, 9);
    ASSERT_TRUE(WriteBmpFile(picture, folder.File("a.bmp")).ok);
    ASSERT_TRUE(WritePngFile(folder.File("b.png"), picture).ok);
    ASSERT_TRUE(WriteJpegFile(folder.File("c.jpg"), picture, 100).ok);
    std::filesystem::rename(folder.File("b.png"), folder.File("b.gif")); // a misnamed file still loads

    CDibSection image;
    CImageResult result = LoadImageFile(folder.File("a.bmp"), image);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(image, picture);
    result = LoadImageFile(folder.File("b.gif"), image);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(Colours(image), Colours(picture));
    result = LoadImageFile(folder.File("c.jpg"), image);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(image.GetWidth(), 5);
    EXPECT_EQ(image.GetHeight(), 4);
}

TEST(LoadImageFile, FailuresNameTheFileAndLeaveTheBitmapEmpty) {
    CScratchFolder folder;
    CDibSection image;
    ASSERT_TRUE(image.Create(2, 2, 24));
    CImageResult result = LoadImageFile(folder.File("missing.bmp"), image);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("missing.bmp"), std::string::npos) << result.message;
    EXPECT_TRUE(image.IsEmpty());

    result = LoadImageFile(folder.Path().string(), image);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("not a regular file"), std::string::npos) << result.message;

    WriteAll(folder.File("text.png"), {'h', 'e', 'l', 'l', 'o'});
    result = LoadImageFile(folder.File("text.png"), image);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("not a BMP, JPEG, GIF, PNG or 2BP"), std::string::npos) << result.message;

    WriteAll(folder.File("short.bmp"), {'B', 'M', 0, 0});
    result = LoadImageFile(folder.File("short.bmp"), image);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("short.bmp: BMP: file too short"), std::string::npos) << result.message;
}

TEST(WriteBmpFile, WritesTheExactFileAndReplacesAnOldOne) {
    CScratchFolder folder;
    const std::string path = folder.File("out.bmp");
    WriteAll(path, std::vector<uint8_t>(1000, 0xEE)); // a longer file of that name is replaced, not patched
    const CDibSection picture = test::MakeTestPicture(10, 10);
    ASSERT_TRUE(WriteBmpFile(picture, path).ok);
    const std::vector<uint8_t> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 374u);
    EXPECT_EQ(test::ReadU32At(bytes, 2), 374u);
    EXPECT_EQ(test::ReadU32At(bytes, 10), 54u);
    EXPECT_TRUE(std::equal(bytes.begin() + 54, bytes.end(), picture.GetBits().begin()));
    EXPECT_EQ(CountEntries(folder.Path()), 1u) << "no temporary file is left behind";
}

TEST(WriteBmpFile, AnUncreatableFileIsAFailure) {
    CScratchFolder folder;
    const CDibSection picture = test::MakeTestPicture(2, 2);
    CImageResult result = WriteBmpFile(picture, folder.File("no-such-folder/out.bmp"));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("cannot create"), std::string::npos) << result.message;

    // A folder without write permission (skipped when running as root, who may write anyway).
    std::filesystem::create_directory(folder.File("locked"));
    std::filesystem::permissions(folder.File("locked"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (geteuid() != 0) {
        EXPECT_FALSE(WriteBmpFile(picture, folder.File("locked/out.bmp")).ok);
        EXPECT_FALSE(WriteJpegFile(folder.File("locked/out.jpg"), picture).ok);
        EXPECT_FALSE(WritePngFile(folder.File("locked/out.png"), picture).ok);
    }

    // A folder standing where the file should go.
    std::filesystem::create_directory(folder.File("taken.bmp"));
    EXPECT_FALSE(WriteBmpFile(picture, folder.File("taken.bmp")).ok);
    EXPECT_FALSE(WriteBmpFile(picture, "").ok);
}

TEST(WriteJpegFile, RefusedDepthLeavesTheOldFileAlone) {
    CScratchFolder folder;
    const std::string path = folder.File("keep.jpg");
    const std::vector<uint8_t> old = {1, 2, 3, 4};
    WriteAll(path, old);
    CDibSection indexed;
    ASSERT_TRUE(indexed.Create(3, 3, 8));
    const CImageResult result = WriteJpegFile(path, indexed);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(CountEntries(folder.Path()), 1u);
}

TEST(WriteJpegFile, DecodesBackToThePicture) {
    CScratchFolder folder;
    const CDibSection picture = test::MakeGradient(12, 8);
    ASSERT_TRUE(WriteJpegFile(folder.File("g.jpg"), picture).ok);
    std::vector<uint8_t> expected;
    ASSERT_TRUE(EncodeJpeg(picture, 100, expected).ok);
    EXPECT_EQ(ReadAll(folder.File("g.jpg")), expected) << "the default quality is 100";
}

TEST(WriteFileReplacing, WritesEveryByte) {
    CScratchFolder folder;
    std::vector<uint8_t> bytes(100000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 31);
    ASSERT_TRUE(WriteFileReplacing(folder.File("blob"), bytes).ok);
    EXPECT_EQ(ReadAll(folder.File("blob")), bytes);
    ASSERT_TRUE(WriteFileReplacing(folder.File("blob"), std::vector<uint8_t>{7}).ok);
    EXPECT_EQ(ReadAll(folder.File("blob")), std::vector<uint8_t>{7});
}

} // namespace
} // namespace pq
