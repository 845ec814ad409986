#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// An Illustrator file made ready for the line parser: the prolog and setup sections cut out,
// Flate-compressed objects of PDF-compatible files inflated in place, binary raster data turned into
// hex lines, everything after "%%EOF" cut, and the rest split into trimmed, non-empty lines.
struct CAiPreparedFile {
    // Bounds on what a file can make the preparation produce.
    static constexpr std::size_t kMaxInflatedBytes = 128u << 20; // all inflated objects together
    static constexpr std::size_t kMaxTextBytes = 256u << 20;     // the prepared text

    // The art size in points, when the file gives one ("%AI5_ArtSize: width height").
    bool artSizeFound = false;
    double artWidth = 0.0;
    double artHeight = 0.0;
    // Whether inflating a compressed object was cut short by the bound above.
    bool inflationLimited = false;
    // Whether the file reaches its trailer or end comment; a file cut short reaches neither.
    bool complete = false;
    // A PDF document in which no Illustrator data were found (a plain PDF named ".ai"): its page
    // content would read as Illustrator lines and give a wrong drawing.
    bool pdfWithoutIllustratorData = false;

    std::string text;
    // Views into text.
    std::vector<std::string_view> lines;
};

// Prepares bytes (any bytes: nothing in them is trusted).
void PrepareAiFile(std::span<const uint8_t> bytes, CAiPreparedFile& prepared);

// The steps, separately for tests.
// Removes everything before "%%EndProlog" and the section from "%%BeginSetup" through "%%EndSetup".
void CutPrologAndSetup(std::string& text);
// Replaces each "N G obj" ... "endstream" object whose data are FlateDecode-compressed by its inflated
// bytes; damaged objects are left as they are. Returns whether the inflation bound was reached.
bool ExpandCompressedObjects(std::string& text, std::size_t inflateLimit);
// Turns the binary data of raster blocks into "%"-prefixed hex lines.
void HexBinaryRasters(std::string& text, std::size_t sizeLimit);

} // namespace pq
