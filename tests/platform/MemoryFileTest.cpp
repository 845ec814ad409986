#include "platform/MemoryFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace pq {
namespace {

std::vector<uint8_t> Bytes(const CMemoryFile& file) {
    return {file.GetBytes().begin(), file.GetBytes().end()};
}

TEST(CMemoryFile, ReadsReturnOnlyWhatIsLeftAndShortValueReadsFailWithoutMoving) {
    const uint8_t data[] = {1, 2, 3, 4, 5};
    CMemoryFile file(data);
    ASSERT_TRUE(file.Seek(3));
    uint8_t out[8] = {};
    EXPECT_EQ(file.Read(out, sizeof out), 2u);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(file.Read(out, 1), 0u);
    ASSERT_TRUE(file.Seek(2));
    int32_t v = 99;
    EXPECT_FALSE(file.ReadInt32(v));
    EXPECT_EQ(v, 99);
    EXPECT_EQ(file.GetPosition(), 2u);
    uint16_t s = 0;
    EXPECT_TRUE(file.ReadUInt16(s));
    EXPECT_FALSE(file.ReadUInt16(s));
    EXPECT_EQ(file.GetPosition(), 4u);
}

TEST(CMemoryFile, WritesOverwriteExtendAndZeroFillGaps) {
    CMemoryFile file;
    const uint8_t first[] = {1, 2, 3, 4};
    const uint8_t second[] = {9, 9, 9};
    file.Write(first, 4);
    file.Seek(2);
    file.Write(second, 3);
    EXPECT_EQ(Bytes(file), (std::vector<uint8_t>{1, 2, 9, 9, 9}));
    ASSERT_TRUE(file.Seek(7));
    EXPECT_EQ(file.Remaining(), 0u);
    file.Write(first, 1);
    EXPECT_EQ(Bytes(file), (std::vector<uint8_t>{1, 2, 9, 9, 9, 0, 0, 1}));
}

TEST(CMemoryFile, SeekRefusesPositionsBeforeTheStartAndSetLengthPullsThePositionBack) {
    CMemoryFile file;
    const uint8_t data[6] = {1, 2, 3, 4, 5, 6};
    file.Write(data, 6);
    EXPECT_FALSE(file.Seek(-7, CMemoryFile::SeekFrom::End));
    EXPECT_EQ(file.GetPosition(), 6u);
    EXPECT_TRUE(file.Seek(-4, CMemoryFile::SeekFrom::End));
    EXPECT_FALSE(file.Seek(-3, CMemoryFile::SeekFrom::Current));
    EXPECT_EQ(file.GetPosition(), 2u);
    ASSERT_TRUE(file.Seek(5));
    ASSERT_TRUE(file.SetLength(2));
    EXPECT_EQ(file.GetPosition(), 2u);
    ASSERT_TRUE(file.SetLength(4));
    EXPECT_EQ(Bytes(file), (std::vector<uint8_t>{1, 2, 0, 0}));
}

TEST(CMemoryFile, StorageGrowsInWholeSteps) {
    CMemoryFile file(1024);
    const uint8_t b = 1;
    for (int i = 0; i < 1025; ++i)
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
    EXPECT_EQ(Bytes(file), std::vector<uint8_t>(std::begin(expected), std::end(expected)));
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

} // namespace
} // namespace pq
