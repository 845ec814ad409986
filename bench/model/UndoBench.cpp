// One undo step over a 1000-object selection: recording it, and replaying it.

#include "model/Drawing.h"
#include "model/UndoRecorder.h"

#include "geometry/Transform.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>
#include <vector>

namespace pq {
namespace {

constexpr int kObjects = 1000;

struct UndoFixture {
    CDrawing drawing;
    std::vector<int> selection;
    CUndoRecorder recorder;

    UndoFixture() {
        for (int i = 0; i < kObjects; ++i) {
            auto object = std::make_unique<CGraphicObject>(kKindPath);
            CNodeArray& nodes = object->AsPath()->AddSubpath();
            const float x = static_cast<float>(i % 40) * 30.0f;
            const float y = static_cast<float>(i / 40) * 30.0f;
            for (CPointF p : {CPointF{x, y}, CPointF{x + 20, y}, CPointF{x + 20, y + 20}, CPointF{x, y + 20},
                              CPointF{x, y}})
                nodes.Add(CPathNode::FromPoint(p));
            object->group = i % 7 == 0 ? 0 : 1 + i / 7;
            object->RecalcBounds();
            drawing.Add(std::move(object));
        }
        selection.resize(kObjects);
        std::iota(selection.begin(), selection.end(), 0);
        recorder.Attach(&drawing, &selection, nullptr);
    }
};

void BM_RecordModify(benchmark::State& state) {
    UndoFixture f;
    std::size_t bytes = 0;
    for (auto _ : state) {
        f.recorder.RecordModify();
        bytes = f.recorder.GetHistoryBytes(UndoDirection::TowardsUndo);
        f.recorder.Clear();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 90 * kObjects);
    state.counters["record_bytes_per_object"] = static_cast<double>(bytes) / kObjects;
}
BENCHMARK(BM_RecordModify)->Unit(benchmark::kMicrosecond);

// One grouped object of a drawing ten times as large: its group reference looks at every object.
void BM_RecordModifyOneOfTenThousand(benchmark::State& state) {
    UndoFixture f;
    for (int copy = 1; copy < 10; ++copy) {
        for (int i = 0; i < kObjects; ++i)
            f.drawing.Add(f.drawing.GetAt(i)->Clone());
    }
    f.selection = {5000};
    for (auto _ : state) {
        f.recorder.RecordModify();
        f.recorder.Clear();
    }
}
BENCHMARK(BM_RecordModifyOneOfTenThousand)->Unit(benchmark::kMicrosecond);

// Record, then Undo: the replay reads 1000 object records back, records their current state towards
// redo and replaces the objects.
void BM_ModifyStepAndUndo(benchmark::State& state) {
    UndoFixture f;
    for (auto _ : state) {
        f.recorder.RecordModify();
        f.recorder.Undo();
        f.selection.resize(kObjects);
        std::iota(f.selection.begin(), f.selection.end(), 0);
    }
}
BENCHMARK(BM_ModifyStepAndUndo)->Unit(benchmark::kMicrosecond);

void BM_RecordTransform(benchmark::State& state) {
    UndoFixture f;
    CTransform move;
    move.Translate(-10, -5, 0);
    for (auto _ : state) {
        f.recorder.RecordTransform(move);
        f.recorder.Clear();
    }
}
BENCHMARK(BM_RecordTransform)->Unit(benchmark::kMicrosecond);

// Record, move the 1000 objects, then Undo: the replay applies the inverse to each path (and its
// RecalcBounds), which is what the step costs beside the command itself.
void BM_TransformStepMoveAndUndo(benchmark::State& state) {
    UndoFixture f;
    CTransform move;
    move.Translate(-10, -5, 0);
    for (auto _ : state) {
        f.recorder.RecordTransform(move);
        for (int index : f.selection)
            f.drawing.GetAt(index)->Transform(move);
        f.recorder.Undo();
        f.selection.resize(kObjects);
        std::iota(f.selection.begin(), f.selection.end(), 0);
    }
}
BENCHMARK(BM_TransformStepMoveAndUndo)->Unit(benchmark::kMicrosecond);

// The command alone, for comparison with the step above.
void BM_TransformMoveOnly(benchmark::State& state) {
    UndoFixture f;
    CTransform move;
    move.Translate(-10, -5, 0);
    CTransform back;
    back.Translate(10, 5, 0);
    bool forward = true;
    for (auto _ : state) {
        for (int index : f.selection)
            f.drawing.GetAt(index)->Transform(forward ? move : back);
        forward = !forward;
    }
}
BENCHMARK(BM_TransformMoveOnly)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pq
