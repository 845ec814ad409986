#include "native/PdfReader.h"

#include "geometry/Transform.h"
#include "model/Drawing.h"
#include "model/TextMetrics.h"
#include "native/PdfDeflate.h"
#include "native/PdfFile.h"
#include "native/PdfLineReader.h"
#include "native/PdfNumbers.h"
#include "native/PdfPageTree.h"
#include "native/PdfWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pq {

namespace {

constexpr std::string_view kCreator = "%Created by Pentaquill Draw";
constexpr std::size_t kCreatorWindow = 100;
constexpr std::string_view kPageTreeNode = "/Type /Pages";
constexpr std::string_view kPage = "/Type /Page";
constexpr std::string_view kMediaBox = "/MediaBox [0 0 ";
constexpr std::size_t kFontWindow = 1000;
constexpr std::size_t kGroupsWindow = 20;

// The exact inverse of the writer's scale, so that a drawing saved and opened again stays where it was.
constexpr float kUnitsPerPoint = 1.0f / kPointsPerUnit;

// A byte of a PDF name, with "#xx" escapes decoded.
std::u16string DecodeName(std::string_view name) {
    std::u16string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto hex = [](char c) {
            return c >= '0' && c <= '9'   ? c - '0'
                   : c >= 'A' && c <= 'F' ? c - 'A' + 10
                   : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                          : -1;
        };
        if (name[i] == '#' && i + 2 < name.size() && hex(name[i + 1]) >= 0 && hex(name[i + 2]) >= 0) {
            out += static_cast<char16_t>(hex(name[i + 1]) * 16 + hex(name[i + 2]));
            i += 2;
        } else {
            out += static_cast<char16_t>(static_cast<uint8_t>(name[i]));
        }
    }
    return out;
}

// An embedded subset's name starts with six upper-case letters and "+" ("ABCDEF+ArialMT"); the face
// is the name after them.
std::u16string WithoutSubsetTag(std::u16string name) {
    if (name.size() > 7 && name[6] == u'+' &&
        std::all_of(name.begin(), name.begin() + 6, [](char16_t c) { return c >= u'A' && c <= u'Z'; }))
        name.erase(0, 7);
    return name;
}

// A number of points as a message shows it.
std::string FormatPoints(double points) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", points);
    return text;
}

} // namespace

std::optional<int32_t> CPdfReader::RootPageCount(std::size_t root) const {
    const std::size_t end = FindBytes(data, "endobj", root, pagesEnd).value_or(pagesEnd);
    const std::optional<std::size_t> count = FindBytes(data, "/Count ", root, end);
    if (!count)
        return std::nullopt;
    CPdfLineReader lines(data, *count + 7);
    std::string_view rest;
    lines.Next(rest);
    return ParseInt(rest);
}

CPdfReader::CPdfReader(std::span<const uint8_t> bytes, CDrawing& target, int page)
    : shownPage(page), data(bytes), drawing(target) {}

CPdfReader::CPdfReader(CLargeBytes&& bytes, CDrawing& target, int page)
    : shownPage(page), owned(std::move(bytes)), data(owned), drawing(target) {}

CPdfReader::CPdfReader(std::span<const uint8_t> bytes, CDrawing& target, int page, BatchSink batchSink)
    : shownPage(page), data(bytes), drawing(target), sink(std::move(batchSink)) {}

bool CPdfReader::Fail(std::string message) {
    drawing.SetErrorMessage(std::move(message));
    return false;
}

bool CPdfReader::Read() {
    drawing.Clear();
    drawing.SetErrorMessage({});
    drawing.ClearWarning();
    if (data.empty())
        return Fail("PDF: the file is empty");
    if (!FindBytes(data, kCreator, 0, kCreatorWindow + kCreator.size()))
        return Fail(CPdfFile::kForeignFileMessage);
    if (!FindPages())
        return false;
    if (pageCount == 0)
        return true; // a page tree that names no pages: an empty drawing
    if (!ReadCrossReference())
        return false;
    ReadFonts();
    if (sink) {
        // Groups do not change how a page looks; they are left unread.
        if (!ReadShownPageInBatches())
            return false;
    } else {
        if (!ReadContentStreams())
            return false;
        ReadGroups();
        // Everything is read from the file by now; making display polylines is where the memory peaks.
        CLargeBytes().swap(owned);
        std::vector<uint8_t>().swap(pictureBytes);
        data = {};
        FinishObjects();
    }
    if (displayLeftOut > 0)
        drawing.AddWarning("PDF: the drawing is too complex to show whole; its last " +
                           std::to_string(displayLeftOut) + " objects were left out");
    if (objectsLeftOut > 0)
        drawing.AddWarning("PDF: the file holds more than " + std::to_string(kMaxObjects) + " objects; " +
                           std::to_string(objectsLeftOut) + " were left out");
    return true;
}

bool CPdfReader::FindPages() {
    // The tree's nodes and pages come before the first stream; every page object there counts, however
    // large the objects between them are.
    const std::optional<std::size_t> root = FindBytes(data, kPageTreeNode, 0, data.size());
    if (!root)
        return Fail("PDF: no page tree");
    pagesEnd = FindBytes(data, "stream", *root, data.size()).value_or(data.size());
    std::size_t from = *root;
    while (const std::optional<std::size_t> found = FindBytes(data, kPage, from, pagesEnd)) {
        from = *found + kPage.size();
        if (from < data.size() && data[from] == 's')
            continue;
        lastPage = *found;
        ++pageCount;
    }
    // The root names how many pages there are; a file cut off after its page tree lacks some of them.
    const std::optional<int32_t> named = RootPageCount(*root);
    if (named && *named > pageCount)
        return Fail("PDF: the file is damaged: its page tree names " + std::to_string(*named) +
                    " pages, but only " + std::to_string(pageCount) + " are there");
    if (pageCount == 0)
        return true;
    drawing.SetPageCount(pageCount);

    const std::optional<std::size_t> box = FindBytes(data, kMediaBox, lastPage, pagesEnd);
    std::optional<double> width;
    std::optional<double> height;
    if (box) {
        CPdfLineReader lines(data, *box + kMediaBox.size());
        std::string_view rest;
        lines.Next(rest);
        width = ParseNumber(rest);
        height = ParseNumber(rest);
    }
    // Sizes are kept to a hundredth of a unit, which the four decimals of the box carry exactly.
    auto units = [](double points) {
        const double value = std::round(points * kUnitsPerPoint * 100.0) / 100.0;
        return std::isfinite(value) && std::fabs(value) < 1e30 ? static_cast<float>(value) : 0.0f;
    };
    if (!width || !height || !drawing.SetPageSize(units(*width), units(*height))) {
        drawing.AddWarning(box && width && height
                               ? "PDF: the page size " + FormatPoints(*width) + " x " +
                                     FormatPoints(*height) +
                                     " points cannot be used; the pages have the default size"
                               : "PDF: the pages name no size; they have the default size");
    }
    pageWidth = drawing.GetPageWidth();
    pageHeight = drawing.GetPageHeight();
    return true;
}

bool CPdfReader::ReadCrossReference() {
    const std::optional<std::size_t> start = FindLastBytes(data, "startxref");
    if (!start)
        return Fail("PDF: no cross-reference table");
    CPdfLineReader lines(data, *start);
    std::string_view line;
    lines.Next(line); // "startxref"
    if (!lines.Next(line) || Contains(line, "%%EOF"))
        return Fail("PDF: no cross-reference table");
    const std::optional<int32_t> xref = ParseInt(line);
    if (!xref || *xref < 0 || static_cast<std::size_t>(*xref) >= data.size())
        return Fail("PDF: the cross-reference offset lies outside the file");
    lines.Seek(static_cast<std::size_t>(*xref));
    if (!lines.Next(line) || !Contains(line, "xref"))
        return Fail("PDF: no cross-reference table at its offset");

    // Objects 1 .. K + 2 are the catalog, the outlines and the page tree; the first content stream follows.
    treeObjects = CPdfPageTree(pageCount).TreeObjects();
    const std::size_t firstContent = static_cast<std::size_t>(treeObjects) + 3;
    std::size_t entry = 0;
    while (lines.Next(line) && !Contains(line, "trailer")) {
        const std::size_t marker = line.find(" 00000 n");
        if (marker == std::string_view::npos)
            continue;
        if (++entry < firstContent)
            continue;
        std::string_view number = line.substr(0, marker);
        const std::optional<int32_t> offset = ParseInt(number);
        offsets.push_back(offset && *offset > 0 ? static_cast<uint32_t>(*offset) : 0);
    }
    if (offsets.size() < static_cast<std::size_t>(pageCount))
        return Fail("PDF: the cross-reference table lists fewer content streams than pages");
    return true;
}

void CPdfReader::ReadFonts() {
    for (std::size_t i = static_cast<std::size_t>(pageCount); i < offsets.size(); i += 3) {
        const std::size_t offset = offsets[i];
        const std::size_t end =
            FindBytes(data, "endobj", offset, offset + kFontWindow).value_or(offset + kFontWindow);
        const std::optional<std::size_t> found = FindBytes(data, "/BaseFont", offset, end);
        if (!found)
            break;
        CPdfLineReader lines(data, *found);
        std::string_view line;
        lines.Next(line);
        const std::size_t slash = line.find('/', 1);
        fontNames.push_back(slash == std::string_view::npos
                                ? std::u16string()
                                : WithoutSubsetTag(DecodeName(line.substr(slash + 1))));
    }
}

void CPdfReader::ReadGroups() {
    if (offsets.empty())
        return;
    const std::size_t last = offsets.back();
    const std::size_t from = last >= kGroupsWindow ? last - kGroupsWindow : 0;
    const std::optional<std::size_t> comment = FindBytes(data, "%PQGroups", from, last + kGroupsWindow);
    if (!comment)
        return;

    CPdfLineReader lines(data, *comment);
    std::string_view line;
    lines.Next(line); // "%PQGroups"
    const std::size_t objectLine = lines.Position();
    std::vector<uint8_t> storage;
    std::span<const uint8_t> groupBytes;
    StreamInfo info;
    bool found = false;
    while (!found && lines.Next(line) && line != "endobj") {
        if (Contains(line, "/FlateDecode")) {
            info.compressed = true;
        } else if (const std::size_t at = line.find("/Length");
                   at != std::string_view::npos && line.size() - at >= 9) {
            std::string_view number = line.substr(at + 7);
            info.length = ParseInt(number).value_or(0);
            info.lengthGiven = true;
        }
        if (Contains(line, "stream")) {
            info.dataStart = lines.StreamDataStart();
            if (StreamBytes(info, storage, groupBytes) == InflateResult::Corrupt)
                return;
            found = true;
        } else if (Contains(line, "%PQ")) {
            groupBytes = data.subspan(objectLine);
            found = true;
        }
    }
    if (!found)
        return;

    CPdfLineReader groupLines(groupBytes);
    std::vector<int> table;
    bool begun = false;
    while (groupLines.Next(line) && line != "endobj" && line != "%PQ End Groups") {
        if (line.size() < 3)
            continue;
        if (!begun) {
            begun = line.starts_with("%PQ Begin Groups");
            continue;
        }
        if (!line.starts_with("%PQ") || Contains(line, "%!!PQ End Groups"))
            continue;
        std::string_view number = line.substr(3);
        if (const std::optional<int32_t> value = ParseInt(number))
            table.push_back(*value);
    }
    drawing.ApplyGroupTable(table);
}

void CPdfReader::FinishObjects() {
    FinishFrom(0);
    drawing.RenumberAll();
}

void CPdfReader::FinishFrom(int first) {
    // Points of the file back to document units: the exact inverse of the writer's mapping, with the y
    // already negated while parsing. A file point (X, Y) becomes (X / k - w/2, h/2 - Y / k).
    CTransform toDocument;
    toDocument.Translate(pageWidth / 2.0f, -pageHeight / 2.0f, 0.0f);
    toDocument.Scale(kUnitsPerPoint, kUnitsPerPoint, 1.0f);
    for (int i = first; i < drawing.Count(); ++i) {
        CGraphicObject* object = drawing.GetAt(i);
        if (CPathShape* path = object->AsPath()) {
            for (auto& nodes : path->subpaths)
                for (CPathNode& node : *nodes) {
                    node.in = toDocument.Apply(node.in);
                    node.anchor = toDocument.Apply(node.anchor);
                    node.out = toDocument.Apply(node.out);
                }
        } else if (CImageShape* image = object->AsImage()) {
            const CPointF topLeft = toDocument.Apply(CPointF{image->placement.left, image->placement.top});
            const CPointF bottomRight =
                toDocument.Apply(CPointF{image->placement.right, image->placement.bottom});
            image->placement = {topLeft.x, bottomRight.x, topLeft.y, bottomRight.y};
        } else if (CTextShape* text = object->AsText()) {
            text->position = toDocument.Apply(text->position);
            text->corner = toDocument.Apply(text->corner);
            text->height *= kUnitsPerPoint;
        }
        if (shownPage >= 0 && object->page != shownPage) {
            object->bounds = CRectF::Empty();
            continue;
        }
        object->RecalcBounds();
        if (CTextShape* text = object->AsText(); text != nullptr && text->mode != kTextParagraph)
            text->corner = text->position + CPointF{object->bounds.Width(), object->bounds.Height()};
        if (const CPathShape* path = object->AsPath()) {
            for (const auto& polyline : path->polylines)
                displayPoints += polyline->GetSize();
        }
        if (displayPoints > kMaxDisplayPoints) {
            const int leftOut = drawing.Count() - i - 1;
            drawing.RemoveAt(i + 1, leftOut);
            displayLeftOut += static_cast<std::size_t>(leftOut);
            displayFull = true;
            break;
        }
    }
}

} // namespace pq
