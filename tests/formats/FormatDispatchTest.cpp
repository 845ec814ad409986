#include "formats/FormatDispatch.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/ModelTestHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pq {
namespace {

class FormatDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            std::filesystem::temp_directory_path() /
            ("pq-dispatch-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string In(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};

TEST_F(FormatDispatch, NativeDocumentsRoundTripWhateverTheCaseOfTheirExtension) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(test::MakeRect({0, 100, 0, 50}, 0x123456, 1, 3));
    drawing.Add(test::MakeRect({10, 20, 10, 20}, 0x654321, 1, 3));
    std::vector<std::string> notices;
    ASSERT_TRUE(SaveDrawing(drawing, In("DRAWING.PDF"), 0, -1, -1,
                            [&](std::string_view n) { notices.emplace_back(n); }));
    EXPECT_TRUE(notices.empty());          // native documents keep every page
    EXPECT_EQ(drawing.GetAt(0)->group, 1); // groups were renumbered for the save

    CDrawing back;
    ASSERT_TRUE(OpenDrawing(back, In("DRAWING.PDF"))) << back.GetErrorMessage();
    EXPECT_EQ(back.PageCount(), 2);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.GetAt(1)->page, 1);
    EXPECT_EQ(back.GetAt(0)->group, back.GetAt(1)->group);
    EXPECT_NE(back.GetAt(0)->group, 0);

    ASSERT_TRUE(SaveDrawing(drawing, In("card.tpl"), 0, -1, -1, nullptr));
    EXPECT_TRUE(OpenDrawing(back, In("card.tpl")));
}

TEST_F(FormatDispatch, UnknownAndMissingFormatsFailWithTheUsualMessages) {
    CDrawing drawing;
    drawing.Add(test::MakeRect({0, 1, 0, 1}));
    EXPECT_FALSE(OpenDrawing(drawing, "a.x"));
    EXPECT_EQ(drawing.GetErrorMessage(), kOpenFailedMessage);
    EXPECT_FALSE(SaveDrawing(drawing, "a.x", 0, -1, -1, nullptr));
    EXPECT_EQ(drawing.GetErrorMessage(), kSaveFailedMessage);
    // A .wmf is never written.
    EXPECT_FALSE(SaveDrawing(drawing, In("x.wmf"), 0, -1, -1, nullptr));
    EXPECT_EQ(drawing.GetErrorMessage(), kOpenFailedMessage);
    EXPECT_FALSE(std::filesystem::exists(In("x.wmf")));
    EXPECT_FALSE(SaveDrawing(drawing, In("picture.jpg"), 0, -1, -1, nullptr));
    EXPECT_FALSE(CanSaveDrawing("x.wmf"));
    EXPECT_TRUE(CanOpenDrawing("X.PDF"));
    EXPECT_FALSE(CanOpenDrawing("x.jpeg"));

    CDrawing other;
    EXPECT_FALSE(OpenDrawing(other, In("missing.pdf")));
    EXPECT_FALSE(other.GetErrorMessage().empty());
}

} // namespace
} // namespace pq
