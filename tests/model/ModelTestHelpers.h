#pragma once

// Builders for objects and drawings shared by the model and document tests, a whole-drawing snapshot to
// compare states, and view hooks that log what the undo recorder asks of the view.

#include "ObjectBuilders.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/UndoViewHooks.h"

#include "platform/MemoryFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace pq::test {

// A closed rectangle outline as one subpath of straight nodes.
inline CNodeArray RectangleNodes(const CRectF& r) {
    return BoxNodes(r);
}

// A filled rectangle path; color doubles as a tag tests use to follow objects around.
inline std::unique_ptr<CGraphicObject> MakeRect(const CRectF& r, uint32_t tag = 0, int32_t page = 0,
                                                int32_t group = 0) {
    return BuildPath({BoxNodes(r)},
                     {.penStyle = 0, .brushStyle = 0, .fill = tag, .page = page, .group = group});
}

inline std::unique_ptr<CGraphicObject> MakeText(const std::u16string& text, CPointF position,
                                                int32_t mode = kTextArtistic, int32_t page = 0) {
    return BuildText(text, position,
                     {.corner = position + CPointF{400.0f, 200.0f}, .mode = mode, .page = page});
}

// A 5 x 3 image of 8 bits per pixel with a three-colour table.
inline std::unique_ptr<CGraphicObject> MakeImage(const CRectF& placement, int32_t page = 0) {
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    EXPECT_TRUE(image->bitmap.Create(5, 3, 8));
    const uint32_t table[] = {0x000000, 0x0000FF, 0x00FF00};
    image->bitmap.SetColourTable(table);
    for (std::size_t i = 0; i < image->bitmap.GetBits().size(); ++i)
        image->bitmap.GetBits()[i] = static_cast<uint8_t>(i * 7);
    image->placement = placement;
    object->page = page;
    object->RecalcBounds();
    return object;
}

// Adds rectangles tagged 0 .. pages.size() - 1 in order, on the given pages.
inline void FillTagged(CDrawing& drawing, const std::vector<int>& pages) {
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const float x = static_cast<float>(i) * 10.0f;
        drawing.Add(MakeRect({x, x + 5.0f, 0.0f, 5.0f}, static_cast<uint32_t>(i), pages[i]));
    }
}

inline std::vector<uint32_t> Tags(const CDrawing& drawing) {
    std::vector<uint32_t> tags;
    for (const auto& object : drawing.Objects())
        tags.push_back(object->color);
    return tags;
}

inline std::vector<int32_t> Groups(const CDrawing& drawing) {
    std::vector<int32_t> groups;
    for (const auto& object : drawing.Objects())
        groups.push_back(object->group);
    return groups;
}

inline std::vector<uint8_t> SaveBytes(const CGraphicObject& object) {
    CMemoryFile file;
    EXPECT_TRUE(object.Save(file));
    return {file.GetBytes().begin(), file.GetBytes().end()};
}

// Each object's record bytes and cached bounds, the pages and the page size. With canonicalGroups the
// group numbers are compared as the partition they describe (numbered by first appearance per page), so
// groups that came back under new numbers still compare equal.
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
        std::vector<uint8_t> bytes = SaveBytes(*object);
        int32_t group = object->group;
        if (canonicalGroups && group != 0)
            group = canonical.try_emplace({object->page, group}, static_cast<int32_t>(canonical.size() + 1))
                        .first->second;
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
    out << s.records.size() << " objects on " << s.pageCount << " pages:";
    for (std::size_t i = 0; i < s.records.size(); ++i)
        out << " [" << i << "] " << s.records[i].size() << " bytes at " << s.bounds[i].left << ","
            << s.bounds[i].top << " group " << int{s.records[i][4]} << " page " << int{s.records[i][8]};
    return out;
}

// View hooks that log every call and answer from settable state.
class CRecordingHooks : public IUndoViewHooks {
public:
    int nodeObject = -1;
    bool selectActive = true;
    std::vector<std::string> calls;
    // What the last replay said it touched.
    std::vector<int> replayedBefore;
    std::vector<int> replayedAfter;

    int GetNodeToolObject() const override { return nodeObject; }
    void ResetNodeTool() override { calls.push_back("ResetNodeTool"); }
    bool EditWithNodeTool(int index) override {
        calls.push_back("EditWithNodeTool " + std::to_string(index));
        return true;
    }
    bool IsSelectToolActive() const override { return selectActive; }
    void LeavePendingSelection() override { calls.push_back("LeavePendingSelection"); }
    void ResetSelectTool() override { calls.push_back("ResetSelectTool"); }
    void RepaintAll() override { calls.push_back("RepaintAll"); }
    void RepaintEdited() override { calls.push_back("RepaintEdited"); }
    void StepReplaying(const CReplayedStep& step) override {
        calls.push_back("StepReplaying");
        replayedBefore.assign(step.before.begin(), step.before.end());
        replayedAfter.assign(step.after.begin(), step.after.end());
    }
    void MarkModified() override { calls.push_back("MarkModified"); }
    void GoToLastPage() override { calls.push_back("GoToLastPage"); }
    void KeepCurrentPageInRange() override { calls.push_back("KeepCurrentPageInRange"); }

    [[nodiscard]] bool Called(const std::string& name) const {
        return std::find(calls.begin(), calls.end(), name) != calls.end();
    }
};

} // namespace pq::test
