#include "platform/MemoryFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace pq {
namespace {

TEST(CMemoryFile, ReadReturnsOnlyWhatIsLeft) {
    CMemoryFile file;
    const uint8_t data[] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(file.Write(data, sizeof data));
    ASSERT_TRUE(file.Seek(3));
    uint8_t out[8] = {};
    EXPECT_EQ(file.Read(out, sizeof out), 2u);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(file.GetPosition(), 5u);
    EXPECT_EQ(file.Read(out, 1), 0u);
}

TEST(CMemoryFile, OverwritesInPlaceAndExtendsAtTheEnd) {
    CMemoryFile file;
    const uint8_t first[] = {1, 2, 3, 4};
    const uint8_t second[] = {9, 9, 9};
    file.Write(first, 4);
    file.Seek(2);
    file.Write(second, 3);
    EXPECT_EQ(file.GetLength(), 5u);
    EXPECT_EQ(std::vector<uint8_t>(file.GetBytes().begin(), file.GetBytes().end()),
              (std::vector<uint8_t>{1, 2, 9, 9, 9}));
}

TEST(CMemoryFile, SeekBeyondEndThenWriteZeroFillsTheGap) {
    CMemoryFile file;
    const uint8_t b = 7;
    ASSERT_TRUE(file.Seek(4));
    EXPECT_EQ(file.Remaining(), 0u);
    uint8_t out = 0;
    EXPECT_EQ(file.Read(&out, 1), 0u);
    file.Write(&b, 1);
    EXPECT_EQ(std::vector<uint8_t>(file.GetBytes().begin(), file.GetBytes().end()),
              (std::vector<uint8_t>{0, 0, 0, 0, 7}));
}

TEST(CMemoryFile, SeekRefusesPositionsBeforeTheStart) {
    CMemoryFile file;
    const uint8_t data[4] = {};
    file.Write(data, 4);
    EXPECT_FALSE(file.Seek(-5, CMemoryFile::SeekFrom::End));
    EXPECT_EQ(file.GetPosition(), 4u);
    EXPECT_TRUE(file.Seek(-4, CMemoryFile::SeekFrom::End));
    EXPECT_EQ(file.GetPosition(), 0u);
    EXPECT_TRUE(file.Seek(2, CMemoryFile::SeekFrom::Current));
    EXPECT_FALSE(file.Seek(-3, CMemoryFile::SeekFrom::Current));
    EXPECT_EQ(file.GetPosition(), 2u);
}

TEST(CMemoryFile, SetLengthTruncatesAndPullsThePositionBack) {
    CMemoryFile file;
    const uint8_t data[] = {1, 2, 3, 4, 5, 6};
    file.Write(data, 6);
    ASSERT_TRUE(file.SetLength(2));
    EXPECT_EQ(file.GetLength(), 2u);
    EXPECT_EQ(file.GetPosition(), 2u);
    ASSERT_TRUE(file.SetLength(4));
    EXPECT_EQ(file.GetData()[1], 2);
    EXPECT_EQ(file.GetData()[3], 0);
    file.Clear();
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_EQ(file.GetPosition(), 0u);
}

TEST(CMemoryFile, StorageGrowsInWholeSteps) {
    CMemoryFile file(1024);
    const uint8_t b = 1;
    file.Write(&b, 1);
    EXPECT_EQ(file.GetCapacity(), 1024u);
    for (int i = 0; i < 1024; ++i)
        file.Write(&b, 1);
    EXPECT_EQ(file.GetCapacity(), 2048u);
    file.SetGrowBytes(0); // counts as 1
    EXPECT_EQ(file.GetGrowBytes(), 1u);
}

TEST(CMemoryFile, LittleEndianValuesRoundTrip) {
    CMemoryFile file;
    file.WriteInt32(-2);
    file.WriteUInt32(0x11223344u);
    file.WriteUInt16(0xABCD);
    file.WriteFloat(1.5f);
    const uint8_t expected[] = {0xFE, 0xFF, 0xFF, 0xFF, 0x44, 0x33, 0x22,
                                0x11, 0xCD, 0xAB, 0x00, 0x00, 0xC0, 0x3F};
    ASSERT_EQ(file.GetLength(), sizeof expected);
    EXPECT_EQ(std::memcmp(file.GetData(), expected, sizeof expected), 0);

    file.Seek(0);
    int32_t i = 0;
    uint32_t u = 0;
    uint16_t s = 0;
    float f = 0;
    ASSERT_TRUE(file.ReadInt32(i) && file.ReadUInt32(u) && file.ReadUInt16(s) && file.ReadFloat(f));
    EXPECT_EQ(i, -2);
    EXPECT_EQ(u, 0x11223344u);
    EXPECT_EQ(s, 0xABCD);
    EXPECT_EQ(f, 1.5f);
}

TEST(CMemoryFile, ShortValueReadFailsWithoutMoving) {
    const uint8_t three[] = {1, 2, 3};
    CMemoryFile file(three);
    int32_t v = 99;
    EXPECT_FALSE(file.ReadInt32(v));
    EXPECT_EQ(v, 99);
    EXPECT_EQ(file.GetPosition(), 0u);
    uint16_t s = 0;
    EXPECT_TRUE(file.ReadUInt16(s));
    EXPECT_FALSE(file.ReadUInt16(s));
    EXPECT_EQ(file.GetPosition(), 2u);
}

} // namespace
} // namespace pq
