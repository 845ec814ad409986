// pqdraw-cli beside mutool in the same run, as whole program runs (start-up, reading, rendering, writing
// the PNG), for the project's sample, a 20-page document, a page of 10000 paths, a page of text and a page
// of pictures, at screen and print sizes, aliased (mutool -A 0) and smooth (mutool's default). Counters give each program's CPU time per
// run (of the child processes), the ratio ours / mutool and both files' sizes; opening is compared with
// qpdf --check.
#include "BenchDocument.h"
#include "bench/BusyPage.h"
#include "model/GraphicObject.h"
#include "native/PdfFile.h"
#include "render/FontTextMetrics.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace pq {
namespace {

// A file of this process's own in the temporary folder, so that runs side by side do not share files;
// removed when the program ends.
std::string ScratchFile(const std::string& name) {
    struct CScratch {
        std::vector<std::string> files;
        ~CScratch() {
            for (const std::string& file : files) {
                std::error_code ignored;
                std::filesystem::remove(file, ignored);
            }
        }
    };
    static CScratch scratch;
    scratch.files.push_back(
        (std::filesystem::temp_directory_path() / ("pqdraw-ratio-" + std::to_string(getpid()) + "-" + name))
            .string());
    return scratch.files.back();
}

// A page of text: twelve paragraphs of running text in two faces, bold and italic among them, and
// headings.
void BuildTextPage(CDrawing& drawing) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    const std::u16string sentence = u"Vector drawings keep their shapes exact at every size, and text set in "
                                    u"them wraps inside its frame as a page of a book would. ";
    for (int i = 0; i < 12; ++i) {
        const float top = -1000.0f + static_cast<float>(i) * 170.0f;
        auto heading = std::make_unique<CGraphicObject>(kKindText);
        CTextShape* h = heading->AsText();
        h->text = u"Section " + std::u16string(1, static_cast<char16_t>(u'A' + i));
        h->faceName = u"Liberation Sans";
        h->style = kTextStyleBold;
        h->height = 36.0f;
        h->position = {-680.0f, top};
        heading->RecalcBounds();
        drawing.Add(std::move(heading));
        auto body = std::make_unique<CGraphicObject>(kKindText);
        CTextShape* t = body->AsText();
        for (int k = 0; k < 4; ++k)
            t->text += sentence;
        t->faceName = i % 2 ? u"Liberation Serif" : u"Liberation Sans";
        t->style = i % 3 == 2 ? kTextStyleItalic : 0;
        t->height = 24.0f;
        t->mode = kTextParagraph;
        t->position = {-680.0f, top + 45.0f};
        t->corner = {680.0f, top + 160.0f};
        body->RecalcBounds();
        drawing.Add(std::move(body));
    }
}

// A page of six photograph-like pictures (smooth gradients with noise) of 600 x 450 pixels.
void BuildImagePage(CDrawing& drawing) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int i = 0; i < 6; ++i) {
        auto object = std::make_unique<CGraphicObject>(kKindImage);
        CDibSection& bitmap = object->AsImage()->bitmap;
        bitmap.Create(600, 450, 24);
        const auto stride = static_cast<std::size_t>(bitmap.GetBytesPerRow());
        std::span<uint8_t> bits = bitmap.GetBits();
        for (std::size_t y = 0; y < 450; ++y)
            for (std::size_t x = 0; x < 600; ++x)
                for (std::size_t c = 0; c < 3; ++c)
                    bits[y * stride + 3 * x + c] = static_cast<uint8_t>(
                        std::clamp<int>(static_cast<int>((x * (c + 1) + y * (3 - c)) / 5 + 40 * i) % 256 +
                                            noise(random),
                                        0, 255));
        const float left = i % 2 ? 20.0f : -700.0f, top = -1000.0f + static_cast<float>(i / 2) * 680.0f;
        object->AsImage()->placement = {left, left + 680.0f, top, top + 510.0f};
        object->RecalcBounds();
        drawing.Add(std::move(object));
    }
}

const std::string& Document(int which) {
    static const std::string paths[5] = {
        PQ_SAMPLE_PATH,
        [] {
            InstallFontTextMetrics();
            CDrawing drawing;
            bench::BuildDocument(drawing);
            const std::string file =
                ScratchFile("pages.pdf");
            CPdfFile().Write(file, drawing);
            return file;
        }(),
        [] {
            CDrawing drawing;
            bench::BuildBusyPaths(drawing, 7, false);
            const std::string file =
                ScratchFile("busy.pdf");
            CPdfFile().Write(file, drawing);
            return file;
        }(),
        [] {
            InstallFontTextMetrics();
            CDrawing drawing;
            BuildTextPage(drawing);
            const std::string file =
                ScratchFile("text.pdf");
            CPdfFile().Write(file, drawing);
            return file;
        }(),
        [] {
            CDrawing drawing;
            BuildImagePage(drawing);
            const std::string file =
                ScratchFile("images.pdf");
            CPdfFile().Write(file, drawing);
            return file;
        }(),
    };
    return paths[which];
}

double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the command and returns the CPU seconds it took, or a negative number when it failed.
double Timed(const std::string& command) {
    const double before = ChildCpuSeconds();
    if (std::system((command + " > /dev/null 2>&1").c_str()) != 0)
        return -1;
    return ChildCpuSeconds() - before;
}

double FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0.0 : static_cast<double>(size);
}

// Runs our command and the peer's in turn for each iteration and reports their mean CPU times and ratio;
// false (the benchmark marked failed) when either program fails.
bool RunSideBySide(benchmark::State& state, const std::string& oursCommand, const std::string& theirsCommand,
                   const char* theirsName) {
    double oursTotal = 0, theirsTotal = 0;
    for (auto _ : state) {
        const double a = Timed(oursCommand), b = Timed(theirsCommand);
        if (a < 0 || b < 0) {
            state.SkipWithError("a program failed");
            return false;
        }
        oursTotal += a;
        theirsTotal += b;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = 1000 * oursTotal / n;
    state.counters[theirsName] = 1000 * theirsTotal / n;
    state.counters["ratio"] = theirsTotal > 0 ? oursTotal / theirsTotal : 0;
    return true;
}

// Arguments: document (0 sample, 1 twenty pages, 2 busy page, 3 a page of text, 4 a page of pictures),
// print size, smooth.
void BM_RenderRatio(benchmark::State& state) {
    if (!std::filesystem::exists("/usr/bin/mutool")) {
        state.SkipWithError("mutool is not installed");
        return;
    }
    const std::string& input = Document(static_cast<int>(state.range(0)));
    const bool print = state.range(1) != 0, smooth = state.range(2) != 0;
    const std::string dpi = print ? "300" : "96";
    const std::string size = print ? "1748x2480" : "559x794";
    const std::string ours = ScratchFile("ours.png"), theirs = ScratchFile("mutool.png");
    const std::string oursCommand = std::string(PQ_CLI_PATH) + " convert " + input + " " + ours + " --size " +
                                    size + (smooth ? " --smooth" : "");
    const std::string theirsCommand = "/usr/bin/mutool draw -q" + std::string(smooth ? "" : " -A 0") +
                                      " -r " + dpi + " -o " + theirs + " " + input + " 1";
    if (!RunSideBySide(state, oursCommand, theirsCommand, "mutool_ms"))
        return;
    state.counters["ours_kB"] = FileSize(ours) / 1000;
    state.counters["mutool_kB"] = FileSize(theirs) / 1000;
}
BENCHMARK(BM_RenderRatio)
    ->ArgNames({"doc", "print", "smooth"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}, {0, 1}})
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// Opening the busy page (reading and making it ready to draw) against qpdf --check reading it.
void BM_OpenRatio(benchmark::State& state) {
    if (!std::filesystem::exists("/usr/bin/qpdf")) {
        state.SkipWithError("qpdf is not installed");
        return;
    }
    const std::string& input = Document(2);
    const std::string oursCommand = std::string(PQ_CLI_PATH) + " info " + input;
    const std::string theirsCommand = "/usr/bin/qpdf --check " + input;
    RunSideBySide(state, oursCommand, theirsCommand, "qpdf_ms");
}
BENCHMARK(BM_OpenRatio)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
