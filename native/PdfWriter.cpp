#include "native/PdfWriter.h"

#include "model/Drawing.h"
#include "native/PdfDeflate.h"
#include "native/PdfNumbers.h"
#include "native/PdfPageTree.h"

#include <algorithm>

namespace pq {

namespace {

constexpr std::string_view kEndObject = "endobj\r\n";

std::span<const uint8_t> Bytes(std::string_view s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

} // namespace

CPdfWriter::CPdfWriter(CDrawing& target) : drawing(target) {}

std::string CPdfWriter::Write() {
    pageCount = drawing.PageCount();
    pageWidth = drawing.GetPageWidth();
    pageHeight = drawing.GetPageHeight();
    // Points of the file: the page's top-left corner moves to the origin, then everything is scaled to
    // points. Every y is negated as it is written, so the written y is (h/2 - y) * 0.28346518.
    toPdf.Reset();
    toPdf.Scale(kPointsPerUnit, kPointsPerUnit, 1.0f);
    toPdf.Translate(-pageWidth / 2.0f, pageHeight / 2.0f, 0.0f);

    CollectObjects();
    WriteHeader();
    WritePageTree();
    WritePages();
    WriteContentStreams();
    WriteFonts();
    WriteImages();
    WriteFontPrograms();
    WriteGroups();
    WriteCrossReference();
    return std::move(file);
}

void CPdfWriter::CollectObjects() {
    pageObjects.assign(static_cast<std::size_t>(pageCount), {});
    for (const auto& object : drawing.Objects()) {
        if (object->page < 0 || object->page >= pageCount)
            continue;
        pageObjects[static_cast<std::size_t>(object->page)].push_back(object.get());
    }
    // Fonts in order of first use and images in list order, both over all pages.
    for (const auto& object : drawing.Objects()) {
        if (object->page < 0 || object->page >= pageCount)
            continue;
        if (const CTextShape* text = object->AsText()) {
            textFonts[text] = FontFor(*text);
        } else if (const CImageShape* image = object->AsImage()) {
            // A bitmap without pixels cannot be shown: it is left out of the numbering altogether.
            if (image->bitmap.IsEmpty() || image->bitmap.GetWidth() < 1 || image->bitmap.GetHeight() < 1)
                continue;
            // Showings of one picture (copies sharing their pixels) share one image object.
            std::vector<std::size_t>& sharing = imagesByPixels[image->bitmap.GetBits().data()];
            const auto same = std::find_if(sharing.begin(), sharing.end(), [&](std::size_t k) {
                return images[k]->bitmap.GetHeader() == image->bitmap.GetHeader() &&
                       std::ranges::equal(images[k]->bitmap.GetColourTable(), image->bitmap.GetColourTable());
            });
            if (same != sharing.end()) {
                imageIndex[image] = *same;
            } else {
                sharing.push_back(images.size());
                imageIndex[image] = images.size();
                images.push_back(image);
            }
        }
    }
    const CPdfPageTree tree(pageCount);
    pageTreeObjects = tree.TreeObjects();
    firstFontObject = CPdfPageTree::kRootObject + pageTreeObjects + pageCount;
    firstImageObject = firstFontObject + 3 * static_cast<int>(fonts.size());
    for (const auto& [image, k] : imageIndex)
        imageObjects[image] = firstImageObject + static_cast<int>(k);
    PrepareFontPrograms();
}

void CPdfWriter::BeginObject(int number) {
    const auto index = static_cast<std::size_t>(number - 1);
    if (offsets.size() <= index)
        offsets.resize(index + 1, 0);
    offsets[index] = static_cast<uint32_t>(file.size());
    AppendInt(file, number);
    file += " 0 obj\r\n";
}

void CPdfWriter::WriteHeader() {
    file += "%PDF-1.3\r\n%Created by Pentaquill Draw\r\n";
    BeginObject(1);
    file += "<< /Type /Catalog\r\n/Outlines 2 0 R\r\n/Pages 3 0 R\r\n>>\r\n";
    file += kEndObject;
    BeginObject(2);
    file += "<< /Type /Outlines\r\n/Count 0\r\n>>\r\n";
    file += kEndObject;
}

void CPdfWriter::WritePageTree() {
    const CPdfPageTree tree(pageCount);
    const std::vector<int>& levels = tree.Levels();
    const int pageLevel = tree.LevelCount() - 1;

    // Each node's kids are consecutive numbers: the kids of a level are the next level's objects, six
    // per node, the last node taking the rest. A node's count is the pages below it.
    for (int level = 0; level < pageLevel; ++level) {
        const int nodes = levels[static_cast<std::size_t>(level)];
        const int kids = levels[static_cast<std::size_t>(level + 1)];
        // A full node holds 6^m pages, m being the number of levels below it down to the pages.
        long long pagesPerNode = 1;
        for (int below = level; below < pageLevel; ++below)
            pagesPerNode *= CPdfPageTree::kFanOut;
        for (int j = 0; j < nodes; ++j) {
            const int number = tree.FirstObjectOfLevel(level) + j;
            BeginObject(number);
            file += "<< /Type /Pages\r\n";
            if (level > 0) {
                file += "/Parent ";
                AppendInt(file, tree.FirstObjectOfLevel(level - 1) + j / CPdfPageTree::kFanOut);
                file += " 0 R\r\n";
            }
            // The root of a one-page document has the single page as its kid.
            const int fanOut = level == 0 ? kids : CPdfPageTree::kFanOut;
            const int firstKid = j * fanOut;
            const int kidCount = j == nodes - 1 ? kids - firstKid : fanOut;
            const int firstKidObject = tree.FirstObjectOfLevel(level + 1) + firstKid;
            file += "/Kids [";
            for (int k = 0; k < kidCount; ++k) {
                if (k > 0)
                    file += "\r\n\t";
                AppendInt(file, firstKidObject + k);
                file += " 0 R";
            }
            file += "]\r\n/Count ";
            const long long count = j == nodes - 1 ? pageCount - j * pagesPerNode : pagesPerNode;
            AppendInt(file, level == 0 ? pageCount : count);
            file += "\r\n>>\r\n";
            file += kEndObject;
        }
    }
}

void CPdfWriter::WritePages() {
    const CPdfPageTree tree(pageCount);
    const int parentLevel = tree.LevelCount() - 2;
    for (int i = 0; i < pageCount; ++i) {
        const auto& objects = pageObjects[static_cast<std::size_t>(i)];
        BeginObject(tree.PageObject(i));
        file += "<< /Type /Page\r\n/Parent ";
        AppendInt(file, tree.FirstObjectOfLevel(parentLevel) + i / CPdfPageTree::kFanOut);
        file += " 0 R\r\n/MediaBox [0 0 ";
        AppendFixed(file, pageWidth * kPointsPerUnit, 4);
        file += ' ';
        AppendFixed(file, pageHeight * kPointsPerUnit, 4);
        file += "]\r\n/Contents ";
        AppendInt(file, tree.ContentObject(i));
        file += " 0 R\r\n/Resources << /ProcSet [/PDF";

        bool hasText = false;
        bool hasImage = false;
        std::vector<int> pageFonts;
        std::vector<int> pageImages;
        for (const CGraphicObject* object : objects) {
            if (const CTextShape* text = object->AsText()) {
                hasText = true;
                const int font = textFonts.at(text);
                if (std::find(pageFonts.begin(), pageFonts.end(), font) == pageFonts.end())
                    pageFonts.push_back(font);
            } else if (const CImageShape* image = object->AsImage()) {
                hasImage = true;
                if (auto it = imageObjects.find(image);
                    it != imageObjects.end() &&
                    std::find(pageImages.begin(), pageImages.end(), it->second) == pageImages.end())
                    pageImages.push_back(it->second);
            }
        }
        if (hasText)
            file += " /Text";
        if (hasImage)
            file += " /ImageC";
        file += "]";
        if (!pageFonts.empty()) {
            file += "\r\n/Font << ";
            for (int font : pageFonts) {
                file += "/F";
                AppendInt(file, font + 13);
                file += ' ';
                AppendInt(file, firstFontObject + 3 * font);
                file += " 0 R ";
            }
            file += ">>";
        }
        if (!pageImages.empty()) {
            file += "\r\n/XObject << ";
            for (int number : pageImages) {
                file += "/Im";
                AppendInt(file, number);
                file += ' ';
                AppendInt(file, number);
                file += " 0 R ";
            }
            file += ">>";
        }
        file += "\r\n>>\r\n>>\r\n";
        file += kEndObject;
    }
}

void CPdfWriter::WriteStreamObject(int number, std::string_view dictionaryTail, const std::string& content) {
    // The content and one zero byte are compressed. Even an empty page gets a real zlib stream, since a
    // Flate stream of no bytes at all is an error to some viewers.
    std::string data = content;
    data += '\0';
    std::vector<uint8_t> compressed;
    if (!DeflateBytes(Bytes(data), compressed))
        compressed.clear();
    BeginObject(number);
    file += "<< /Length ";
    AppendInt(file, static_cast<int64_t>(compressed.size()));
    file += dictionaryTail;
    file.append(reinterpret_cast<const char*>(compressed.data()), compressed.size());
    file += "endstream\r\n";
    file += kEndObject;
}

void CPdfWriter::WriteContentStreams() {
    const CPdfPageTree tree(pageCount);
    std::string content;
    for (int i = 0; i < pageCount; ++i) {
        content.clear();
        for (const CGraphicObject* object : pageObjects[static_cast<std::size_t>(i)]) {
            if (const CPathShape* path = object->AsPath())
                AppendPath(content, *object, *path);
            else if (const CTextShape* text = object->AsText())
                AppendText(content, *object, *text);
            else if (const CImageShape* image = object->AsImage()) {
                if (auto it = imageObjects.find(image); it != imageObjects.end())
                    AppendImage(content, *image, it->second);
            }
        }
        WriteStreamObject(tree.ContentObject(i), "\r\n/Filter [/FlateDecode ]>>\r\nstream\r\n", content);
    }
}

void CPdfWriter::WriteGroups() {
    std::vector<int> table;
    drawing.BuildGroupTable(table);
    if (table.empty())
        return;
    std::string text = "%PQ Begin Groups ";
    AppendInt(text, static_cast<int64_t>(table.size()));
    for (int value : table) {
        text += "\r\n%PQ ";
        AppendInt(text, value);
    }
    text += "\r\n%PQ End Groups";

    // The object's cross-reference entry points at the comment that introduces it, where the reader
    // looks for it.
    const int number = static_cast<int>(offsets.size()) + 1;
    const auto commentOffset = static_cast<uint32_t>(file.size());
    file += "%PQGroups\r\n";
    WriteStreamObject(number, "\r\n/Filter [/FlateDecode ]>>\r\nstream\r\n", text);
    offsets[static_cast<std::size_t>(number - 1)] = commentOffset;
}

void CPdfWriter::WriteCrossReference() {
    const auto xref = static_cast<uint32_t>(file.size());
    const auto size = static_cast<int64_t>(offsets.size()) + 1;
    file += "xref\r\n0 ";
    AppendInt(file, size);
    file += "\r\n0000000000 65535 f\r\n";
    for (uint32_t offset : offsets) {
        AppendZeroPadded(file, offset, 10);
        file += " 00000 n\r\n";
    }
    file += "trailer\r\n<< /Size ";
    AppendInt(file, size);
    file += "\r\n/Root 1 0 R\r\n>>\r\nstartxref\r\n";
    AppendInt(file, xref);
    file += "\r\n%%EOF\r\n";
}

} // namespace pq
