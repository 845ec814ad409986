// pqdraw-cli: the headless tool that runs the drawing engine without a display.
#include "Version.h"
#include "cli/Commands.h"
#include "render/FontTextMetrics.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "pqdraw-cli %s - Pentaquill Draw without a display\n"
                 "\n"
                 "Usage:\n"
                 "  pqdraw-cli convert IN OUT [--page N] [--size WxH] [--antialias]\n"
                 "      convert a drawing; OUT's ending chooses the format: .pdf, .tpl (all pages),\n"
                 "      .bmp, .jpg, .png (one page rendered; 1:1 at 96 pixels per inch, at most\n"
                 "      640 pixels, unless --size is given). Pages count from 1.\n"
                 "  pqdraw-cli info FILE [--objects]\n"
                 "      pages, page size, object counts; --objects lists every object\n"
                 "  pqdraw-cli --help | --version\n"
                 "\n"
                 "Exit status: 0 done, 1 reading or writing failed, 2 usage error.\n",
                 pq::kVersion);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return pq::cli::kExitUsage;
    }
    const std::string_view command = argv[1];
    const std::vector<std::string_view> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h") {
        PrintUsage(stdout);
        return pq::cli::kExitOk;
    }
    if (command == "--version") {
        std::printf("pqdraw-cli %s\n", pq::kVersion);
        return pq::cli::kExitOk;
    }
    pq::InstallFontTextMetrics();
    if (command == "convert")
        return pq::cli::RunConvert(args, stdout, stderr);
    if (command == "info")
        return pq::cli::RunInfo(args, stdout, stderr);
    std::fprintf(stderr, "pqdraw-cli: unknown command \"%.*s\"\n\n", static_cast<int>(command.size()),
                 command.data());
    PrintUsage(stderr);
    return pq::cli::kExitUsage;
}
