#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pq {

// A TrueType face cut down to the characters a document shows, for embedding as a PDF font program.
struct CFontSubset {
    std::vector<uint8_t> program; // a complete TrueType file holding only the kept glyphs
    // Whole-font metrics in thousandths of an em, for the font descriptor.
    int32_t ascent = 0;
    int32_t descent = 0; // negative below the baseline
    int32_t capHeight = 0;
    int32_t bbox[4] = {0, 0, 0, 0}; // left, bottom, right, top
    bool fixedPitch = false;
};

// Cuts the face at index of the TrueType file path down to characters (glyph 0 is always kept), without
// hinting or layout tables, which PDF viewers do not use. Nothing when the file cannot be read, is not
// TrueType (glyf outlines) or cannot be cut.
[[nodiscard]] std::optional<CFontSubset> SubsetTrueTypeFace(const std::string& path, int index,
                                                            const std::set<char32_t>& characters);

// The six upper-case letters that name a subset ("ABCDEF+Name"), drawn from its characters so that the
// same text always gives the same file.
[[nodiscard]] std::string SubsetTag(const std::string& fontName, const std::set<char32_t>& characters);

} // namespace pq
