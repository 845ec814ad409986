#include "geometry/Transform.h"

#include <benchmark/benchmark.h>

namespace {

// Baseline: one composed transform applied to many points.
void BM_TransformApply(benchmark::State& state) {
    pq::CTransform t;
    t.Translate(-100, -50, 0);
    t.Rotate(0.3f);
    t.Scale(1.5f, 1.5f, 1);
    pq::CPointF p{1, 2};
    for (auto _ : state) {
        p = t.Apply(p);
        benchmark::DoNotOptimize(p);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TransformApply);

} // namespace
