#include "cli/CliText.h"
#include "cli/Commands.h"

#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "native/PdfFile.h"
#include "render/BitmapExport.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <string>

namespace pq::cli {

namespace {

// The CLI never reads the user's preferences: bitmaps default to the 1:1 size at 96 pixels per inch,
// held within 640 pixels as the editor's default export is.
constexpr int kDefaultPixelsPerInch = 96;
constexpr int kDefaultMaxPixels = 640;

bool ParseInt(std::string_view text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    return x != std::string_view::npos && ParseInt(text.substr(0, x), width) &&
           ParseInt(text.substr(x + 1), height) && width > 0 && height > 0;
}

// Native documents (".pdf", ".tpl", in any case) can be drawn a batch of objects at a time.
bool IsNativeDocumentName(std::string_view name) {
    if (name.size() < 4)
        return false;
    std::string tail(name.substr(name.size() - 4));
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".pdf" || tail == ".tpl";
}

int Usage(std::FILE* err, const std::string& why) {
    std::fprintf(err, "pqdraw-cli convert: %s\n", why.c_str());
    std::fprintf(err, "usage: pqdraw-cli convert IN OUT [--page N] [--size WxH] [--antialias] [--smooth]\n");
    return kExitUsage;
}

// A page of a native document to a picture.
struct CPictureRequest {
    const std::string& input;
    const std::string& output;
    int page = 1; // from 1
    int width = 0;
    int height = 0;
    bool sized = false;
    bool antiAlias = false;
    EdgeStyle edges = EdgeStyle::Aliased;
};

// The page is drawn as it is read, a batch of objects at a time: however large, it is never held whole.
// Messages and outcomes are those of opening the whole drawing and exporting its page.
int ConvertNativePage(CPictureRequest request, std::FILE* out, std::FILE* err) {
    const std::string& input = request.input;
    const int page = request.page;
    CDrawing drawing;
    std::optional<CPageBitmapPainter> painter;
    const auto paint = [&](const CDrawing& part) {
        if (!painter) {
            if (!request.sized) {
                const CPixelSize size = ExportPixelSize(part.GetPageWidth(), part.GetPageHeight(),
                                                        kDefaultPixelsPerInch, kDefaultMaxPixels,
                                                        kDefaultMaxPixels);
                request.width = size.width;
                request.height = size.height;
            }
            painter.emplace(request.width, request.height, request.antiAlias, request.edges);
        }
        painter->Paint(part, page - 1);
    };
    if (!CPdfFile().ReadPageInBatches(input, drawing, page - 1, paint)) {
        ReportFileFailure(err, input,
                          drawing.GetErrorMessage().empty() ? std::string(kOpenFailedMessage)
                                                            : drawing.GetErrorMessage());
        return kExitFailed;
    }
    PrintReadWarning(err, input, drawing);
    if (page > drawing.PageCount()) {
        std::fprintf(err, "pqdraw-cli: %s has %d page(s), no page %d\n", input.c_str(), drawing.PageCount(),
                     page);
        return kExitFailed;
    }
    if (!painter)
        paint(drawing); // a page without objects: white
    std::string written;
    const CImageResult result = painter->Write(request.output, &written);
    if (!result) {
        ReportFileFailure(err, request.output, result.message);
        return kExitFailed;
    }
    if (written != request.output)
        std::fprintf(err, "pqdraw-cli: wrote %s\n", written.c_str());
    return FinishOutput(kExitOk, out, err);
}

} // namespace

int RunConvert(std::span<const std::string_view> args, std::FILE* out, std::FILE* err) {
    std::string input, output;
    int page = 1, width = 0, height = 0;
    bool antiAlias = false, smooth = false, sized = false, pageGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--antialias") {
            antiAlias = true;
        } else if (arg == "--smooth") {
            smooth = true;
        } else if (arg == "--page" || arg == "--size") {
            if (i + 1 == args.size())
                return Usage(err, std::string(arg) + " needs a value");
            const std::string_view value = args[++i];
            if (arg == "--page" && (!(pageGiven = ParseInt(value, page)) || page < 1))
                return Usage(err, "--page takes a page number from 1");
            if (arg == "--size" && !(sized = ParseSize(value, width, height)))
                return Usage(err, "--size takes WIDTHxHEIGHT in pixels");
        } else if (arg.starts_with("--")) {
            return Usage(err, "unknown option " + std::string(arg));
        } else if (input.empty()) {
            input = arg;
        } else if (output.empty()) {
            output = arg;
        } else {
            return Usage(err, "too many files");
        }
    }
    if (output.empty())
        return Usage(err, "needs an input and an output file");

    const auto writeFailed = [&](const std::string& why) {
        ReportFileFailure(err, output, why);
        return kExitFailed;
    };
    const bool bitmap = BitmapFormatOf(output) != BitmapFormat::None || IsBitmapExportName(output);
    if (!bitmap && !CanSaveDrawing(output)) {
        // Said before the input is read. The save fails before it writes anything and names the drawing
        // writers' endings; the tool writes pictures too.
        CDrawing empty;
        if (!SaveDrawing(empty, output, 0, -1, -1, nullptr))
            return writeFailed(empty.GetErrorMessage() +
                               " A page is saved as a picture with .bmp, .jpg or .png.");
    }

    if (BitmapFormatOf(output) != BitmapFormat::None && IsNativeDocumentName(input))
        return ConvertNativePage({input, output, page, width, height, sized, antiAlias,
                                  smooth ? EdgeStyle::Smooth : EdgeStyle::Aliased},
                                 out, err);

    // A picture needs only its page made ready to draw; the writers may look at every object.
    CDrawing drawing;
    if (!OpenDrawing(drawing, input, bitmap ? page - 1 : -1)) {
        ReportFileFailure(err, input, drawing.GetErrorMessage());
        return kExitFailed;
    }
    PrintReadWarning(err, input, drawing);
    const bool everyPage = !bitmap && SavesEveryPage(output);
    if (!everyPage && page > drawing.PageCount()) {
        std::fprintf(err, "pqdraw-cli: %s has %d page(s), no page %d\n", input.c_str(), drawing.PageCount(),
                     page);
        return kExitFailed;
    }

    // Bitmap endings render the page; ".gif" and ".2bp" reach the export too, which says why it refuses.
    if (bitmap) {
        if (!sized) {
            const CPixelSize size =
                ExportPixelSize(drawing.GetPageWidth(), drawing.GetPageHeight(), kDefaultPixelsPerInch,
                                kDefaultMaxPixels, kDefaultMaxPixels);
            width = size.width;
            height = size.height;
        }
        std::string written;
        const CImageResult result =
            ExportPageBitmap(drawing, page - 1, output, width, height, antiAlias, &written,
                             smooth ? EdgeStyle::Smooth : EdgeStyle::Aliased);
        if (!result)
            return writeFailed(result.message);
        if (written != output)
            std::fprintf(err, "pqdraw-cli: wrote %s\n", written.c_str());
        return FinishOutput(kExitOk, out, err);
    }
    // Options that only pictures or one-page formats use are ignored here: say so rather than leave the
    // user believing they took effect.
    if (pageGiven && everyPage)
        std::fprintf(err, "pqdraw-cli: --page applies to one-page and bitmap outputs; %s keeps every page\n",
                     output.c_str());
    if (sized)
        std::fprintf(err, "pqdraw-cli: --size applies to bitmap outputs; %s keeps the drawing's page size\n",
                     output.c_str());
    if (smooth)
        std::fprintf(err, "pqdraw-cli: --smooth applies to bitmap outputs; ignored for %s\n", output.c_str());
    if (antiAlias)
        std::fprintf(err, "pqdraw-cli: --antialias applies to bitmap outputs; ignored for %s\n",
                     output.c_str());
    const bool saved = SaveDrawing(drawing, output, page - 1, -1, -1, [err](std::string_view notice) {
        std::fprintf(err, "pqdraw-cli: %.*s\n", static_cast<int>(notice.size()), notice.data());
    });
    if (!saved)
        return writeFailed(drawing.GetErrorMessage());
    return FinishOutput(kExitOk, out, err);
}

} // namespace pq::cli
