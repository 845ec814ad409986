#pragma once

#include "geometry/Transform.h"
#include "native/PdfFontSubset.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;
class CPathShape;
class CTextShape;
class CImageShape;

// Document units to PDF points (0.1 mm per unit, 72 points per inch).
inline constexpr float kPointsPerUnit = 0.28346518f;

// Writes a drawing as the native PDF 1.3 file. Every stream is built in memory and the whole file goes
// into one byte string, which the caller stores. Objects are numbered as follows, with P pages, T
// page-tree nodes (root included), F fonts and I images: 1 catalog, 2 outlines, 3 the root, 4 .. T + 2
// the other tree nodes, T + 3 + i page i, T + P + 3 + i its content, T + 2P + 3 + 3f font f with its
// widths and descriptor, T + 2P + 3F + 3 + k image k, then the embedded font programs, then the groups
// object when there are groups.
class CPdfWriter {
public:
    explicit CPdfWriter(CDrawing& drawing);

    // Builds the file. Renumbers the drawing's groups, which leaves its grouping as it was.
    [[nodiscard]] std::string Write();

private:
    // One font resource: a face and style at one size, so that its widths are the advances the editor
    // lays that size out with.
    struct FontEntry {
        std::string baseFont;          // the face's PostScript name with its style
        std::string size;              // the size as the text's "Tf" line writes it
        const CTextShape* source;      // the first text using the font supplies face and style
        std::array<bool, 256> codes{}; // the WinAnsi codes its texts show
        int program = -1;              // index in fontPrograms when the face is embedded
    };
    // One font file embedded, cut down to the characters of every font resource drawn from it.
    struct FontProgram {
        std::string file;
        int index = 0;
        std::set<char32_t> characters;
        std::optional<CFontSubset> subset;
        std::string tag;
        int object = 0;
    };

    // Structure (PdfWriter.cpp).
    void CollectObjects();
    void BeginObject(int number);
    void WriteHeader();
    void WritePageTree();
    void WritePages();
    void WriteContentStreams();
    void WriteGroups();
    void WriteCrossReference();
    void WriteStreamObject(int number, std::string_view dictionaryTail, const std::string& content);

    // Page content (PdfWriterContent.cpp).
    void AppendPath(std::string& out, const CGraphicObject& object, const CPathShape& path) const;
    void AppendImage(std::string& out, const CImageShape& image, int number) const;
    void AppendColour(std::string& out, uint32_t color, std::string_view op) const;
    void AppendPoint(std::string& out, CPointF p, std::string_view op) const;

    // Text (PdfWriterText.cpp).
    void AppendText(std::string& out, const CGraphicObject& object, const CTextShape& text) const;

    // Resources (PdfWriterResources.cpp).
    [[nodiscard]] static std::string BaseFontName(const CTextShape& text);
    void WriteImages();

    // Fonts (PdfWriterFonts.cpp).
    [[nodiscard]] int FontFor(const CTextShape& text);
    void PrepareFontPrograms();
    void WriteFonts();
    void WriteFontPrograms();

    CDrawing& drawing;
    CTransform toPdf;
    std::string file;
    // offsets[k] is where object k + 1 starts.
    std::vector<uint32_t> offsets;
    int pageCount = 1;
    float pageWidth = 0.0f;
    float pageHeight = 0.0f;

    // The objects of each page in list order, and the fonts and images in the order they are numbered.
    std::vector<std::vector<const CGraphicObject*>> pageObjects;
    std::vector<FontEntry> fonts;
    std::vector<FontProgram> fontPrograms;
    std::unordered_map<const CTextShape*, int> textFonts;
    std::vector<const CImageShape*> images;
    std::unordered_map<const CImageShape*, int> imageObjects;
    // While numbering: each shown image's index in images, and the images by pixel storage.
    std::unordered_map<const CImageShape*, std::size_t> imageIndex;
    std::unordered_map<const void*, std::vector<std::size_t>> imagesByPixels;
    int firstFontObject = 0;
    int firstImageObject = 0;
    int pageTreeObjects = 0;
};

} // namespace pq
