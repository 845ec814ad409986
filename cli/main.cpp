// pqdraw-cli: the headless tool that runs the drawing engine without a display.
#include "cli/Commands.h"

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return pq::cli::RunCommandLine(args, stdout, stderr);
}
