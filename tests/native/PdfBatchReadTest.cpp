#include "PdfTestHelpers.h"

#include "native/PdfLineReader.h"
#include "native/PdfReader.h"

#include <random>
#include <sstream>

namespace pq {
namespace {

using namespace test;

// A compressible text of lines with every separator, blanks around lines, a blank line and one line
// longer than the pieces it is read in.
std::string MixedLines() {
    std::string text;
    std::mt19937 random(5);
    for (int i = 0; i < 400; ++i) {
        text += "  " + std::to_string(random() % 100000) + " 0.5 l\t";
        text += i % 4 == 0 ? "\r\n" : i % 4 == 1 ? "\n" : i % 4 == 2 ? "\r" : std::string(1, '\0');
        if (i == 200)
            text += std::string(3000, 'x') + "\n   \n";
    }
    return text;
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> Deflated(const std::string& text) {
    std::vector<uint8_t> packed;
    EXPECT_TRUE(DeflateBytes(Bytes(text), packed));
    return packed;
}

// Everything the inflater gives, a piece of the given size at a time.
InflateResult InflateInPieces(std::span<const uint8_t> data, std::size_t limit, std::size_t piece,
                              std::vector<uint8_t>& out) {
    out.clear();
    CInflater inflater(data, limit);
    while (inflater.Read(out, piece)) {
    }
    return inflater.Result();
}

TEST(PdfBatchRead, InflatingInPiecesGivesTheBytesAndOutcomeOfInflatingWhole) {
    const std::string text = MixedLines();
    const std::vector<uint8_t> packed = Deflated(text);
    std::vector<uint8_t> damaged = packed;
    damaged[damaged.size() / 2] ^= 0xFF;
    damaged[damaged.size() / 2 + 1] ^= 0x5A;
    struct Case {
        const char* name;
        std::span<const uint8_t> data;
        std::size_t limit;
        InflateResult expected;
    };
    const Case cases[] = {
        {"whole", packed, 1u << 20, InflateResult::Complete},
        {"exactly at the limit", packed, text.size(), InflateResult::Complete},
        {"over the limit", packed, text.size() - 10, InflateResult::TooLarge},
        {"cut short", std::span(packed).first(packed.size() / 2), 1u << 20, InflateResult::Truncated},
        {"damaged", damaged, 1u << 20, InflateResult::Corrupt},
        {"not zlib", std::span(packed).subspan(2), 1u << 20, InflateResult::Corrupt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> whole;
        EXPECT_EQ(InflateBytes(c.data, c.limit, whole), c.expected);
        for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            SCOPED_TRACE(piece);
            std::vector<uint8_t> pieces;
            EXPECT_EQ(InflateInPieces(c.data, c.limit, piece, pieces), c.expected);
            if (c.expected != InflateResult::Corrupt) {
                EXPECT_EQ(pieces, whole);
            }
        }
    }
    std::vector<uint8_t> whole;
    ASSERT_EQ(InflateBytes(packed, 1u << 20, whole), InflateResult::Complete);
    EXPECT_EQ(whole, Bytes(text));

    // Inflating to a known size takes exactly a whole, sound stream of that size, followed or not by
    // the line end before "endstream"; everything else is refused.
    std::vector<uint8_t> followed = packed;
    followed.insert(followed.end(), {'\r', '\n'});
    std::vector<uint8_t> known;
    EXPECT_TRUE(InflateKnownSize(packed, text.size(), known));
    EXPECT_EQ(known, Bytes(text));
    EXPECT_TRUE(InflateKnownSize(followed, text.size(), known));
    EXPECT_EQ(known, Bytes(text));
    EXPECT_FALSE(InflateKnownSize(packed, text.size() - 1, known)) << "more than the size";
    EXPECT_FALSE(InflateKnownSize(packed, text.size() + 1, known)) << "less than the size";
    EXPECT_FALSE(InflateKnownSize(std::span(packed).first(packed.size() / 2), text.size(), known));
    EXPECT_FALSE(InflateKnownSize(damaged, text.size(), known));
    EXPECT_FALSE(InflateKnownSize(std::span(packed).subspan(2), text.size(), known));
    EXPECT_FALSE(InflateKnownSize({}, text.size(), known));
}

// The lines a reader gives, a blank line or the end marked by an empty entry, for a number of calls.
std::vector<std::string> LinesOf(CPdfLineReader& lines, int calls) {
    std::vector<std::string> got;
    std::string_view line;
    for (int i = 0; i < calls; ++i)
        got.push_back(lines.Next(line) ? std::string(line) : std::string());
    return got;
}

TEST(PdfBatchRead, LinesOfAStreamReadInPiecesAreTheLinesOfTheWholeStream) {
    const std::string text = MixedLines();
    const std::vector<uint8_t> packed = Deflated(text);
    const std::vector<uint8_t> plain = Bytes(text);
    CPdfLineReader whole(plain);
    const std::vector<std::string> expected = LinesOf(whole, 420);
    EXPECT_EQ(expected[201], std::string(3000, 'x')); // the long line came through whole
    EXPECT_TRUE(std::count(expected.begin(), expected.end(), std::string()) >= 2); // the blank and the end
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{64}, std::size_t{65536}}) {
        SCOPED_TRACE(piece);
        CInflater inflater(packed, 1u << 20);
        CPdfLineReader pieces(inflater, piece);
        EXPECT_EQ(LinesOf(pieces, 420), expected);
        EXPECT_EQ(inflater.Result(), InflateResult::Complete);
    }
}

// Copies of the objects on page, as a reading of the whole file with that page shown makes them.
std::vector<std::unique_ptr<CGraphicObject>> PageOfWholeRead(const std::vector<uint8_t>& file, int page,
                                                             CDrawing& whole, bool& ok) {
    ok = CPdfFile().ReadFromMemory(file, whole, page);
    std::vector<std::unique_ptr<CGraphicObject>> objects;
    for (const auto& object : whole.Objects())
        if (object->page == page)
            objects.push_back(CDrawing::CloneObject(*object));
    return objects;
}

struct CBatches {
    bool ok = false;
    std::vector<std::unique_ptr<CGraphicObject>> objects;
    std::vector<int> sizes;
};

CBatches ReadInBatches(const std::vector<uint8_t>& file, int page, CDrawing& drawing) {
    CBatches batches;
    batches.ok = CPdfFile().ReadPageInBatchesFromMemory(file, drawing, page, [&](const CDrawing& part) {
        batches.sizes.push_back(part.Count());
        for (const auto& object : part.Objects())
            batches.objects.push_back(CDrawing::CloneObject(*object));
    });
    return batches;
}

void ExpectSameObjects(const std::vector<std::unique_ptr<CGraphicObject>>& got,
                       const std::vector<std::unique_ptr<CGraphicObject>>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        const CGraphicObject& a = *got[i];
        const CGraphicObject& b = *expected[i];
        ASSERT_EQ(a.GetKind(), b.GetKind());
        EXPECT_EQ(a.page, b.page);
        EXPECT_EQ(a.color, b.color);
        EXPECT_EQ(a.bounds, b.bounds);
        if (const CPathShape* path = a.AsPath()) {
            ExpectSameNodes(*path, *b.AsPath());
            ASSERT_EQ(path->polylines.size(), b.AsPath()->polylines.size());
            for (std::size_t k = 0; k < path->polylines.size(); ++k)
                EXPECT_EQ(*path->polylines[k], *b.AsPath()->polylines[k]);
            EXPECT_EQ(path->penWidth, b.AsPath()->penWidth);
            EXPECT_EQ(path->brushStyle, b.AsPath()->brushStyle);
        } else if (const CTextShape* text = a.AsText()) {
            EXPECT_EQ(text->text, b.AsText()->text);
            EXPECT_EQ(text->position, b.AsText()->position);
            EXPECT_EQ(text->corner, b.AsText()->corner);
            EXPECT_EQ(text->height, b.AsText()->height);
            EXPECT_EQ(text->style, b.AsText()->style);
        } else if (const CImageShape* image = a.AsImage()) {
            EXPECT_EQ(image->placement, b.AsImage()->placement);
            EXPECT_EQ(image->bitmap.GetWidth(), b.AsImage()->bitmap.GetWidth());
        }
    }
}

TEST(PdfBatchRead, APageReadInBatchesIsThePageReadWholeAndNothingIsHeldAfterwards) {
    InstallFontTextMetrics();
    CDrawing drawing;
    drawing.SetPageCount(3);
    drawing.SetPageSize(2000, 1500);
    const int busy = CPdfReader::kBatchObjects + CPdfReader::kBatchObjects / 2;
    for (int i = 0; i < busy; ++i) {
        const float x = static_cast<float>(i % 100) * 9 - 450, y = static_cast<float>(i / 100) * 9 - 300;
        drawing.Add(MakePathObject({Square(x, y, 7 + static_cast<float>(i % 5))}, kPenSolid,
                                   i % 3 == 0 ? kBrushSolid : kBrushHollow, i % 4, 0x102030 + i, 0x405060, 1,
                                   i % 10 == 0 ? 1 + i / 10 : 0));
        if (i % 500 == 0)
            drawing.Add(MakeTextObject(u"Label (" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                                           u")",
                                       {x, y}, i % 1000 == 0 ? kTextArtistic : kTextParagraph, kAlignLeft,
                                       kTextStyleUnderline, 0.0f, 1));
    }
    drawing.Add(MakeImageObject({0, 100, 0, 80}, 6, 4, 1));
    drawing.Add(MakePathObject({Square(0, 0, 50)}, kPenSolid, kBrushSolid, 2, 1, 2, 0));
    drawing.Add(MakeTextObject(u"other page", {10, 10}, kTextArtistic, kAlignLeft, 0, 0.0f, 2));
    const std::vector<uint8_t> file = WritePdf(drawing);

    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        CDrawing whole, part;
        bool wholeOk = false;
        const auto expected = PageOfWholeRead(file, page, whole, wholeOk);
        ASSERT_TRUE(wholeOk);
        const CBatches batches = ReadInBatches(file, page, part);
        ASSERT_TRUE(batches.ok) << part.GetErrorMessage();
        ExpectSameObjects(batches.objects, expected);
        EXPECT_EQ(part.Count(), 0);
        EXPECT_EQ(part.PageCount(), 3);
        EXPECT_EQ(part.GetPageWidth(), 2000.0f);
        EXPECT_EQ(part.GetPageHeight(), 1500.0f);
        EXPECT_EQ(part.GetWarning(), "");
        for (int size : batches.sizes)
            EXPECT_LE(size, CPdfReader::kBatchObjects);
        if (page == 1) {
            EXPECT_EQ(batches.sizes.size(), 2u);
        } else if (page == 2) {
            EXPECT_EQ(batches.sizes, std::vector<int>{1});
        }
    }

    // A page the file lacks gives no batch, and the page count to say so.
    CDrawing missing;
    const CBatches none = ReadInBatches(file, 3, missing);
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.sizes.empty());
    EXPECT_EQ(missing.PageCount(), 3);
}

std::vector<std::string> WarningLines(const std::string& warning) {
    std::vector<std::string> lines;
    std::istringstream in(warning);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// Every cut of the file, and every damaged byte of its streams, reads in batches as it reads whole: the
// same success or failure with the same reason, the same objects and only warnings the whole reading
// gives too (it reads the other pages as well).
TEST(PdfBatchRead, DamagedFilesReadInBatchesAsTheyReadWhole) {
    const std::string sample = EveryKindSampleFile();
    std::vector<std::string> files;
    for (std::size_t length = 0; length < sample.size(); length += 5)
        files.push_back(sample.substr(0, length));
    for (std::size_t at = sample.find("stream"); at != std::string::npos && at < sample.size();
         at = sample.find("stream", at + 1)) {
        for (std::size_t k = 8; k < 40; k += 3) {
            std::string damaged = sample;
            if (at + k < damaged.size()) {
                damaged[at + k] = static_cast<char>(damaged[at + k] ^ 0x55);
                files.push_back(damaged);
            }
        }
    }
    int failures = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::vector<uint8_t> file = Bytes(files[f]);
        for (int page = 0; page < 3; ++page) {
            SCOPED_TRACE(testing::Message() << "file " << f << " page " << page);
            CDrawing whole, part;
            bool wholeOk = false;
            const auto expected = PageOfWholeRead(file, page, whole, wholeOk);
            const CBatches batches = ReadInBatches(file, page, part);
            // A damaged page that is not drawn does not keep another from being drawn.
            if (!wholeOk && batches.ok && whole.GetErrorMessage().find("content of page") != std::string::npos &&
                whole.GetErrorMessage().find("page " + std::to_string(page + 1) + " ") == std::string::npos)
                continue;
            ASSERT_EQ(batches.ok, wholeOk) << whole.GetErrorMessage() << " / " << part.GetErrorMessage();
            if (!wholeOk) {
                ++failures;
                EXPECT_EQ(part.GetErrorMessage(), whole.GetErrorMessage());
                continue;
            }
            ExpectSameObjects(batches.objects, expected);
            const std::vector<std::string> all = WarningLines(whole.GetWarning());
            for (const std::string& line : WarningLines(part.GetWarning()))
                EXPECT_NE(std::find(all.begin(), all.end(), line), all.end()) << line;
        }
    }
    EXPECT_GT(failures, 0); // the damage reached the reader's checks
}

TEST(PdfBatchRead, DamagedContentOfTheDrawnPageFailsWithItsReasonAndOtherPagesDoNotMatter) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    for (int page = 0; page < 2; ++page)
        for (int i = 0; i < 200; ++i)
            drawing.Add(MakePathObject({Square(static_cast<float>(i), 0, 20)}, kPenSolid, kBrushSolid, 1, 1,
                                       2, page));
    std::string file = AsText(WritePdf(drawing));
    // The second page's content: damage in the middle of its compressed data.
    const std::size_t first = file.find("stream\r\n", file.find("/FlateDecode"));
    const std::size_t second = file.find("stream\r\n", file.find("/FlateDecode", first));
    ASSERT_NE(second, std::string::npos);
    const std::size_t end = file.find("endstream", second);
    for (std::size_t k = second + 40; k < end - 8; k += 2)
        file[k] = static_cast<char>(file[k] ^ 0x3C);

    CDrawing damaged;
    const CBatches drawn = ReadInBatches(Bytes(file), 1, damaged);
    EXPECT_FALSE(drawn.ok);
    EXPECT_EQ(damaged.GetErrorMessage(), "PDF: the content of page 2 cannot be decompressed");
    CDrawing other;
    const CBatches fine = ReadInBatches(Bytes(file), 0, other);
    EXPECT_TRUE(fine.ok) << other.GetErrorMessage();
    EXPECT_EQ(fine.objects.size(), 200u);
}

} // namespace
} // namespace pq
