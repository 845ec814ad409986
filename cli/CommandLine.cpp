#include "cli/Commands.h"

#include "Version.h"
#include "render/FontTextMetrics.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>

namespace pq::cli {

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "pqdraw-cli %s - Pentaquill Draw without a display\n"
                 "\n"
                 "Usage:\n"
                 "  pqdraw-cli convert IN OUT [--page N] [--size WxH] [--antialias]\n"
                 "          [--smooth]\n"
                 "      convert a drawing; OUT's ending chooses the format: .pdf, .tpl (all pages),\n"
                 "      .bmp, .jpg, .png (one page rendered; 1:1 at 96 pixels per inch, at most\n"
                 "      640 pixels, unless --size is given; --smooth draws smooth edges).\n"
                 "      Pages count from 1.\n"
                 "  pqdraw-cli info FILE [--objects]\n"
                 "      pages, page size, object counts; --objects lists every object\n"
                 "  pqdraw-cli --settings FILE\n"
                 "      the settings file's unattended export: opens its openfile, writes the EMF,\n"
                 "      JPEG and typed copies to savelocation and printlocation, and uploads the EMF\n"
                 "      and JPEG to ftpserver (port ftpport, 21 by default) when one is named\n"
                 "  pqdraw-cli --help | --version\n"
                 "\n"
                 "Exit status: 0 done, 1 reading, writing or uploading failed, 2 usage error.\n",
                 kVersion);
}

int Dispatch(std::span<const std::string_view> args, std::FILE* out, std::FILE* err) {
    if (args.empty()) {
        PrintUsage(err);
        return kExitUsage;
    }
    const std::string_view command = args[0];
    const auto rest = args.subspan(1);
    if (command == "--help" || command == "-h") {
        PrintUsage(out);
        return FinishOutput(kExitOk, out, err);
    }
    if (command == "--version") {
        std::fprintf(out, "pqdraw-cli %s\n", kVersion);
        return FinishOutput(kExitOk, out, err);
    }
    InstallFontTextMetrics();
    if (command == "convert")
        return RunConvert(rest, out, err);
    if (command == "info")
        return RunInfo(rest, out, err);
    if (command == "--settings")
        return RunSettingsExport(rest, out, err);
    if (command.starts_with("--settings=")) {
        const std::string_view file[] = {command.substr(11)};
        if (!rest.empty())
            return RunSettingsExport(args, out, err); // says it takes one file
        return RunSettingsExport(file, out, err);
    }
    std::fprintf(err, "pqdraw-cli: unknown command \"%.*s\"\n\n", static_cast<int>(command.size()),
                 command.data());
    PrintUsage(err);
    return kExitUsage;
}

} // namespace

int RunCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* err) {
    return RunReportingFailures([&] { return Dispatch(args, out, err); }, err);
}

int RunReportingFailures(const std::function<int()>& command, std::FILE* err) {
    try {
        return command();
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "pqdraw-cli: not enough memory\n");
    } catch (const std::exception& failure) {
        std::fprintf(err, "pqdraw-cli: unexpected failure: %s\n", failure.what());
    } catch (...) {
        std::fprintf(err, "pqdraw-cli: unexpected failure\n");
    }
    return kExitFailed;
}

void ReportFileFailure(std::FILE* err, const std::string& path, const std::string& message) {
    if (message.find(" " + path + ": ") != std::string::npos)
        std::fprintf(err, "pqdraw-cli: %s\n", message.c_str());
    else
        std::fprintf(err, "pqdraw-cli: %s: %s\n", path.c_str(), message.c_str());
}

int FinishOutput(int status, std::FILE* out, std::FILE* err) {
    if (status != kExitOk)
        return status;
    errno = 0;
    const bool flushed = std::fflush(out) == 0;
    if (!flushed || std::ferror(out)) {
        const int error = flushed ? 0 : errno;
        std::fprintf(err, "pqdraw-cli: cannot write the output%s%s\n", error != 0 ? ": " : "",
                     error != 0 ? std::strerror(error) : "");
        status = kExitFailed;
    }
    // A notice that was lost (the one-page notice, an option that was ignored) cannot be reported
    // anywhere; the status at least tells the caller that something went unsaid.
    if (std::fflush(err) != 0 || std::ferror(err))
        status = kExitFailed;
    return status;
}

} // namespace pq::cli
