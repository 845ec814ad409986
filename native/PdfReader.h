#pragma once

#include "geometry/PointF.h"
#include "geometry/RectF.h"
#include "native/PdfDeflate.h"
#include "platform/DibSection.h"
#include "platform/LargeBuffer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;
class CPdfLineReader;

// Rebuilds a drawing from a native PDF file. It is not a general PDF reader: it accepts only files with
// our creator comment, finds objects by searching the raw bytes for the strings and line layout the
// writer produces, and skips what it does not recognise. Every count, offset and length taken from the
// file is checked against the bytes there are; inflated data and the objects made are bounded.
class CPdfReader {
public:
    // shownPage >= 0: the caller shows or exports that page alone, so only its objects get display
    // polylines and bounds; the other pages' objects are read whole but left unflattened, with empty
    // bounds, and such a drawing must not be saved with every page.
    CPdfReader(std::span<const uint8_t> bytes, CDrawing& drawing, int shownPage = -1);
    // The same with the file's bytes handed over, so that they are freed as soon as they are read,
    // before the objects are made ready to draw.
    CPdfReader(CLargeBytes&& bytes, CDrawing& drawing, int shownPage = -1);
    // Receives the shown page's objects a batch at a time (see CPdfFile::ReadPageInBatches).
    using BatchSink = std::function<void(const CDrawing&)>;
    // Reads the shown page alone, its content inflated a piece at a time, and hands its objects to sink
    // in batches, each ready to draw; the drawing is emptied after each batch.
    CPdfReader(std::span<const uint8_t> bytes, CDrawing& drawing, int shownPage, BatchSink sink);

    bool Read();

    // Bounds on what a file can make the reader produce.
    static constexpr std::size_t kMaxStreamBytes = 64u << 20;    // one inflated content or groups stream
    static constexpr std::size_t kMaxInflatedBytes = 512u << 20; // all streams and images together
    static constexpr std::size_t kMaxObjects = 500000;
    // Points of all display polylines together (each path's are bounded by its own size): past this the
    // remaining objects are left out with a warning.
    static constexpr std::size_t kMaxDisplayPoints = std::size_t{32} << 20;
    // Objects handed over at once when reading in batches, and the inflated bytes taken at a time.
    static constexpr int kBatchObjects = 4096;
    static constexpr std::size_t kPieceBytes = 64u << 10;

private:
    // What a stream object's dictionary says and where its data starts.
    struct StreamInfo {
        bool compressed = false;
        bool lengthGiven = false;
        int32_t length = 0;
        int32_t width = 0;
        int32_t height = 0;
        std::size_t dataStart = 0;
    };

    // The state of the content parser while it reads one page.
    struct GraphicsState {
        int32_t penWidth = 1;
        uint32_t strokeColour = 0;
        uint32_t fillColour = 0;
        bool stroke = false;
        bool fill = false;
        // A colour operator was seen since the last path was made; texts take their colour from it.
        bool fillSeen = false;
        bool strokeSeen = false;
        bool pathOpen = false;
        // The strokes an underlined text draws under its shown lines, which follow it at once and are
        // part of the text, not a path of their own: how many two-point strokes are still expected.
        int underlineStrokes = 0;
        std::vector<CPointF> current;
        std::vector<std::vector<CPointF>> subpaths;
        CRectF placement;
    };

    bool Fail(std::string message);

    int shownPage = -1;

    // Structure (PdfReader.cpp).
    bool FindPages();
    // The page count the page tree's root names (its "/Count"), when it names one.
    [[nodiscard]] std::optional<int32_t> RootPageCount(std::size_t root) const;
    bool ReadCrossReference();
    void ReadFonts();
    void ReadGroups();
    void FinishObjects();
    // Makes the objects from first on ready to draw (those of the shown page, when one is given): into
    // document units, bounds and display polylines. Past the display bound the rest are left out.
    void FinishFrom(int first);
    // Reading in batches: the shown page's content, and handing over the objects made so far.
    bool ReadShownPageInBatches();
    void HandOverBatch();

    // Streams (PdfReaderStreams.cpp).
    [[nodiscard]] std::optional<StreamInfo> ReadStreamDictionary(std::size_t offset) const;
    // The bytes of a stream, inflated when compressed, into storage (or a view of the file itself).
    // Corrupt when compressed data does not inflate; TooLarge or Truncated when bytes holds only the
    // first part of the stream (the reader's bound, or the data ended early).
    InflateResult StreamBytes(const StreamInfo& info, std::vector<uint8_t>& storage,
                              std::span<const uint8_t>& bytes);
    bool ReadContentStreams();
    // Warns of a page's content stream that was cut short or too large; false (failed) for one that cannot
    // be decompressed.
    bool ReportContentOutcome(InflateResult result, int page);
    void ReadImage(int number, int page, const GraphicsState& state);
    [[nodiscard]] bool DecodeImage(std::size_t offset, CDibSection& bitmap);

    // Content (PdfReaderContent.cpp).
    void ParseContent(CPdfLineReader& lines, int page);
    void FinishSubpath(GraphicsState& state) const;
    void AddPathPoints(GraphicsState& state, std::string_view line) const;
    void MakePath(GraphicsState& state, int page);
    bool Append(std::unique_ptr<CGraphicObject> object);

    // Text (PdfReaderText.cpp).
    void ParseText(CPdfLineReader& lines, int page, int mode, GraphicsState& state);

    CLargeBytes owned;
    std::span<const uint8_t> data;
    CDrawing& drawing;
    int pageCount = 0;
    float pageWidth = 0.0f;
    float pageHeight = 0.0f;
    std::size_t pagesEnd = 0;
    std::size_t lastPage = 0;
    // The cross-reference offsets from the first content stream on.
    std::vector<uint32_t> offsets;
    int treeObjects = 0;
    std::vector<std::u16string> fontNames;
    std::size_t inflatedBytes = 0;
    // Images already decoded, by object number: every showing of a picture shares its pixels.
    std::map<int, CDibSection> decodedImages;
    // A compressed picture's pixels before they are turned into its bitmap, kept from picture to picture
    // so that each does not fault in fresh memory.
    std::vector<uint8_t> pictureBytes;
    // Objects past the object bound, left out and reported.
    std::size_t objectsLeftOut = 0;
    std::size_t objectsMade = 0;
    // Display points made so far, and the objects left out once they passed their bound.
    std::size_t displayPoints = 0;
    std::size_t displayLeftOut = 0;
    bool displayFull = false;
    BatchSink sink;
};

} // namespace pq
