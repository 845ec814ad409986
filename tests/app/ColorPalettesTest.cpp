// The colour page's palettes: the default table, the custom palette file and the run's sheet state.

#include "app/ColorPalettes.h"
#include "app/PropertySheetState.h"
#include "document/PreferenceStore.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace pq {
namespace {

using test::CTempFolder;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ColorPalettes, TheDefaultTableRunsFromBlackToWhiteAsColourWords) {
    const CPalette& palette = DefaultPalette();
    EXPECT_EQ(palette[0], 0x000000u);
    EXPECT_EQ(palette[1], 0x2A2AA5u);  // A52A2A, red in the low byte
    EXPECT_EQ(palette[9], 0x2068FFu);  // FF6820
    EXPECT_EQ(palette[13], 0xFF0000u); // 0000FF, pure blue
    EXPECT_EQ(palette[39], 0xFFFFFFu);
}

TEST(ColorPalettes, TheCustomPaletteStartsWithNineGreysThenWhites) {
    const CPalette start = CustomPaletteStart();
    const int greys[] = {255, 223, 191, 159, 128, 96, 64, 32, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(start[static_cast<size_t>(i)], static_cast<uint32_t>(greys[i] * 0x010101)) << i;
    for (int i = 9; i < kPaletteSize; ++i)
        EXPECT_EQ(start[static_cast<size_t>(i)], 0xFFFFFFu) << i;
}

TEST(ColorPalettes, AShortFileGivesTheDefaultReversedAndA160ByteOneIsFortyLittleEndianWords) {
    CTempFolder folder;
    const std::string path = CustomPalettePath(folder.Path().string());
    EXPECT_EQ(path, folder.File("Library/custom.pal"));
    // Missing: the starting palette.
    EXPECT_EQ(LoadCustomPalette(path), CustomPaletteStart());
    WriteBytes(path, std::vector<uint8_t>(100, 0x11));
    const CPalette reversed = LoadCustomPalette(path);
    for (int i = 0; i < kPaletteSize; ++i)
        EXPECT_EQ(reversed[static_cast<size_t>(i)], DefaultPalette()[static_cast<size_t>(39 - i)]);
    // An empty file is short too.
    WriteBytes(path, {});
    EXPECT_EQ(LoadCustomPalette(path), reversed);

    std::vector<uint8_t> bytes;
    for (int i = 0; i < kPaletteSize; ++i) {
        // The top byte is not part of a colour and is dropped.
        const uint8_t word[] = {static_cast<uint8_t>(i), 0x80, static_cast<uint8_t>(255 - i), 0xAB};
        bytes.insert(bytes.end(), word, word + 4);
    }
    WriteBytes(path, bytes);
    const CPalette palette = LoadCustomPalette(path);
    EXPECT_EQ(palette[0], 0xFF8000u);
    EXPECT_EQ(palette[39], 0xD88027u);
    bytes.resize(200, 0x55); // extra bytes are ignored
    WriteBytes(path, bytes);
    EXPECT_EQ(LoadCustomPalette(path), palette);
    // A folder where the file should be is no palette file: the start.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(LoadCustomPalette(path), CustomPaletteStart());
}

TEST(ColorPalettes, SavingWritesExactly160BytesAndMakesTheLibraryFolder) {
    CTempFolder folder;
    const std::string path = CustomPalettePath(folder.File("data"));
    CPalette palette = CustomPaletteStart();
    palette[5] = 0x0A0B0C;
    std::string message;
    ASSERT_TRUE(SaveCustomPalette(path, palette, message)) << message;
    const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 160u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 20, bytes.begin() + 24),
              (std::vector<uint8_t>{0x0C, 0x0B, 0x0A, 0x00}));
    EXPECT_EQ(LoadCustomPalette(path), palette);

    // A folder in the way: refused with a message naming the file, nothing else disturbed.
    const std::string blocked = folder.File("blocked/Library/custom.pal");
    std::filesystem::create_directories(blocked);
    EXPECT_FALSE(SaveCustomPalette(blocked, palette, message));
    EXPECT_NE(message.find("custom.pal"), std::string::npos) << message;
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
}

TEST(PropertySheetState, TheCustomPaletteIsReadOnceAndWrittenOnlyWhenSetChangedIt) {
    CTempFolder folder;
    const std::string path = CustomPalettePath(folder.Path().string());
    CPropertySheetState state(nullptr, path);
    EXPECT_EQ(state.GetCustomPalette(), CustomPaletteStart());
    // A file appearing later in the run is not read again.
    WriteBytes(path, std::vector<uint8_t>(10, 0));
    EXPECT_EQ(state.GetCustomPalette(), CustomPaletteStart());
    std::filesystem::remove(path);

    std::string message;
    EXPECT_TRUE(state.SaveCustomPalette(message));
    EXPECT_FALSE(std::filesystem::exists(path)); // nothing changed, nothing written
    state.SetCustomColor(3, 0xFF123456);         // the top byte is no colour
    state.SetCustomColor(40, 0x111111);          // no such cell
    EXPECT_TRUE(state.HasUnsavedPalette());
    EXPECT_TRUE(state.SaveCustomPalette(message)) << message;
    EXPECT_FALSE(state.HasUnsavedPalette());
    CPalette expected = CustomPaletteStart();
    expected[3] = 0x123456;
    EXPECT_EQ(LoadCustomPalette(path), expected);
}

TEST(PropertySheetState, TheColourModelIsKeptAsAPreference) {
    CMemoryPreferenceStore preferences;
    {
        CPropertySheetState state(&preferences, "");
        EXPECT_EQ(state.GetColorModel(), ColorModel::Rgb);
        state.StoreColorModel(ColorModel::Hls);
    }
    EXPECT_EQ(preferences.ReadInt(CPropertySheetState::kColorModelName, -1), 1);
    CPropertySheetState again(&preferences, "");
    EXPECT_EQ(again.GetColorModel(), ColorModel::Hls);
    // A stored value that is no model reads as RGB.
    preferences.WriteInt(CPropertySheetState::kColorModelName, 7);
    EXPECT_EQ(CPropertySheetState(&preferences, "").GetColorModel(), ColorModel::Rgb);
}

} // namespace
} // namespace pq
