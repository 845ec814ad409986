#include "platform/image/ImageFile.h"

#include "ImageTestHelpers.h"
#include "platform/image/JpegCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace pq {
namespace {

using test::Colours;
using test::CTempFolder;
using test::WriteFileBytes;

std::size_t CountEntries(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(ImagePaths, FiveEndingsInAnyCaseAndOnlyTheFileNamesOwnExtensionReplaced) {
    for (const char* name : {"photo.PNG", "x.bmp", "scan.Jpg", "anim.gif", "pocket.2BP", "/a.b/c.bmp"})
        EXPECT_TRUE(IsImageFile(name)) << name;
    for (const char* name : {"x.tif", "photo.jpeg", "bmp", "", "x.bmp.txt"})
        EXPECT_FALSE(IsImageFile(name)) << name;
    const std::pair<const char*, const char*> cases[] = {
        {"picture.jpeg", "picture.jpg"},
        {"picture", "picture.jpg"},
        {"a.b.c", "a.b.jpg"},
        {"/home/me/my.pictures/page", "/home/me/my.pictures/page.jpg"},
        {"/home/me/my.pictures/page.PNG", "/home/me/my.pictures/page.jpg"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(ReplaceExtension(path, "jpg"), expected);
}

TEST(LoadImageFile, DecodesByContentWhateverTheName) {
    CTempFolder folder;
    const CDibSection picture = test::MakeTestPicture(5, 4, 9);
    ASSERT_TRUE(WriteBmpFile(picture, folder.File("a.bmp")).ok);
    ASSERT_TRUE(WritePngFile(folder.File("b.png"), picture).ok);
    ASSERT_TRUE(WriteJpegFile(folder.File("c.jpg"), picture, 100).ok);
    std::filesystem::rename(folder.File("b.png"), folder.File("b.gif")); // a misnamed file still loads

    for (const char* name : {"a.bmp", "b.gif", "c.jpg"}) {
        CDibSection image;
        const CImageResult result = LoadImageFile(folder.File(name), image);
        ASSERT_TRUE(result.ok) << result.message;
        if (name[0] == 'c')
            EXPECT_EQ(std::pair(image.GetWidth(), image.GetHeight()), std::pair(5, 4))
                << "JPEG keeps the size";
        else
            EXPECT_EQ(Colours(image), Colours(picture)) << name;
    }
}

TEST(LoadImageFile, FailuresNameTheFileAndLeaveTheBitmapEmpty) {
    CTempFolder folder;
    WriteFileBytes(folder.File("text.png"), {'h', 'e', 'l', 'l', 'o'});
    WriteFileBytes(folder.File("short.bmp"), {'B', 'M', 0, 0});
    const std::pair<std::string, const char*> cases[] = {
        {folder.File("missing.bmp"), "missing.bmp"},
        {folder.Path().string(), "it is a folder, not a file"},
        {folder.File("text.png"), "not a BMP, JPEG, GIF, PNG or 2BP"},
        {folder.File("short.bmp"), "short.bmp: BMP: file too short"},
    };
    for (const auto& [path, message] : cases) {
        CDibSection image;
        ASSERT_TRUE(image.Create(2, 2, 24));
        const CImageResult result = LoadImageFile(path, image);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(message), std::string::npos) << result.message;
        EXPECT_TRUE(image.IsEmpty()) << path;
    }
}

TEST(WriteBmpFile, WritesTheExactFileAndReplacesAnOldOne) {
    CTempFolder folder;
    const std::string path = folder.File("out.bmp");
    WriteFileBytes(path,
                   std::vector<uint8_t>(1000, 0xEE)); // a longer file of that name is replaced, not patched
    const CDibSection picture = test::MakeTestPicture(10, 10);
    ASSERT_TRUE(WriteBmpFile(picture, path).ok);
    const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 374u);
    EXPECT_EQ(test::ReadU32At(bytes, 2), 374u);
    EXPECT_EQ(test::ReadU32At(bytes, 10), 54u);
    EXPECT_TRUE(std::equal(bytes.begin() + 54, bytes.end(), picture.GetBits().begin()));
    EXPECT_EQ(CountEntries(folder.Path()), 1u) << "no temporary file is left behind";
}

TEST(WriteBmpFile, AnUncreatableFileIsAFailure) {
    CTempFolder folder;
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

TEST(WriteJpegFile, WritesQualityHundredAndARefusalLeavesTheOldFile) {
    CTempFolder folder;
    const CDibSection picture = test::MakeGradient(12, 8);
    const std::string path = folder.File("keep.jpg");
    ASSERT_TRUE(WriteJpegFile(path, picture).ok);
    std::vector<uint8_t> expected;
    ASSERT_TRUE(EncodeJpeg(picture, 100, expected).ok);
    EXPECT_EQ(test::ReadFileBytes(path), expected) << "the default quality is 100";

    CDibSection indexed;
    ASSERT_TRUE(indexed.Create(3, 3, 8));
    EXPECT_FALSE(WriteJpegFile(path, indexed).ok);
    EXPECT_EQ(test::ReadFileBytes(path), expected);
    EXPECT_EQ(CountEntries(folder.Path()), 1u) << "no temporary file is left behind";
}

} // namespace
} // namespace pq
