#include "model/Drawing.h"
#include "platform/MemoryFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace pq {
namespace {

// A wavy path of nodeCount nodes: every other node is a curve node (26 bytes in a record), the others
// sit on their anchors (10 bytes).
std::unique_ptr<CGraphicObject> MakeLongPath(int nodeCount) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CNodeArray& nodes = object->AsPath()->AddSubpath();
    for (int i = 0; i < nodeCount; ++i) {
        const CPointF anchor{static_cast<float>(i), 50.0f * std::sin(static_cast<float>(i) * 0.1f)};
        if (i % 2 == 0)
            nodes.Add(CPathNode::FromPoint(anchor));
        else
            nodes.Add({anchor - CPointF{0.3f, 2.0f}, anchor, anchor + CPointF{0.3f, 2.0f}});
    }
    object->RecalcBounds();
    return object;
}

void FillDrawing(CDrawing& drawing, int count) {
    drawing.SetPageCount(4);
    for (int i = 0; i < count; ++i) {
        auto object = std::make_unique<CGraphicObject>(kKindPath);
        CNodeArray& nodes = object->AsPath()->AddSubpath();
        const float x = static_cast<float>(i % 100) * 10.0f;
        const float y = static_cast<float>(i / 100) * 10.0f;
        for (CPointF p :
             {CPointF{x, y}, CPointF{x + 8, y}, CPointF{x + 8, y + 8}, CPointF{x, y + 8}, CPointF{x, y}})
            nodes.Add(CPathNode::FromPoint(p));
        object->page = i % 4;
        object->group = (i % 10 == 0) ? i / 10 : 0;
        object->RecalcBounds();
        drawing.Add(std::move(object));
    }
}

void BM_SaveLoadPath100000Nodes(benchmark::State& state) {
    const auto path = MakeLongPath(100000);
    std::size_t recordBytes = 0;
    for (auto _ : state) {
        // A fresh stream with the undo histories' growth step, so the growth itself is measured.
        CMemoryFile file(1024);
        path->Save(file);
        recordBytes = file.GetLength();
        file.Seek(0);
        CGraphicObject loaded;
        if (!loaded.Load(file))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(loaded.bounds);
    }
    state.counters["record_bytes"] = static_cast<double>(recordBytes);
}
BENCHMARK(BM_SaveLoadPath100000Nodes)->Unit(benchmark::kMillisecond);

// The same without the display polylines that Load rebuilds, to show what the record itself costs.
void BM_SavePath100000Nodes(benchmark::State& state) {
    const auto path = MakeLongPath(100000);
    CMemoryFile file(1024);
    for (auto _ : state) {
        file.SetLength(0);
        path->Save(file);
        benchmark::DoNotOptimize(file.GetData());
    }
}
BENCHMARK(BM_SavePath100000Nodes)->Unit(benchmark::kMillisecond);

void BM_AssignDrawing10000Objects(benchmark::State& state) {
    CDrawing source;
    FillDrawing(source, 10000);
    for (auto _ : state) {
        CDrawing copy;
        copy.Assign(source);
        benchmark::DoNotOptimize(copy.Count());
    }
}
BENCHMARK(BM_AssignDrawing10000Objects)->Unit(benchmark::kMillisecond);

// Every other object deleted: 5000 runs of one, the worst case for run-by-run removal.
void BM_DeleteIndices5000Of10000(benchmark::State& state) {
    CDrawing source;
    FillDrawing(source, 10000);
    std::vector<int> doomed;
    for (int i = 0; i < 10000; i += 2)
        doomed.push_back(i);
    for (auto _ : state) {
        state.PauseTiming();
        CDrawing drawing;
        drawing.Assign(source);
        state.ResumeTiming();
        drawing.DeleteIndices(doomed);
        benchmark::DoNotOptimize(drawing.Count());
        state.PauseTiming();
        drawing.Clear(); // the objects' destruction is not part of the measurement
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteIndices5000Of10000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pq
