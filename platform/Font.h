#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct FT_SizeRec_;
struct FT_FaceRec_;

namespace pq {

class CFontFace;

inline constexpr int32_t kFontWeightNormal = 400;
inline constexpr int32_t kFontWeightBold = 700;
inline constexpr uint8_t kDefaultCharSet = 1;

// A logical font as the platform describes one. height < 0 asks for a character height of -height
// pixels (the em square), height > 0 for a cell height (ascent + descent) of height pixels, 0 for the
// default size. Escapement and orientation are tenths of a degree, counter-clockwise on the screen.
struct CLogFont {
    // The longest face name a font keeps; longer names are cut to their first 29 UTF-16 units.
    static constexpr std::size_t kMaxFaceNameLength = 29;

    int32_t height = 0;
    int32_t width = 0; // 0: the face's own proportions (other widths are not supported and ignored)
    int32_t escapement = 0;
    int32_t orientation = 0; // glyphs turn with the escapement, as in the platform's compatible mode
    int32_t weight = kFontWeightNormal;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = kDefaultCharSet;
    std::u16string faceName;

    bool operator==(const CLogFont&) const = default;
};

// The vertical metrics of a font in whole pixels: height = ascent + descent, and internal leading is
// the part of the height above the em square (height minus the character height).
struct CTextMetric {
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t height = 0;
    int32_t internalLeading = 0;
    int32_t externalLeading = 0;
    int32_t aveCharWidth = 0;
    int32_t maxCharWidth = 0;
};

struct CTextSize {
    int32_t cx = 0;
    int32_t cy = 0;

    bool operator==(const CTextSize&) const = default;
};

// A font ready for measuring and drawing: a face found through fontconfig and loaded by FreeType, set
// to the requested pixel size. Glyphs are laid out on whole-pixel advances (no kerning, as the
// platform's text output), so the width of a string is the sum of the advances of its characters.
// Fonts are cheap to create: font files and face lookups are shared by the whole process.
class CFont {
public:
    CFont() = default;
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    CFont(CFont&& other) noexcept;
    CFont& operator=(CFont&& other) noexcept;

    // Creates the font; false (and the font left empty) when no installed face can be loaded. A face
    // name that is not installed gives its metric-compatible twin or the system's sans-serif face; a
    // bold or italic request on a family without such a member is emboldened or slanted.
    bool Create(const CLogFont& logFont);
    [[nodiscard]] bool IsValid() const { return size != nullptr; }

    // The description the font was created from, with the face name cut to its stored length.
    [[nodiscard]] const CLogFont& GetLogFont() const { return logFont; }
    // The family and file of the face in use (UTF-8), which may differ from the name asked for.
    [[nodiscard]] const std::string& GetFamily() const { return family; }
    [[nodiscard]] const std::string& GetFilePath() const;
    // The face's index within its file (collections hold several faces).
    [[nodiscard]] int GetFaceIndex() const;
    // False when the face's licence forbids embedding it in documents (restricted, or bitmaps only).
    [[nodiscard]] bool AllowsEmbedding() const;
    [[nodiscard]] bool IsSyntheticBold() const { return syntheticBold; }
    [[nodiscard]] bool IsSyntheticItalic() const { return syntheticItalic; }
    // The em size in pixels, 26.6 fixed point.
    [[nodiscard]] int64_t GetPixelSize26() const { return ppem26; }

    [[nodiscard]] const CTextMetric& GetTextMetrics() const { return metrics; }
    // The whole-pixel advance of one character, never negative (0 for an empty font), so that a string
    // never measures narrower than its beginning.
    [[nodiscard]] int32_t GetCharAdvance(char32_t c) const;
    // Width: the sum of the advances; height: the font's height. Measured along the baseline, whatever
    // the escapement.
    [[nodiscard]] CTextSize GetTextExtent(std::u16string_view text) const;
    // The advance after each UTF-16 unit (0 for the second unit of a surrogate pair), for callers that
    // fit text into a width.
    [[nodiscard]] std::vector<int32_t> GetCharAdvances(std::u16string_view text) const;
    // The block of a multi-line text as the platform's multi-line measuring reports it: lines are
    // separated by "\r\n", the width is that of the widest line and the height is the number of lines
    // times the font's height. An empty text is one empty line high.
    [[nodiscard]] CTextSize CalcTextBlock(std::u16string_view text) const;

    // Underline and strike-out bars: the top of the bar below the baseline (negative above it) and
    // its thickness, in whole pixels.
    [[nodiscard]] int32_t GetUnderlineOffset() const { return underlineOffset; }
    [[nodiscard]] int32_t GetUnderlineThickness() const { return underlineThickness; }
    [[nodiscard]] int32_t GetStrikeOutOffset() const { return strikeOutOffset; }
    [[nodiscard]] int32_t GetStrikeOutThickness() const { return strikeOutThickness; }

    // For the text rasteriser: makes this font's size current on its face, leaves the face untransformed
    // and returns it; nullptr for an empty font.
    [[nodiscard]] FT_FaceRec_* Activate() const;
    // The glyph a character maps to (0, the missing-glyph box, when the face has none) and the glyph's
    // whole-pixel advance. Both are remembered by the face.
    [[nodiscard]] uint32_t GetGlyphIndex(char32_t c) const;
    // Loads a glyph at this font's size into the face's glyph slot as an outline in 26.6 pixels, y up,
    // with the synthetic bold and slant applied. False when it cannot be loaded.
    bool LoadGlyphOutline(uint32_t glyph) const;
    // The face this font draws from, for caches of rendered glyphs.
    [[nodiscard]] CFontFace* GetFontFace() const { return face.get(); }
    // A key naming a glyph or character at this font's size and synthetic style among the face's caches.
    [[nodiscard]] uint64_t GlyphKey(uint32_t glyphOrChar) const;

private:
    void Release();
    void LookUp(char32_t c, uint32_t& glyph, int32_t& advance) const;
    void ComputeMetrics();

    CLogFont logFont;
    std::shared_ptr<CFontFace> face;
    FT_SizeRec_* size = nullptr;
    std::string family;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    int64_t ppem26 = 0;
    CTextMetric metrics;
    int32_t underlineOffset = 0;
    int32_t underlineThickness = 1;
    int32_t strikeOutOffset = 0;
    int32_t strikeOutThickness = 1;
};

} // namespace pq
