#include "PdfTestHelpers.h"

#include "TestHelpers.h"
#include "platform/FontLibrary.h"

#include <fstream>
#include <iterator>

namespace pq {
namespace {

using namespace test;

std::vector<const CTextShape*> TextsOf(const CDrawing& drawing) {
    std::vector<const CTextShape*> texts;
    for (const auto& object : drawing.Objects())
        if (const CTextShape* text = object->AsText())
            texts.push_back(text);
    return texts;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file written before fonts were embedded and lines placed by the editor's measures opens as it did,
// and saving it again in today's form changes nothing the editor keeps.
TEST(PdfFontEmbedding, FilesWrittenBeforeReadTheSameAndKeepTheirTextsWhenSavedAgain) {
    CDrawing before;
    ASSERT_TRUE(ReadPdf(ReadBytes(PQ_TEST_DATA_DIR "/native/welcome-written-before-embedding.pdf"), before))
        << before.GetErrorMessage();
    const std::vector<const CTextShape*> old = TextsOf(before);
    ASSERT_EQ(old.size(), 3u);
    // The sample's title, subtitle and paragraph, as the sample maker built them.
    EXPECT_EQ(old[0]->text, u"Pentaquill Draw");
    EXPECT_EQ(old[0]->style, kTextStyleBold);
    ExpectNear(old[0]->position, {-620, -960}, 0.05f);
    EXPECT_NEAR(old[0]->height, 150.0f, 0.01f);
    EXPECT_EQ(old[1]->text, u"Draw, shape and share.");
    EXPECT_EQ(old[1]->style, 0);
    EXPECT_EQ(old[2]->mode, kTextParagraph);
    ExpectNear(old[2]->corner, {620, 980}, 0.05f);

    const std::string file = AsText(WritePdf(before));
    EXPECT_NE(file.find("/FontFile2 "), std::string::npos);
    CDrawing after;
    ASSERT_TRUE(ReadPdf(file, after)) << after.GetErrorMessage();
    const std::vector<const CTextShape*> again = TextsOf(after);
    ASSERT_EQ(again.size(), old.size());
    for (std::size_t i = 0; i < old.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(again[i]->text, old[i]->text);
        EXPECT_EQ(again[i]->faceName, old[i]->faceName);
        EXPECT_EQ(again[i]->style, old[i]->style);
        EXPECT_EQ(again[i]->mode, old[i]->mode);
        EXPECT_EQ(again[i]->alignment, old[i]->alignment);
        EXPECT_NEAR(again[i]->height, old[i]->height, 0.01f);
        ExpectNear(again[i]->position, old[i]->position, 0.05f);
        ExpectNear(again[i]->corner, old[i]->corner, 0.05f);
    }
}

// Sets a font file's OS/2 embedding flags; false when the file has no OS/2 table.
bool SetEmbeddingFlags(std::vector<uint8_t>& font, uint16_t flags) {
    auto u16 = [&](std::size_t at) { return static_cast<uint32_t>(font[at] << 8 | font[at + 1]); };
    auto u32 = [&](std::size_t at) { return u16(at) << 16 | u16(at + 2); };
    const uint32_t tables = u16(4);
    for (uint32_t t = 0; t < tables; ++t) {
        const std::size_t record = 12 + 16 * static_cast<std::size_t>(t);
        if (std::string(font.begin() + static_cast<std::ptrdiff_t>(record),
                        font.begin() + static_cast<std::ptrdiff_t>(record) + 4) != "OS/2")
            continue;
        const std::size_t fsType = u32(record + 8) + 8;
        font[fsType] = static_cast<uint8_t>(flags >> 8);
        font[fsType + 1] = static_cast<uint8_t>(flags);
        return true;
    }
    return false;
}

// A face whose licence allows no embedding is named, measured and left to the viewer, as before.
TEST(PdfFontEmbedding, FacesThatForbidEmbeddingStayUnembedded) {
    CTempFolder folder;
    std::vector<uint8_t> font = ReadBytes("/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf");
    ASSERT_FALSE(font.empty());
    ASSERT_TRUE(SetEmbeddingFlags(font, 0x0002));
    std::ofstream(folder.File("Restricted.ttf"), std::ios::binary)
        .write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
    std::ofstream(folder.File("fonts.conf"))
        << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << folder.File("") << "</dir></fontconfig>\n";
    ASSERT_TRUE(LoadFontConfigFile(folder.File("fonts.conf")));

    CDrawing drawing;
    CTextLook look;
    look.faceName = u"Liberation Mono";
    drawing.Add(BuildText(u"Mono", {0, 0}, look));
    const std::string file = AsText(WritePdf(drawing));
    ASSERT_TRUE(LoadFontConfigFile(PQ_TEST_DATA_DIR "/fonts.conf"));
    EXPECT_EQ(file.find("/FontFile2"), std::string::npos);
    EXPECT_NE(ObjectText(file, 6).find("/BaseFont /LiberationMono\r\n"), std::string::npos)
        << ObjectText(file, 6);

    // The same face with its licence as shipped travels as a subset named by tag and face.
    const std::string embedded = AsText(WritePdf(drawing));
    const std::string fontObject = ObjectText(embedded, 6);
    const std::size_t name = fontObject.find("/BaseFont /");
    ASSERT_NE(name, std::string::npos);
    EXPECT_EQ(fontObject.substr(name + 17, 17), "+LiberationMono\r\n") << fontObject;
    // Font, widths, descriptor, then the program: a TrueType file of the declared length.
    const std::string program = StreamContent(embedded, 9);
    ASSERT_GE(program.size(), 12u);
    EXPECT_EQ(program.substr(0, 4), std::string("\0\1\0\0", 4));
    EXPECT_NE(ObjectText(embedded, 9).find("/Length1 " + std::to_string(program.size()) + "\r\n"),
              std::string::npos);
    CDrawing read;
    ASSERT_TRUE(ReadPdf(embedded, read));
    ASSERT_EQ(TextsOf(read).size(), 1u);
    EXPECT_EQ(TextsOf(read)[0]->faceName, u"Liberation Mono");
}

} // namespace
} // namespace pq
