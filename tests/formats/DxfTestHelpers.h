#pragma once

// Writing and reading DXF in memory for the format's tests, DXF text built from group pairs, and the
// group pairs of a written file picked apart by entity.

#include "FontMetricsSetup.h"
#include "ObjectBuilders.h"
#include "PeerHelpers.h"
#include "formats/dxf/DxfFile.h"
#include "formats/dxf/DxfTagReader.h"
#include "model/Drawing.h"
#include "render/FontTextMetrics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace pq::test {

inline std::string WriteDxf(const CDrawing& drawing, int page = 0,
                            std::vector<CDxfImageFile>* images = nullptr,
                            const std::string& path = "/tmp/drawing.dxf") {
    std::string file;
    std::vector<CDxfImageFile> written;
    std::string message;
    EXPECT_TRUE(CDxfFile().ExportToMemory(file, written, drawing, page, path, message)) << message;
    if (images != nullptr)
        *images = std::move(written);
    return file;
}

inline bool ReadDxf(std::string_view text, CDrawing& drawing, const std::string& folder = {}) {
    return CDxfFile().ImportFromMemory({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, drawing,
                                       folder);
}

// A file of the given pairs, one line per code and value.
inline std::string DxfText(std::initializer_list<std::pair<int, std::string>> pairs) {
    std::string out;
    for (const auto& [code, value] : pairs)
        out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

// A file of pairs written on one line, codes and values parted by blanks: Dxf("0 LINE 10 0 20 0"). Values
// holding blanks go through DxfText.
inline std::string Dxf(std::string_view pairs) {
    std::string out;
    std::size_t tokens = 0;
    for (std::size_t at = pairs.find_first_not_of(' '); at != std::string_view::npos;
         at = pairs.find_first_not_of(' ', at)) {
        const std::size_t end = std::min(pairs.find(' ', at), pairs.size());
        out.append(pairs.substr(at, end - at)).push_back('\n');
        at = end;
        ++tokens;
    }
    EXPECT_EQ(tokens % 2, 0u) << "a code without its value in: " << pairs;
    return out;
}

// An ENTITIES section around the given entity pairs, with an optional header of $INSUNITS.
inline std::string EntitiesFile(const std::string& entities, int insunits = -1) {
    std::string out;
    if (insunits >= 0)
        out += DxfText(
            {{0, "SECTION"}, {2, "HEADER"}, {9, "$INSUNITS"}, {70, std::to_string(insunits)}, {0, "ENDSEC"}});
    out += DxfText({{0, "SECTION"}, {2, "ENTITIES"}}) + entities + DxfText({{0, "ENDSEC"}, {0, "EOF"}});
    return out;
}

// The group pairs of each entity of one kind in a file, in file order.
struct CParsedDxf {
    CDxfTagList list;
    std::vector<std::vector<CDxfTag>> Entities(std::string_view name) const {
        std::vector<std::vector<CDxfTag>> out;
        for (std::size_t i = 0; i < list.tags.size(); ++i) {
            if (list.tags[i].code != 0 || list.tags[i].Value() != name)
                continue;
            out.emplace_back();
            for (std::size_t j = i + 1; j < list.tags.size() && list.tags[j].code != 0; ++j)
                out.back().push_back(list.tags[j]);
        }
        return out;
    }
};

// The pairs view a copy of the file kept for the life of the test program, so entity lists taken from a
// file written and parsed in one expression stay valid.
inline CParsedDxf ParseDxf(const std::string& file) {
    static std::deque<std::string> kept;
    const std::string& text = kept.emplace_back(file);
    CParsedDxf parsed;
    std::string message;
    EXPECT_TRUE(
        ReadDxfTags({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, parsed.list, message));
    return parsed;
}

inline std::vector<std::string> Values(const std::vector<CDxfTag>& entity, int code) {
    std::vector<std::string> out;
    for (const CDxfTag& tag : entity)
        if (tag.code == code)
            out.emplace_back(tag.Value());
    return out;
}

inline std::string Value(const std::vector<CDxfTag>& entity, int code) {
    const std::vector<std::string> all = Values(entity, code);
    return all.empty() ? std::string("<none>") : all.front();
}

} // namespace pq::test
