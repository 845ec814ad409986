#include "BenchDocument.h"
#include "geometry/Ellipse.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "native/PdfDeflate.h"
#include "native/PdfFile.h"
#include "render/FontTextMetrics.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>
#include <random>
#include <string_view>

namespace pq {
namespace {

struct Fixture {
    Fixture() {
        InstallFontTextMetrics();
        bench::BuildDocument(drawing);
        CPdfFile().WriteToMemory(file, drawing);
        // The uncompressed bytes of every content stream, as the writer produced them.
        const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
        const std::string_view marker = "/Filter [/FlateDecode ]>>\r\nstream\r\n";
        for (std::size_t at = text.find(marker); at != std::string_view::npos; at = text.find(marker, at)) {
            at += marker.size();
            const std::size_t end = text.find("endstream", at);
            std::vector<uint8_t> stream;
            streamBytes += end - at;
            (void)InflateBytes(std::span<const uint8_t>(file).subspan(at, end - at), 1u << 28, stream);
            pages.push_back(std::move(stream));
            contentBytes += pages.back().size();
        }
    }
    CDrawing drawing;
    std::vector<uint8_t> file;
    std::vector<std::vector<uint8_t>> pages;
    std::size_t contentBytes = 0;
    std::size_t streamBytes = 0; // the content streams as the writer compressed them
};

Fixture& Document() {
    static Fixture fixture;
    return fixture;
}

// Throughput is given in content bytes for all three, so the writer and reader compare with zlib alone.
void BM_PdfSave(benchmark::State& state) {
    Fixture& f = Document();
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        CPdfFile().WriteToMemory(bytes, f.drawing);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.contentBytes));
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
    state.counters["stream_bytes"] = static_cast<double>(f.streamBytes);
}
BENCHMARK(BM_PdfSave)->Unit(benchmark::kMillisecond);

void BM_PdfOpen(benchmark::State& state) {
    Fixture& f = Document();
    for (auto _ : state) {
        CDrawing drawing;
        benchmark::DoNotOptimize(CPdfFile().ReadFromMemory(f.file, drawing));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.contentBytes));
}
BENCHMARK(BM_PdfOpen)->Unit(benchmark::kMillisecond);

// One path of many curves: the display polyline once grew by a fixed step, which made opening such a
// file quadratic (8000 curves took 25 s). Linear work shows as a constant time per curve across sizes.
void BM_PdfOpenOnePathOfManyCurves(benchmark::State& state) {
    const int segments = static_cast<int>(state.range(0));
    CNodeArray nodes;
    for (int i = 0; i <= segments; ++i) {
        const float x = static_cast<float>(i % 1000) - 500.0f;
        const float y = static_cast<float>(i / 1000) * 3.0f - 450.0f;
        nodes.Add(CPathNode({x - 1, y + 40}, {x, y}, {x + 1, y - 40}));
    }
    CDrawing drawing;
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    object->AsPath()->AddSubpath(nodes);
    object->RecalcBounds();
    drawing.Add(std::move(object));
    std::vector<uint8_t> file;
    CPdfFile().WriteToMemory(file, drawing);
    for (auto _ : state) {
        CDrawing back;
        benchmark::DoNotOptimize(CPdfFile().ReadFromMemory(file, back));
    }
    state.counters["file_kb"] = static_cast<double>(file.size()) / 1024.0;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * segments);
}
BENCHMARK(BM_PdfOpenOnePathOfManyCurves)->Arg(8000)->Arg(300000)->Unit(benchmark::kMillisecond);

// zlib itself at its default level on the same content: what a save is measured against.
void BM_ZlibDeflateContent(benchmark::State& state) {
    Fixture& f = Document();
    std::vector<uint8_t> out;
    std::size_t compressed = 0;
    for (auto _ : state) {
        compressed = 0;
        for (const auto& page : f.pages) {
            uLongf size = compressBound(static_cast<uLong>(page.size()));
            out.resize(size);
            if (compress2(out.data(), &size, page.data(), static_cast<uLong>(page.size()), Z_DEFAULT_COMPRESSION) !=
                Z_OK) {
                state.SkipWithError("zlib failed");
                return;
            }
            compressed += size;
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.contentBytes));
    state.counters["stream_bytes"] = static_cast<double>(compressed);
}
BENCHMARK(BM_ZlibDeflateContent)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
