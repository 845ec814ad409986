// Hostile and broken SVG: a clear message or what can be read, never a crash, a hang or a runaway
// allocation.
#include "formats/FormatDispatch.h"
#include "formats/svg/SvgFile.h"

#include "native/PdfTestHelpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace pq {
namespace {

bool Read(const std::string& text, CDrawing& drawing, CSvgFile* file = nullptr) {
    CSvgFile local;
    CSvgFile& f = file != nullptr ? *file : local;
    return f.ReadFromMemory({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, drawing);
}

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(SvgHostile, BillionLaughsIsRefusedBeforeItGrows) {
    std::string text = "<?xml version='1.0'?>\n<!DOCTYPE svg [\n<!ENTITY a0 'lol'>\n";
    for (int i = 1; i <= 9; ++i)
        text += "<!ENTITY a" + std::to_string(i) + " '" + [&] {
            std::string ten;
            for (int k = 0; k < 10; ++k)
                ten += "&a" + std::to_string(i - 1) + ";";
            return ten;
        }() + "'>\n";
    text += "]>\n<svg xmlns='http://www.w3.org/2000/svg'><text>&a9;</text></svg>";
    CDrawing drawing;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Read(text, drawing));
    EXPECT_LT(Seconds(start), 5.0);
    EXPECT_EQ(drawing.GetErrorMessage().rfind("SVG: not a readable XML file (line ", 0), 0u)
        << drawing.GetErrorMessage();
}

TEST(SvgHostile, ExternalEntitiesAreNeverFetched) {
    CDrawing drawing;
    const std::string text = "<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY x SYSTEM 'file:///etc/passwd'>]>"
                             "<svg xmlns='http://www.w3.org/2000/svg'><text x='0' y='10'>&x;</text></svg>";
    Read(text, drawing);
    for (const auto& object : drawing.Objects())
        if (const CTextShape* t = object->AsText()) {
            EXPECT_EQ(t->text.find(u"root"), std::u16string::npos);
        }
}

TEST(SvgHostile, HugeAndBrokenNumbersAreHeldInRange) {
    CDrawing drawing;
    ASSERT_TRUE(
        Read("<svg xmlns='http://www.w3.org/2000/svg' width='1e400mm' height='-5mm' viewBox='0 0 1e-300 0'>"
             "<path d='M1e308 -1e999 L 99999999999999999999 0 C nan 1 2 3 4 5'/>"
             "<rect width='1e39' height='1e39' rx='1e39' transform='scale(1e300) rotate(1e300)'/>"
             "<circle r='-4'/><text font-size='1e300' x='1e999'>big</text>"
             "<g transform='scale(1e7)'><g transform='scale(1e7)'><g transform='scale(1e7)'>"
             "<g transform='scale(1e7)'><g transform='scale(1e7) skewX(90)'><text>overflow</text>"
             "<path d='M1 1 L 1e7 1e7'/></g></g></g></g></g>"
             "<path d='M0 0 A 1e-300 1e300 1e300 1 1 1e-300 1e300'/></svg>",
             drawing));
    EXPECT_GT(drawing.Count(), 0);
    EXPECT_LE(drawing.GetPageWidth(), 1e6f);
    for (const auto& object : drawing.Objects()) {
        const CRectF& b = object->bounds;
        for (float v : {b.left, b.right, b.top, b.bottom})
            EXPECT_TRUE(std::isfinite(v) && std::fabs(v) <= 1e10f) << v;
        if (const CTextShape* t = object->AsText()) {
            EXPECT_LE(t->height, 1e5f);
            EXPECT_TRUE(std::isfinite(t->angle) && std::isfinite(t->position.x) &&
                        std::isfinite(t->position.y));
        }
    }
}

TEST(SvgHostile, UsesThatReferToThemselvesOrMultiplyAreCut) {
    CDrawing drawing;
    CSvgFile file;
    ASSERT_TRUE(Read("<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'>"
                     "<use id='self' xlink:href='#self'/>"
                     "<g id='outer'><rect width='1' height='1'/><use xlink:href='#outer'/></g>"
                     "<use id='a' xlink:href='#b'/><use id='b' xlink:href='#a'/></svg>",
                     drawing, &file));
    EXPECT_EQ(drawing.Count(), 1); // the rectangle, once
    ASSERT_FALSE(file.Warnings().empty());
    EXPECT_NE(file.Warnings()[0].find("refers to itself"), std::string::npos);

    // Each level uses the one below ten times: 10^12 rectangles if followed blindly.
    std::string text = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'>"
                       "<defs><rect id='l0' width='1' height='1'/>";
    for (int level = 1; level <= 12; ++level) {
        text += "<g id='l" + std::to_string(level) + "'>";
        for (int k = 0; k < 10; ++k)
            text += "<use xlink:href='#l" + std::to_string(level - 1) + "'/>";
        text += "</g>";
    }
    text += "</defs><use xlink:href='#l12'/></svg>";
    CDrawing many;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Read(text, many, &file));
    EXPECT_LT(Seconds(start), 5.0);
    EXPECT_LT(many.Count(), 20000);
    EXPECT_NE(file.Warnings()[0].find("repeats its parts too often"), std::string::npos);
}

TEST(SvgHostile, LongSheetsAndSharedPaintServersCostLinearTime) {
    // 20000 rules for one class, 20000 shapes of that class using one big pattern: applied naively,
    // 4e8 declarations and pattern scans.
    std::string text = "<svg xmlns='http://www.w3.org/2000/svg'><style>";
    for (int i = 0; i < 20000; ++i)
        text += ".c{fill:url(#p);stroke:#" + std::string(i % 2 == 0 ? "f00" : "00f") + "}";
    text += "</style><pattern id='p'>";
    for (int i = 0; i < 20000; ++i)
        text += "<g/>";
    text += "<rect fill='#0f0'/></pattern>";
    for (int i = 0; i < 20000; ++i)
        text += "<rect class='c c c' width='1' height='1'/>";
    text += "</svg>";
    CDrawing drawing;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Read(text, drawing));
    EXPECT_LT(Seconds(start), 5.0);
    ASSERT_EQ(drawing.Count(), 20000);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x00FF00u);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->penColor, 0xFF0000u); // the last rule wins
}

TEST(SvgHostile, FilesThatAreNoSvgSayWhy) {
    std::string deep = "<svg xmlns='http://www.w3.org/2000/svg'>";
    for (int i = 0; i < 100000; ++i)
        deep += "<g>";
    const std::pair<std::string, std::string> cases[] = {
        {deep, "SVG: not a readable XML file (line 1: elements are nested more than 200 deep)"},
        {"", "SVG: not a readable XML file (line 1: no element found)"},
        {"<svg xmlns='http://www.w3.org/2000/svg'><g></svg>",
         "SVG: not a readable XML file (line 1: mismatched tag)"},
        {"<html><body/></html>", "SVG: the file's root element is not <svg>"},
        {"\x89PNG\r\n\x1a\n", "SVG: not a readable XML file (line 1: not well-formed (invalid token))"},
    };
    for (const auto& [text, message] : cases) {
        CDrawing drawing;
        EXPECT_FALSE(Read(text, drawing));
        EXPECT_EQ(drawing.GetErrorMessage(), message);
    }
    test::CTempFolder folder;
    CDrawing drawing;
    EXPECT_FALSE(OpenDrawing(drawing, folder.File("absent.svg")));
    EXPECT_EQ(drawing.GetErrorMessage().rfind("cannot open " + folder.File("absent.svg") + ": ", 0), 0u)
        << drawing.GetErrorMessage();
    std::ofstream(folder.File("bad.svg")) << "<svg";
    EXPECT_FALSE(OpenDrawing(drawing, folder.File("bad.svg")));
    EXPECT_EQ(drawing.GetErrorMessage().rfind("SVG: not a readable XML file", 0), 0u);
}

TEST(SvgHostile, SeedsAndRegressionsOfTheFuzzTargetRead) {
    const std::filesystem::path seeds = std::filesystem::path(PQ_TEST_DATA_DIR) / "svg";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(seeds)) {
        const std::string text = test::ReadFileText(entry.path().string());
        CDrawing drawing;
        Read(text, drawing); // must return; success depends on the file
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace pq
