// pqdraw: the editor's application object and start-up.
#include "Version.h"
#include "app/BundledFiles.h"
#include "app/ClipArtLibrary.h"
#include "app/IniPreferenceStore.h"
#include "app/ResourceFolder.h"
#include "app/Startup.h"
#include "document/FormatFileOps.h"
#include "platform/DataPaths.h"
#include "platform/ScreenMetrics.h"
#include "render/FontTextMetrics.h"
#include "shell/MainFrame.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace pq {

namespace {

constexpr const char* kUsage =
    "Usage: pqdraw [--settings FILE] [DRAWING]\n"
    "\n"
    "Opens DRAWING (PDF, AI, DXF, EMF, WMF or PLT) in the Pentaquill Draw editor, or a new\n"
    "drawing. --settings FILE reads FILE instead of the data folder's PQS.ini.\n";

bool HasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

} // namespace

class CPqxApp : public wxApp {
public:
    explicit CPqxApp(CStartupRequest startupRequest) : request(std::move(startupRequest)) {}

    bool OnInit() override {
        // The command line was parsed before the toolkit started; wx must not parse it again.
        SetAppName("pentaquill-draw");
        SetAppDisplayName("Pentaquill Draw");
        const wxSize ppi = wxGetDisplayPPI();
        if (ppi.GetWidth() > 0)
            SetScreenPixelsPerInch(ppi.GetWidth());
        InstallFontTextMetrics();
        preferences = std::make_unique<CIniPreferenceStore>(PreferencesFilePath());
        const std::string resources = FindResourceFolder(ExecutableFolder(), PQ_SOURCE_RESOURCES);
        // The templates we ship join the user's on the first start; the user's own are never replaced.
        if (!resources.empty()) {
            const CBundledCopy seeded =
                CopyBundledFiles(resources + "/templates", DataFolder() + "/Templates", ".tpl");
            if (!seeded.message.empty())
                std::fprintf(stderr, "pqdraw: the bundled templates were not all copied: %s\n",
                             seeded.message.c_str());
            // The starter clip-art joins the user's library the same way, category by category.
            static constexpr std::string_view kClipArtFiles[] = {".ai", ".emf", ".bmp"};
            const CBundledCopy clipArt =
                CopyBundledTree(resources + "/library", CClipArtLibrary::RootIn(DataFolder()), kClipArtFiles);
            if (!clipArt.message.empty())
                std::fprintf(stderr, "pqdraw: the bundled clip-art was not all copied: %s\n",
                             clipArt.message.c_str());
        }

        auto* frame = new CMainFrame(preferences.get(), &fileOps, resources);
        fileOps.SetHost(frame); // the one-page notice of single-page formats shows in a message box
        frame->SetStartupRequest(request);
        frame->Show();
        frame->StartDocument(request.openPath);
        return true;
    }

    int OnRun() override {
        const int status = wxApp::OnRun();
        return status != 0 ? status : EditorExitStatus();
    }

private:
    CStartupRequest request;
    std::unique_ptr<CIniPreferenceStore> preferences;
    CFormatFileOps fileOps;
};

} // namespace pq

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const pq::CCommandLine commandLine = pq::ParseCommandLine(args);
    if (!commandLine.error.empty()) {
        std::fprintf(stderr, "pqdraw: %s\n\n%s", commandLine.error.c_str(), pq::kUsage);
        return 2;
    }
    if (commandLine.showHelp) {
        std::fputs(pq::kUsage, stdout);
        return 0;
    }
    if (commandLine.showVersion) {
        std::printf("pqdraw %s\n", pq::kVersion);
        return 0;
    }
    if (!pq::HasDisplay()) {
        std::fprintf(stderr,
                     "pqdraw: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); without one, use "
                     "the headless tool: pqdraw-cli convert resources/samples/welcome.pdf page.png\n");
        return 1;
    }
    const pq::CStartupRequest request = pq::ResolveStartup(commandLine, pq::DataFolder());
    wxApp::SetInstance(new pq::CPqxApp(request));
    // Only the program's name reaches wx: the arguments have been handled above.
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    return wxEntry(wxArgc, wxArgv);
}
