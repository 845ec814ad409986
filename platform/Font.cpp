#include "platform/Font.h"

#include "platform/FontLibrary.h"
#include "platform/Utf16.h"

#include "geometry/Numeric.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <utility>

namespace pq {

namespace {

// The character height of a font asked for with height 0.
constexpr int64_t kDefaultCharacterHeight = 12;
// Larger requests are held here: glyphs beyond it would only be clipped away, at great cost.
constexpr int64_t kMaxPixelHeight = 10000;

constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

std::u16string CutFaceName(std::u16string_view name) {
    std::size_t length = std::min(name.size(), CLogFont::kMaxFaceNameLength);
    // Never keep half of a surrogate pair.
    if (length < name.size() && length > 0 && name[length - 1] >= 0xD800 && name[length - 1] <= 0xDBFF)
        --length;
    return std::u16string(name.substr(0, length));
}

// Ascent and descent of the cell in font units: the Windows metrics of the OS/2 table when present,
// which is what the platform's fonts measure their cells with, else the horizontal header's.
std::pair<double, double> CellInFontUnits(FT_Face f) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
        return {os2->usWinAscent, os2->usWinDescent};
    if (f->ascender - f->descender > 0)
        return {static_cast<double>(f->ascender), static_cast<double>(-f->descender)};
    return {0.8 * f->units_per_EM, 0.2 * f->units_per_EM};
}

} // namespace

CFont::~CFont() {
    Release();
}

CFont::CFont(CFont&& other) noexcept {
    *this = std::move(other);
}

CFont& CFont::operator=(CFont&& other) noexcept {
    if (this != &other) {
        Release();
        logFont = std::move(other.logFont);
        face = std::move(other.face);
        size = std::exchange(other.size, nullptr);
        family = std::move(other.family);
        syntheticBold = other.syntheticBold;
        syntheticItalic = other.syntheticItalic;
        ppem26 = other.ppem26;
        metrics = other.metrics;
        underlineOffset = other.underlineOffset;
        underlineThickness = other.underlineThickness;
        strikeOutOffset = other.strikeOutOffset;
        strikeOutThickness = other.strikeOutThickness;
    }
    return *this;
}

void CFont::Release() {
    // The size belongs to the face: release it while the face is still held.
    if (size != nullptr)
        FT_Done_Size(size);
    size = nullptr;
    face.reset();
    metrics = CTextMetric{};
    ppem26 = 0;
}

const std::string& CFont::GetFilePath() const {
    static const std::string none;
    return face ? face->GetFile() : none;
}

int CFont::GetFaceIndex() const {
    return face ? face->GetIndex() : 0;
}

bool CFont::AllowsEmbedding() const {
    if (!face)
        return false;
    const FT_UShort flags = FT_Get_FSType_Flags(face->GetFace());
    return (flags & (FT_FSTYPE_RESTRICTED_LICENSE_EMBEDDING | FT_FSTYPE_BITMAP_EMBEDDING_ONLY)) == 0;
}

bool CFont::Create(const CLogFont& description) {
    Release();
    logFont = description;
    logFont.faceName = CutFaceName(description.faceName);

    const bool italic = logFont.italic;
    const int weight = std::clamp(logFont.weight <= 0 ? kFontWeightNormal : logFont.weight, 1, 1000);
    CFaceMatch match = CFontLibrary::Get().Match(Utf16ToUtf8(logFont.faceName), weight, italic);
    if (!match.face)
        return false;
    FT_Face f = match.face->GetFace();

    const auto [winAscent, winDescent] = CellInFontUnits(f);
    const double upem = f->units_per_EM > 0 ? f->units_per_EM : 2048.0;
    const int64_t h = logFont.height;
    double ppem = 0.0;
    int64_t cellHeight = 0;
    if (h < 0) {
        ppem = static_cast<double>(std::min(-h, kMaxPixelHeight));
    } else if (h == 0) {
        ppem = static_cast<double>(kDefaultCharacterHeight);
    } else {
        cellHeight = std::min(h, kMaxPixelHeight);
        ppem = static_cast<double>(cellHeight) * upem / (winAscent + winDescent);
    }
    ppem26 = std::max<int64_t>(1, RoundHalfAway(ppem * 64.0));

    FT_Size newSize = nullptr;
    if (FT_New_Size(f, &newSize) != 0)
        return false;
    if (FT_Activate_Size(newSize) != 0 || FT_Set_Char_Size(f, 0, ppem26, 72, 72) != 0) {
        FT_Done_Size(newSize);
        return false;
    }
    face = std::move(match.face);
    size = newSize;
    family = std::move(match.family);
    syntheticBold = match.syntheticBold;
    syntheticItalic = match.syntheticItalic;
    ComputeMetrics();
    if (cellHeight > 0) {
        // A cell height is kept exactly; the ascent takes its share of it.
        metrics.height = static_cast<int32_t>(cellHeight);
        metrics.ascent =
            RoundHalfAway(static_cast<double>(cellHeight) * winAscent / (winAscent + winDescent));
        metrics.descent = metrics.height - metrics.ascent;
        metrics.internalLeading = std::max(0, metrics.height - RoundHalfAway(ppem26 / 64.0));
    }
    return true;
}

void CFont::ComputeMetrics() {
    FT_Face f = face->GetFace();
    // Font units to pixels at the size FreeType actually set (TrueType faces may round the em size).
    const double scale = static_cast<double>(f->size->metrics.y_scale) / 65536.0 / 64.0;
    const auto [winAscent, winDescent] = CellInFontUnits(f);
    metrics.ascent = RoundHalfAway(winAscent * scale);
    metrics.descent = RoundHalfAway(winDescent * scale);
    metrics.height = metrics.ascent + metrics.descent;
    metrics.internalLeading = std::max(0, metrics.height - RoundHalfAway(f->units_per_EM * scale));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
    if (hhea != nullptr) {
        const double lineGap = hhea->Ascender - hhea->Descender + hhea->Line_Gap - (winAscent + winDescent);
        metrics.externalLeading = std::max(0, RoundHalfAway(lineGap * scale));
    }
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->xAvgCharWidth > 0)
        metrics.aveCharWidth = RoundHalfAway(os2->xAvgCharWidth * scale);
    else
        metrics.aveCharWidth = GetCharAdvance(U'x');
    metrics.maxCharWidth = RoundHalfAway(f->max_advance_width * scale);

    // The underline position is the centre of the bar; the strike-out position is the top of its bar.
    underlineThickness = std::max(1, RoundHalfAway(f->underline_thickness * scale));
    const double underlineCentre = -f->underline_position * scale;
    underlineOffset = RoundHalfAway(underlineCentre - underlineThickness / 2.0);
    if (underlineOffset < 1)
        underlineOffset = std::min(1, metrics.descent);
    if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        strikeOutThickness = std::max(1, RoundHalfAway(os2->yStrikeoutSize * scale));
        strikeOutOffset = -RoundHalfAway(os2->yStrikeoutPosition * scale);
    } else {
        strikeOutThickness = underlineThickness;
        strikeOutOffset = -RoundHalfAway(metrics.ascent / 3.0);
    }
}

FT_FaceRec_* CFont::Activate() const {
    if (size == nullptr)
        return nullptr;
    FT_Face f = face->GetFace();
    FT_Activate_Size(size);
    FT_Set_Transform(f, nullptr, nullptr);
    return f;
}

uint64_t CFont::GlyphKey(uint32_t glyphOrChar) const {
    return static_cast<uint64_t>(ppem26) << 23 | static_cast<uint64_t>(syntheticBold) << 22 |
           static_cast<uint64_t>(syntheticItalic) << 21 | (glyphOrChar & 0x1FFFFF);
}

bool CFont::LoadGlyphOutline(uint32_t glyph) const {
    FT_Face f = Activate();
    if (f == nullptr || FT_Load_Glyph(f, glyph, kLoadFlags) != 0)
        return false;
    if (f->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    if (syntheticItalic)
        FT_GlyphSlot_Oblique(f->glyph);
    if (syntheticBold)
        FT_GlyphSlot_Embolden(f->glyph);
    return true;
}

void CFont::LookUp(char32_t c, uint32_t& glyph, int32_t& advance) const {
    glyph = 0;
    advance = 0;
    if (size == nullptr)
        return;
    const uint64_t key = GlyphKey(c);
    if (const CFontFace::CGlyphAdvance* known = face->FindAdvance(key)) {
        glyph = known->glyph;
        advance = known->advance;
        return;
    }
    CFontFace::CGlyphAdvance entry;
    entry.glyph = FT_Get_Char_Index(face->GetFace(), c);
    if (LoadGlyphOutline(entry.glyph))
        entry.advance = std::max(0, RoundHalfAway(face->GetFace()->glyph->metrics.horiAdvance / 64.0));
    face->StoreAdvance(key, entry);
    glyph = entry.glyph;
    advance = entry.advance;
}

uint32_t CFont::GetGlyphIndex(char32_t c) const {
    uint32_t glyph = 0;
    int32_t advance = 0;
    LookUp(c, glyph, advance);
    return glyph;
}

int32_t CFont::GetCharAdvance(char32_t c) const {
    uint32_t glyph = 0;
    int32_t advance = 0;
    LookUp(c, glyph, advance);
    return advance;
}

CTextSize CFont::GetTextExtent(std::u16string_view text) const {
    int64_t width = 0;
    std::size_t i = 0;
    while (i < text.size())
        width += GetCharAdvance(NextCodePoint(text, i));
    return {static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX)), metrics.height};
}

std::vector<int32_t> CFont::GetCharAdvances(std::u16string_view text) const {
    std::vector<int32_t> advances(text.size(), 0);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        advances[start] = GetCharAdvance(NextCodePoint(text, i));
    }
    return advances;
}

CTextSize CFont::CalcTextBlock(std::u16string_view text) const {
    int32_t widest = 0;
    int64_t lines = 1;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(u"\r\n", start);
        const std::u16string_view line =
            text.substr(start, end == std::u16string_view::npos ? text.npos : end - start);
        widest = std::max(widest, GetTextExtent(line).cx);
        if (end == std::u16string_view::npos)
            break;
        ++lines;
        start = end + 2;
    }
    return {widest, static_cast<int32_t>(std::min<int64_t>(lines * metrics.height, INT32_MAX))};
}

} // namespace pq
