#include "native/PdfWriter.h"

#include "geometry/Numeric.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "native/PdfDeflate.h"
#include "native/PdfNumbers.h"
#include "native/PdfTextEncoding.h"
#include "platform/Font.h"
#include "render/FontTextMetrics.h"
#include "render/TextFont.h"

#include <charconv>

namespace pq {

namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 255;

// The font the editor measures and lays a text out with: its face and style at the text's height in
// document units, one unit a pixel.
bool CreateLayoutFont(const CTextShape& text, CFont& font) {
    return font.Create(CFontTextMetrics::DocumentScaleFont(text));
}

// The font the widths and metrics of an unembedded face come from: its face and weight at a character
// height of 1000 pixels, in the thousandths of an em that PDF metrics use.
bool CreateMetricsFont(const CTextShape& text, CFont& font) {
    CTextShape upright;
    upright.CopyFrom(text);
    upright.height = 1000.0f;
    upright.angle = 0.0f;
    upright.style &= ~kTextStyleUnderline;
    return CreateTextFont(upright, nullptr, font);
}

// A number with at most three decimals and no trailing zeros.
void AppendShort(std::string& out, double value) {
    std::string digits;
    AppendFixed(digits, value, 3);
    if (digits.find('.') != std::string::npos) {
        while (digits.back() == '0')
            digits.pop_back();
        if (digits.back() == '.')
            digits.pop_back();
    }
    out += digits == "-0" ? "0" : digits;
}

} // namespace

int CPdfWriter::FontFor(const CTextShape& text) {
    std::string name = BaseFontName(text);
    std::string size;
    AppendFixed(size, text.height * kPointsPerUnit, 2);
    std::size_t index = 0;
    while (index < fonts.size() && (fonts[index].baseFont != name || fonts[index].size != size))
        ++index;
    if (index == fonts.size())
        fonts.push_back({std::move(name), std::move(size), &text});
    FontEntry& entry = fonts[index];
    // Every character of the text, shown or not: a superset of the lines the page shows.
    for (char16_t c : text.text) {
        if (c < 0x20)
            continue;
        entry.codes[UnicodeToWinAnsi(c).value_or(static_cast<uint8_t>('?'))] = true;
    }
    return static_cast<int>(index);
}

void CPdfWriter::PrepareFontPrograms() {
    for (FontEntry& entry : fonts) {
        CFont font;
        if (!CreateLayoutFont(*entry.source, font) || !font.AllowsEmbedding())
            continue;
        std::size_t p = 0;
        while (p < fontPrograms.size() &&
               (fontPrograms[p].file != font.GetFilePath() || fontPrograms[p].index != font.GetFaceIndex()))
            ++p;
        if (p == fontPrograms.size())
            fontPrograms.push_back({font.GetFilePath(), font.GetFaceIndex(), {}, std::nullopt, {}, 0});
        for (int code = kFirstCode; code <= kLastCode; ++code)
            if (entry.codes[static_cast<std::size_t>(code)])
                fontPrograms[p].characters.insert(WinAnsiToUnicode(static_cast<uint8_t>(code)));
        entry.program = static_cast<int>(p);
    }
    int next = firstImageObject + static_cast<int>(images.size());
    for (FontProgram& program : fontPrograms) {
        program.subset = SubsetTrueTypeFace(program.file, program.index, program.characters);
        if (!program.subset)
            continue;
        program.tag = SubsetTag(program.file + ':' + std::to_string(program.index), program.characters);
        program.object = next++;
    }
    // A face that cannot be cut is named as before and left to the viewer.
    for (FontEntry& entry : fonts)
        if (entry.program >= 0 && !fontPrograms[static_cast<std::size_t>(entry.program)].subset)
            entry.program = -1;
}

void CPdfWriter::WriteFonts() {
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        const FontEntry& entry = fonts[f];
        const FontProgram* program =
            entry.program >= 0 ? &fontPrograms[static_cast<std::size_t>(entry.program)] : nullptr;
        const std::string name = program != nullptr ? program->tag + '+' + entry.baseFont : entry.baseFont;
        const int number = firstFontObject + 3 * static_cast<int>(f);
        BeginObject(number);
        file += "<< /Type /Font\r\n/Subtype /TrueType\r\n/Name /F";
        AppendInt(file, static_cast<int64_t>(f) + 13);
        file += "\r\n/BaseFont /";
        file += name;
        file += "\r\n/FirstChar 32\r\n/LastChar 255\r\n/Widths ";
        AppendInt(file, number + 1);
        file += " 0 R\r\n/Encoding /WinAnsiEncoding\r\n/FontDescriptor ";
        AppendInt(file, number + 2);
        file += " 0 R\r\n>>\r\nendobj\r\n";

        // Widths: the advances the editor lays this size out with, as thousandths of the written size,
        // so that viewers place every glyph where the editor does. Codes no text shows get 0.
        const CTextMetrics& metrics = GetTextMetrics();
        double size = 0.0;
        std::from_chars(entry.size.data(), entry.size.data() + entry.size.size(), size);
        BeginObject(number + 1);
        file += '[';
        for (int code = kFirstCode; code <= kLastCode; ++code) {
            double width = 0.0;
            const char16_t c = WinAnsiToUnicode(static_cast<uint8_t>(code));
            if (size > 0.0 && entry.codes[static_cast<std::size_t>(code)])
                width = metrics.MeasureString(*entry.source, std::u16string_view(&c, 1)).x *
                        static_cast<double>(kPointsPerUnit) * 1000.0 / size;
            AppendShort(file, width);
            file += ' ';
            if ((code - kFirstCode) % 19 == 18)
                file += "\r\n";
        }
        file += "]\r\nendobj\r\n";

        const bool italic = (entry.source->style & kTextStyleItalic) != 0;
        BeginObject(number + 2);
        file += "<<\r\n/Type /FontDescriptor\r\n/FontName /";
        file += name;
        if (program != nullptr) {
            const CFontSubset& subset = *program->subset;
            file += "\r\n/Ascent ";
            AppendInt(file, subset.ascent);
            file += "\r\n/CapHeight ";
            AppendInt(file, subset.capHeight);
            file += "\r\n/Descent ";
            AppendInt(file, subset.descent);
            file += "\r\n/Flags ";
            AppendInt(file, 32 | (italic ? 64 : 0) | (subset.fixedPitch ? 1 : 0));
            file += "\r\n/FontBBox [";
            for (int i = 0; i < 4; ++i) {
                AppendInt(file, subset.bbox[i]);
                file += i < 3 ? " " : "]";
            }
            file += "\r\n/ItalicAngle ";
            file += italic ? "-12" : "0";
            file += "\r\n/StemV 80\r\n/FontFile2 ";
            AppendInt(file, program->object);
            file += " 0 R\r\n>>\r\nendobj\r\n";
            continue;
        }
        CFont font;
        const bool measured = CreateMetricsFont(*entry.source, font);
        const CTextMetric metric = measured ? font.GetTextMetrics() : CTextMetric{};
        const int32_t a = metric.ascent;
        const int32_t d = metric.descent;
        const int32_t capHeight = (measured ? font.GetTextExtent(u"T").cy : 0) - metric.internalLeading - d;
        file += "\r\n/Ascent ";
        AppendInt(file, a - d);
        file += "\r\n/CapHeight ";
        AppendInt(file, capHeight);
        file += "\r\n/Descent ";
        AppendInt(file, -d);
        file += "\r\n/Flags ";
        AppendInt(file, italic ? 96 : 32);
        file += "\r\n/FontBBox [-550 ";
        AppendInt(file, RoundHalfAway(-1.5 * d));
        file += ' ';
        AppendInt(file, metric.maxCharWidth - 550);
        file += ' ';
        AppendInt(file, a + RoundHalfAway(0.5 * d));
        file += "]\r\n/ItalicAngle -12\r\n/StemV 0\r\n>>\r\nendobj\r\n";
    }
}

void CPdfWriter::WriteFontPrograms() {
    std::vector<uint8_t> compressed;
    for (const FontProgram& program : fontPrograms) {
        if (!program.subset)
            continue;
        const std::vector<uint8_t>& bytes = program.subset->program;
        const bool compress = DeflateBytes(bytes, compressed);
        const std::vector<uint8_t>& data = compress ? compressed : bytes;
        BeginObject(program.object);
        file += "<< /Length ";
        AppendInt(file, static_cast<int64_t>(data.size()));
        file += "\r\n/Length1 ";
        AppendInt(file, static_cast<int64_t>(bytes.size()));
        if (compress)
            file += "\r\n/Filter [/FlateDecode ]";
        file += "\r\n>>\r\nstream\r\n";
        file.append(reinterpret_cast<const char*>(data.data()), data.size());
        file += "\r\nendstream\r\nendobj\r\n";
    }
}

} // namespace pq
