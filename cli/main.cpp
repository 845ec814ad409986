// pqdraw-cli: the headless tool that runs the drawing engine without a display.
#include "Version.h"

#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "pqdraw-cli %s - Pentaquill Draw without a display\n"
                 "\n"
                 "Usage:\n"
                 "  pqdraw-cli --help       show this text\n"
                 "  pqdraw-cli --version    show the version\n",
                 pq::kVersion);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        PrintUsage(stdout);
        return 0;
    }
    if (std::strcmp(command, "--version") == 0) {
        std::printf("pqdraw-cli %s\n", pq::kVersion);
        return 0;
    }
    std::fprintf(stderr, "pqdraw-cli: unknown command \"%s\"\n\n", command);
    PrintUsage(stderr);
    return 2;
}
