#pragma once

// Builders for small drawings, a whole-drawing snapshot to compare states before and after undo and
// redo, and view hooks that record what the recorder asked of the view.

#include "model/Drawing.h"
#include "model/UndoViewHooks.h"

#include "platform/MemoryFile.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace pq::test {

inline std::unique_ptr<CGraphicObject> MakeRect(float x, float y, float w, float h, uint32_t color = 0x0000FF,
                                                int page = 0, int group = 0) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    path->penWidth = 3;
    path->penColor = 0x112233;
    CNodeArray& nodes = path->AddSubpath();
    for (CPointF p :
         {CPointF{x, y}, CPointF{x + w, y}, CPointF{x + w, y + h}, CPointF{x, y + h}, CPointF{x, y}})
        nodes.Add(CPathNode::FromPoint(p));
    object->color = color;
    object->page = page;
    object->group = group;
    object->RecalcBounds();
    return object;
}

// A path of `count` separate square subpaths, each 10 units wide, 20 apart.
inline std::unique_ptr<CGraphicObject> MakeMultiPath(int count, float x, float y, int page = 0,
                                                     int group = 0) {
    auto object = MakeRect(x, y, 10, 10, 0x00FF00, page, group);
    for (int i = 1; i < count; ++i) {
        CNodeArray& nodes = object->AsPath()->AddSubpath();
        const float left = x + 20.0f * static_cast<float>(i);
        for (CPointF p :
             {CPointF{left, y}, CPointF{left + 10, y}, CPointF{left + 10, y + 10}, CPointF{left, y}})
            nodes.Add(CPathNode::FromPoint(p));
    }
    object->RecalcBounds();
    return object;
}

inline std::unique_ptr<CGraphicObject> MakeText(const std::u16string& text, float x, float y, int page = 0,
                                                float height = 10.0f) {
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* shape = object->AsText();
    shape->text = text;
    shape->faceName = u"DejaVu Sans";
    shape->height = height;
    shape->position = {x, y};
    object->page = page;
    object->RecalcBounds();
    return object;
}

inline std::unique_ptr<CGraphicObject> MakeImage(float x, float y, int page = 0) {
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    EXPECT_TRUE(image->bitmap.Create(3, 2, 24));
    uint8_t value = 1;
    for (uint8_t& b : image->bitmap.GetBits())
        b = value++;
    image->placement = {x, x + 30, y, y + 20};
    object->page = page;
    object->RecalcBounds();
    return object;
}

// Everything that makes up a drawing: each object's record bytes and cached bounds, the pages and the
// page size. Group numbers are compared as the partition they describe: a group is the objects of one
// page sharing a number, and each is numbered by the order in which it first appears, so a drawing
// whose groups came back under new numbers still compares equal when the same objects are grouped.
struct DrawingSnapshot {
    std::vector<std::vector<uint8_t>> records;
    std::vector<CRectF> bounds;
    int pageCount = 0;
    float pageWidth = 0;
    float pageHeight = 0;

    bool operator==(const DrawingSnapshot&) const = default;
};

inline DrawingSnapshot Snapshot(const CDrawing& drawing, bool canonicalGroups = true) {
    DrawingSnapshot snapshot;
    std::map<std::pair<int32_t, int32_t>, int32_t> canonical;
    for (const auto& object : drawing.Objects()) {
        CMemoryFile file;
        EXPECT_TRUE(object->Save(file));
        std::vector<uint8_t> bytes(file.GetBytes().begin(), file.GetBytes().end());
        int32_t group = object->group;
        if (canonicalGroups && group != 0) {
            const std::pair<int32_t, int32_t> key{object->page, group};
            auto found = canonical.find(key);
            if (found == canonical.end())
                found = canonical.emplace(key, static_cast<int32_t>(canonical.size() + 1)).first;
            group = found->second;
        }
        for (int i = 0; i < 4; ++i)
            bytes[static_cast<std::size_t>(4 + i)] =
                static_cast<uint8_t>(static_cast<uint32_t>(group) >> (8 * i));
        snapshot.records.push_back(std::move(bytes));
        snapshot.bounds.push_back(object->bounds);
    }
    snapshot.pageCount = drawing.PageCount();
    snapshot.pageWidth = drawing.GetPageWidth();
    snapshot.pageHeight = drawing.GetPageHeight();
    return snapshot;
}

inline std::ostream& operator<<(std::ostream& out, const DrawingSnapshot& s) {
    out << s.records.size() << " objects, " << s.pageCount << " pages, " << s.pageWidth << " x "
        << s.pageHeight;
    for (std::size_t i = 0; i < s.records.size(); ++i) {
        const auto& r = s.records[i];
        auto word = [&](std::size_t at) {
            return static_cast<int32_t>(r[at] | r[at + 1] << 8 | r[at + 2] << 16 |
                                        static_cast<uint32_t>(r[at + 3]) << 24);
        };
        out << "\n  [" << i << "] kind " << word(0) << " group " << word(4) << " page " << word(8)
            << " color " << word(12) << " bounds " << s.bounds[i].left << "," << s.bounds[i].top << ","
            << s.bounds[i].right << "," << s.bounds[i].bottom << " (" << r.size() << " bytes)";
    }
    return out;
}

// View hooks that log every call and answer from settable state.
class CRecordingHooks : public IUndoViewHooks {
public:
    int nodeObject = -1;
    bool selectActive = true;
    bool nodeToolAccepts = true;
    std::vector<std::string> calls;
    int reEdited = -1;

    int GetNodeToolObject() const override { return nodeObject; }
    void ResetNodeTool() override { calls.push_back("ResetNodeTool"); }
    bool EditWithNodeTool(int index) override {
        calls.push_back("EditWithNodeTool " + std::to_string(index));
        reEdited = nodeToolAccepts ? index : -1;
        return nodeToolAccepts;
    }
    bool IsSelectToolActive() const override { return selectActive; }
    void LeavePendingSelection() override { calls.push_back("LeavePendingSelection"); }
    void ResetSelectTool() override { calls.push_back("ResetSelectTool"); }
    void RepaintAll() override { calls.push_back("RepaintAll"); }
    void MarkModified() override { calls.push_back("MarkModified"); }
    void GoToLastPage() override { calls.push_back("GoToLastPage"); }
    void KeepCurrentPageInRange() override { calls.push_back("KeepCurrentPageInRange"); }

    [[nodiscard]] bool Called(const std::string& name) const {
        for (const std::string& call : calls) {
            if (call == name)
                return true;
        }
        return false;
    }
};

} // namespace pq::test
