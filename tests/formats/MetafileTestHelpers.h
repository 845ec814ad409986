#pragma once

// Reading our own metafile output record by record, and building small metafiles by hand for the
// readers' tests.

#include "formats/metafile/EmfRecords.h"
#include "formats/metafile/Metafile.h"
#include "formats/metafile/MetafileBytes.h"
#include "model/Drawing.h"
#include "native/PdfTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace pq::test {

struct CRecordView {
    uint32_t type = 0;
    std::size_t offset = 0;
    std::span<const uint8_t> bytes; // framing included

    [[nodiscard]] CMetafileCursor Cursor() const { return CMetafileCursor(bytes, 8); }
};

// The records of an enhanced metafile after its header, in order; stops at a broken size.
inline std::vector<CRecordView> Records(const std::vector<uint8_t>& file) {
    std::vector<CRecordView> records;
    std::size_t at = 0;
    while (at + 8 <= file.size()) {
        CMetafileCursor in(file, at);
        const uint32_t type = in.U32();
        const uint32_t size = in.U32();
        if (size < 8 || size > file.size() - at)
            break;
        records.push_back({type, at, std::span<const uint8_t>(file).subspan(at, size)});
        at += size;
    }
    return records;
}

inline std::vector<CRecordView> RecordsOfType(const std::vector<uint8_t>& file, uint32_t type) {
    std::vector<CRecordView> found;
    for (const CRecordView& r : Records(file))
        if (r.type == type)
            found.push_back(r);
    return found;
}

// An enhanced metafile of a header with the given frame, the records the callback writes, and EOF.
inline std::vector<uint8_t> BuildEmf(const std::function<void(CMetafileSink&)>& body,
                                     CRect frame = {0, 0, 0, 0}) {
    CMetafileSink out;
    emr::CHeader header;
    header.frame = frame;
    header.Write(out);
    body(out);
    emr::WriteEof(out);
    return std::move(out.Bytes());
}

// A record of 32-bit words.
inline void Words(CMetafileSink& out, uint32_t type, std::initializer_list<int32_t> words) {
    out.BeginRecord(type);
    for (int32_t w : words)
        out.I32(w);
    out.EndRecord();
}

// A standard metafile: optional placeable header, the standard header, the records, EOF.
class CWmfBuilder {
public:
    explicit CWmfBuilder(std::optional<CRect> placeableBox = std::nullopt, uint16_t unitsPerInch = 1000) {
        if (placeableBox) {
            out.U32(0x9AC6CDD7);
            out.U16(0);
            out.I16(static_cast<int16_t>(placeableBox->left));
            out.I16(static_cast<int16_t>(placeableBox->top));
            out.I16(static_cast<int16_t>(placeableBox->right));
            out.I16(static_cast<int16_t>(placeableBox->bottom));
            out.U16(unitsPerInch);
            out.U32(0);
            out.U16(0);
        }
        out.U16(1);
        out.U16(9);
        out.U16(0x0300);
        out.U32(0);
        out.U16(8);
        out.U32(0);
        out.U16(0);
    }
    // A record of 16-bit parameters.
    CWmfBuilder& Record(uint16_t function, std::initializer_list<int> params) {
        out.U32(static_cast<uint32_t>(3 + params.size()));
        out.U16(function);
        for (int p : params)
            out.U16(static_cast<uint16_t>(p));
        return *this;
    }
    // Raw bytes as a record's parameters (padded to a word).
    CWmfBuilder& RawRecord(uint16_t function, std::vector<uint8_t> params) {
        if (params.size() % 2 != 0)
            params.push_back(0);
        out.U32(static_cast<uint32_t>(3 + params.size() / 2));
        out.U16(function);
        out.Raw(params);
        return *this;
    }
    std::vector<uint8_t> Finish() {
        out.U32(3);
        out.U16(0);
        return std::move(out.Bytes());
    }
    CMetafileSink out;
};

inline bool ReadMetafile(const std::vector<uint8_t>& bytes, CDrawing& drawing) {
    return CMetafile().ImportFromMemory(bytes, drawing);
}

// The nodes of every subpath of a path object, in order.
inline std::vector<CPathNode> AllNodes(const CGraphicObject& object) {
    std::vector<CPathNode> nodes;
    if (const CPathShape* path = object.AsPath())
        for (const auto& subpath : path->subpaths)
            nodes.insert(nodes.end(), subpath->begin(), subpath->end());
    return nodes;
}

} // namespace pq::test
