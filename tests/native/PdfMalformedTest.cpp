#include "PdfTestHelpers.h"

#include <cstdio>
#include <random>

namespace pq {
namespace {

using namespace test;

// A file with every kind of object on three pages, groups included.
std::string SampleFile() {
    CDrawing drawing;
    drawing.SetPageCount(3);
    drawing.Add(MakePathObject({Square(0, 0, 100), Polyline({{0, 0}, {50, 80}})}, kPenSolid, kBrushSolid, 3,
                               1, 2, 0, 1));
    drawing.Add(MakeTextObject(u"text (one)\r\ntwo", {-200, 0}, kTextArtistic, kAlignLeft,
                               kTextStyleUnderline, 0.0f, 1));
    drawing.Add(MakeImageObject({0, 100, 0, 100}, 4, 4, 2));
    drawing.Add(MakePathObject({Square(10, 10, 10)}, kPenSolid, kBrushHollow, 1, 0, 0, 0, 1));
    return AsText(WritePdf(drawing));
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        s.replace(at, from.size(), to);
    return s;
}

TEST(PdfMalformed, EveryTruncationFailsOrReadsWhatItCan) {
    const std::string file = SampleFile();
    for (std::size_t length = 0; length < file.size(); length += 7) {
        CDrawing back;
        const bool ok = ReadPdf(std::string_view(file).substr(0, length), back);
        if (!ok) {
            EXPECT_FALSE(back.GetErrorMessage().empty()) << "cut at " << length;
        }
    }
}

TEST(PdfMalformed, DamagedStructuresFailWithAReason) {
    const std::string file = SampleFile();
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

TEST(PdfMalformed, AbsurdPageCountsNeedTheirContentStreams) {
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
}

TEST(PdfMalformed, InflationIsBounded) {
    // A content stream that inflates to far more than any page holds: the reader keeps the first part.
    std::string content;
    for (int i = 0; i < 1000; ++i)
        content += "0 0 m\r\n1 1 l\r\nS\r\n";
    content.resize(66u << 20, '%');
    content += "\r\n0 0 m\r\n1 1 l\r\nS\r\n";
    std::vector<uint8_t> packed;
    ASSERT_TRUE(DeflateBytes({reinterpret_cast<const uint8_t*>(content.data()), content.size()}, packed));
    CDrawing drawing;
    // The stream's length becomes 0 ("the rest of the file") so that only its data changes size.
    std::string file = AsText(WritePdf(drawing));
    const std::size_t lengthAt = file.find("/Length ") + 8;
    const std::size_t lengthEnd = file.find('\r', lengthAt);
    file.replace(lengthAt, lengthEnd - lengthAt, std::string(lengthEnd - lengthAt, '0'));
    const std::size_t start = file.find("stream\r\n") + 8;
    const std::size_t end = file.find("endstream", start);
    file.replace(start, end - start, std::string(packed.begin(), packed.end()));
    const std::size_t shift = packed.size() - (end - start);
    // Move the cross-reference entries after the stream by the change in size.
    const std::size_t xref = file.rfind("\nxref\r\n") + 1;
    const std::string oldOffset = "startxref\r\n" + std::to_string(xref - shift);
    file = Replace(file, oldOffset, "startxref\r\n" + std::to_string(xref));
    CDrawing back;
    ASSERT_TRUE(ReadPdf(file, back)) << back.GetErrorMessage();
    EXPECT_EQ(back.Count(), 1000);
}

TEST(PdfMalformed, RandomDamageNeverCrashes) {
    const std::string file = SampleFile();
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
