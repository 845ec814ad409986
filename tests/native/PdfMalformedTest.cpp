#include "PdfTestHelpers.h"

#include "native/PdfReader.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace pq {
namespace {

using namespace test;

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        s.replace(at, from.size(), to);
    return s;
}

TEST(PdfMalformed, EveryTruncationFailsOrReadsWhatItCan) {
    const std::string file = EveryKindSampleFile();
    for (std::size_t length = 0; length < file.size(); length += 7) {
        CDrawing back;
        const bool ok = ReadPdf(std::string_view(file).substr(0, length), back);
        if (!ok) {
            EXPECT_FALSE(back.GetErrorMessage().empty()) << "cut at " << length;
        }
    }
}

TEST(PdfMalformed, DamagedStructuresFailWithAReason) {
    const std::string file = EveryKindSampleFile();
    const std::size_t xref = file.rfind("\nxref\r\n") + 1;
    struct Case {
        const char* name;
        std::string bytes;
        bool opens;
    };
    const std::string content = "7 0 obj\r\n<< /Length ";
    // Page 0's content is object 7; its length and cross-reference entry, and the start of its data.
    const std::size_t contentObject = file.find(content);
    const std::string length =
        file.substr(contentObject + content.size(),
                    file.find('\r', contentObject + content.size()) - contentObject - content.size());
    char contentEntry[32];
    std::snprintf(contentEntry, sizeof contentEntry, "%010zu 00000 n", contentObject);
    const std::size_t contentData = file.find("stream\r\n", contentObject) + 8;
    std::string corrupt = file;
    corrupt[contentData] = '\x00'; // no zlib compression method
    const Case cases[] = {
        {"empty", "", false},
        {"no page tree", Replace(file, "/Type /Pages", "/Type /Paper"), false},
        {"xref offset past the end",
         Replace(file, "startxref\r\n" + std::to_string(xref), "startxref\r\n99999999"), false},
        {"xref offset at the wrong place",
         Replace(file, "startxref\r\n" + std::to_string(xref), "startxref\r\n20"), false},
        {"content stream that does not inflate", corrupt, false},
        {"lying length", Replace(file, content + length, content + std::string(length.size(), '9')), true},
        {"zero length", Replace(file, content + length, content + std::string(length.size(), '0')), true},
        {"absurd image size", Replace(file, "/Width 4\r\n/Height 4\r\n", "/Width 9999999999999\n"), true},
        {"negative image size", Replace(file, "/Height 4", "/Height-4"), true},
        {"content offset beyond the file", Replace(file, contentEntry, "9999999999 00000 n"), true},
    };
    for (const Case& c : cases) {
        CDrawing back;
        EXPECT_EQ(ReadPdf(c.bytes, back), c.opens) << c.name << ": " << back.GetErrorMessage();
        if (!c.opens) {
            EXPECT_FALSE(back.GetErrorMessage().empty()) << c.name;
        }
    }
}

// A page tree the file cannot back up is damage: a million pages without content streams, or a file cut
// off after its page tree.
TEST(PdfMalformed, PageTreesTheFileCannotBackUpAreDamaged) {
    // A million page objects and no cross-reference entries for them.
    std::string file =
        "%PDF-1.3\r\n%Created by Pentaquill Draw\r\n3 0 obj\r\n<< /Type /Pages\r\n>>\r\nendobj\r\n";
    for (int i = 0; i < 1000000; ++i)
        file += "/Type /Page\r\n";
    file += "xref\r\n0 1\r\n0000000000 65535 f\r\ntrailer\r\n<< >>\r\nstartxref\r\n";
    file += std::to_string(file.find("xref")) + "\r\n%%EOF\r\n";
    CDrawing back;
    EXPECT_FALSE(ReadPdf(file, back));
    EXPECT_NE(back.GetErrorMessage().find("fewer content streams than pages"), std::string::npos);

    CDrawing drawing;
    drawing.SetPageCount(3);
    const std::string cut = AsText(WritePdf(drawing));
    // Cut where the first page object starts: the root still names three pages.
    const std::size_t firstPage = cut.find("/Type /Page\r\n");
    EXPECT_FALSE(ReadPdf(std::string_view(cut).substr(0, cut.rfind("obj", firstPage)), back));
    EXPECT_NE(back.GetErrorMessage().find("damaged"), std::string::npos) << back.GetErrorMessage();
}

// Replaces the data of the first content stream of a file by data, with its length written out, and
// moves the cross-reference table's offset by the change in size (the stream is the last object before
// the table only in a drawing without fonts or images, as here).
std::string WithFirstContent(std::string file, const std::string& data) {
    const std::size_t lengthAt = file.find("/Length ") + 8;
    const std::size_t lengthEnd = file.find('\r', lengthAt);
    const std::size_t oldSize = file.size();
    file.replace(lengthAt, lengthEnd - lengthAt, std::to_string(data.size()));
    const std::size_t start = file.find("stream\r\n") + 8;
    const std::size_t end = file.find("endstream", start);
    file.replace(start, end - start, data);
    const std::size_t xref = file.rfind("\nxref\r\n") + 1;
    return Replace(file, "startxref\r\n" + std::to_string(xref - (file.size() - oldSize)),
                   "startxref\r\n" + std::to_string(xref));
}

std::string Deflated(const std::string& content) {
    std::vector<uint8_t> packed;
    EXPECT_TRUE(DeflateBytes({reinterpret_cast<const uint8_t*>(content.data()), content.size()}, packed));
    return {packed.begin(), packed.end()};
}

// What the reader could not take is said, never dropped in silence while the open succeeds.
TEST(PdfMalformed, ContentBeyondTheBoundsIsCutShortWithAWarning) {
    std::string content;
    for (int i = 0; i < 1000; ++i)
        content += "0 0 m\r\n1 1 l\r\nS\r\n";
    content.resize(66u << 20, '%');
    content += "\r\n0 0 m\r\n1 1 l\r\nS\r\n";
    CDrawing drawing;
    CDrawing back;
    ASSERT_TRUE(ReadPdf(WithFirstContent(AsText(WritePdf(drawing)), Deflated(content)), back))
        << back.GetErrorMessage();
    EXPECT_EQ(back.Count(), 1000);
    EXPECT_NE(back.GetWarning().find("page 1"), std::string::npos) << back.GetWarning();

    // Past the object bound the rest is left out, and the warning says how many.
    std::string many;
    for (std::size_t i = 0; i < CPdfReader::kMaxObjects + 3; ++i)
        many += "0 0 m\r\n1 1 l\r\nS\r\n";
    CDrawing full;
    ASSERT_TRUE(ReadPdf(WithFirstContent(AsText(WritePdf(drawing)), Deflated(many)), full));
    EXPECT_EQ(static_cast<std::size_t>(full.Count()), CPdfReader::kMaxObjects);
    EXPECT_NE(full.GetWarning().find("3 were left out"), std::string::npos) << full.GetWarning();

    // A file read whole carries no warning.
    CDrawing whole;
    ASSERT_TRUE(ReadPdf(EveryKindSampleFile(), whole));
    EXPECT_EQ(whole.GetWarning(), "");
}

TEST(PdfMalformed, AnEmptyPageMayBeAStreamOfNoBytes) {
    // Other writers store an empty page as a compressed stream of length 0 with nothing inflatable in it.
    CDrawing drawing;
    std::string file = AsText(WritePdf(drawing));
    const std::size_t lengthAt = file.find("/Length ") + 8;
    const std::size_t lengthEnd = file.find('\r', lengthAt);
    file.replace(lengthAt, lengthEnd - lengthAt, "0" + std::string(lengthEnd - lengthAt - 1, ' '));
    const std::size_t start = file.find("stream\r\n") + 8;
    const std::size_t end = file.find("endstream", start);
    file.replace(start, end - start, std::string(end - start, ' '));
    CDrawing back;
    ASSERT_TRUE(ReadPdf(file, back)) << back.GetErrorMessage();
    EXPECT_EQ(back.Count(), 0);
    EXPECT_EQ(back.GetWarning(), "");
}

TEST(PdfMalformed, UnusablePageSizesOpenWithTheDefaultAndSaySo) {
    CDrawing drawing;
    ASSERT_TRUE(drawing.SetPageSize(1480.0f, 2100.0f));
    drawing.Add(MakePathObject({Square(0, 0, 100)}, kPenSolid, kBrushSolid));
    const std::string file = AsText(WritePdf(drawing));
    const std::size_t box = file.find("/MediaBox [0 0 ") + 15;
    const std::string size = file.substr(box, file.find(']', box) - box);
    for (const char* claimed : {"0 0", "-100 200", "nan nan", "1e308 1e308", "0.0001 0.0001", ""}) {
        SCOPED_TRACE(claimed);
        CDrawing back;
        // Padded to the same length, so that no offset after it moves.
        std::string box(claimed);
        box.resize(std::max(box.size(), size.size()), ' ');
        ASSERT_TRUE(ReadPdf(Replace(file, "[0 0 " + size + "]", "[0 0 " + box + "]"), back))
            << back.GetErrorMessage();
        EXPECT_EQ(back.GetPageWidth(), CDrawing::kDefaultPageWidth);
        EXPECT_EQ(back.GetPageHeight(), CDrawing::kDefaultPageHeight);
        EXPECT_NE(back.GetWarning().find("default"), std::string::npos) << back.GetWarning();
        EXPECT_EQ(back.Count(), 1);
    }
    // Nothing makes the drawing take such a size, so no page of no size is ever written.
    EXPECT_FALSE(drawing.SetPageSize(0.0f, 100.0f));
    EXPECT_FALSE(drawing.SetPageSize(std::nanf(""), 100.0f));
    EXPECT_FALSE(drawing.SetPageSize(1e30f, 100.0f));
    EXPECT_EQ(drawing.GetPageWidth(), 1480.0f);
}

TEST(PdfMalformed, RandomDamageNeverCrashes) {
    const std::string file = EveryKindSampleFile();
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = file;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i)
            damaged[random() % damaged.size()] = static_cast<char>(random());
        CDrawing back;
        (void)ReadPdf(damaged, back);
    }
}

} // namespace
} // namespace pq
