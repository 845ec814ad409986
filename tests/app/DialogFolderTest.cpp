// The folder file dialogs open in, the filters they offer, and the bundled help's location and messages.

#include "app/DialogFolder.h"
#include "app/FileDialogFilters.h"
#include "app/HelpLocation.h"

#include <gtest/gtest.h>

#include <set>

namespace pq {
namespace {

TEST(DialogFolder, TheDocumentsFolderFirstThenTheLastFolderWhileItExists) {
    EXPECT_EQ(FolderOfPath("/home/ann/cards/card.pdf"), "/home/ann/cards");
    EXPECT_EQ(FolderOfPath("/card.pdf"), "/");
    EXPECT_EQ(FolderOfPath("card.pdf"), "");
    EXPECT_EQ(FolderOfPath(""), "");
    std::set<std::string> folders = {"/home/ann/cards", "/home/ann/plans"};
    const auto exists = [&](const std::string& folder) { return folders.count(folder) != 0; };
    // A document with a file: its own folder, whatever was used last.
    EXPECT_EQ(ChooseDialogFolder("/home/ann/cards/card.pdf", "/home/ann/plans", exists), "/home/ann/cards");
    // A new document: the last folder used.
    EXPECT_EQ(ChooseDialogFolder("", "/home/ann/plans", exists), "/home/ann/plans");
    // The document's folder has gone (a removed stick): the last folder.
    EXPECT_EQ(ChooseDialogFolder("/media/stick/card.pdf", "/home/ann/plans", exists), "/home/ann/plans");
    // Nothing usable: the toolkit chooses.
    folders.clear();
    EXPECT_EQ(ChooseDialogFolder("/home/ann/cards/card.pdf", "/home/ann/plans", exists), "");
    EXPECT_EQ(ChooseDialogFolder("", "", exists), "");
}

TEST(HelpLocation, TheIndexPageGoesToTheOpenerAsOneEscapedFileUrl) {
    EXPECT_EQ(HelpFolder("/usr/share/pentaquill-draw"), "/usr/share/pentaquill-draw/help");
    EXPECT_EQ(HelpIndexPath("/opt/pq/"), "/opt/pq/help/index.html");
    EXPECT_EQ(HelpIndexPath(""), "");
    const std::vector<std::string> command = HelpViewerCommand("/home/ann/My Tools/pq#2/help/index.html");
    ASSERT_EQ(command.size(), 2u);
    EXPECT_EQ(command[0], "xdg-open");
    EXPECT_EQ(command[1], "file:///home/ann/My%20Tools/pq%232/help/index.html");
    EXPECT_EQ(HelpViewerCommand("/a/\xC3\xA9.html")[1], "file:///a/%C3%A9.html");
    EXPECT_EQ(NoBrowserMessage("/opt/pq/help"),
              "No web browser was found to show the help. The help pages are in /opt/pq/help.");
}

// The filters without the SVG entries this editor adds to the formats of its own lineage.
std::string WithoutSvg(std::string_view filter) {
    std::string text(filter);
    for (const std::string cut : {"|SVG Drawing (SVG)|*.svg", ";*.svg", ",SVG"}) {
        for (std::size_t at = text.find(cut); at != std::string::npos; at = text.find(cut))
            text.erase(at, cut.size());
    }
    return text;
}

// SVG drawings come last in each list, so the entries before them keep their indices, and the "All" lists
// of Open and Import offer them too.
TEST(FileDialogFilters, EveryReaderAndWriterIsOfferedAndSvgIsTheOnlyAdditionAtTheEnd) {
    EXPECT_EQ(
        WithoutSvg(kOpenFilter),
        "All (PDF,AI,DXF,EMF,WMF,PLT)|*.ai;*.dxf;*.emf;*.wmf;*.pdf;*.plt|PDF Document (PDF)|*.pdf|Adobe "
        "Illustrator v10 (AI)|*.ai|AutoCAD 2002 (DXF)|*.dxf|Enhanced Metafile (EMF)|*.emf|Windows Metafile "
        "(WMF)|*.wmf|HPGL Plotter file (PLT)|*.plt||");
    EXPECT_EQ(
        WithoutSvg(kSaveAsFilter),
        "PDF Document (PDF)|*.pdf|Adobe Illustrator v7 (AI)|*.ai|AutoCAD 2002 (DXF)|*.dxf|Enhanced Metafile "
        "(EMF)|*.emf|HPGL Plotter file (PLT)|*.plt|BMP Bitmap|*.bmp|JPG Image|*.jpg|Template (TPL)|*.tpl||");
    EXPECT_EQ(
        WithoutSvg(kImportFilter),
        "All Vector Files|*.ai;*.dxf;*.emf;*.wmf;*.plt|All "
        "Bitmaps|*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.2bp|Adobe "
        "Illustrator v10 (AI)|*.ai|AutoCAD 2002 (DXF)|*.dxf|Enhanced Metafile (EMF)|*.emf|Windows Metafile "
        "(WMF)|*.wmf|HPGL Plotter file (PLT)|*.plt|BMP Bitmap|*.bmp|JPG Image|*.jpg;*.jpeg|GIF "
        "Bitmap|*.gif|PNG Bitmap|*.png|2BP Bitmap|*.2bp||");
    EXPECT_EQ(FilterExtension(kOpenFilter, 1), ".pdf");
    EXPECT_EQ(FilterExtension(kOpenFilter, 6), ".plt");
    EXPECT_EQ(FilterExtension(kOpenFilter, 7), ".svg");
    EXPECT_EQ(FilterExtension(kSaveAsFilter, 7), ".tpl");
    EXPECT_EQ(FilterExtension(kImportFilter, 11), ".2bp");
    EXPECT_EQ(FilterExtension(kImportFilter, 12), ".svg");
    EXPECT_NE(kOpenFilter.find("|*.ai;*.dxf;*.emf;*.wmf;*.pdf;*.plt;*.svg|"), std::string_view::npos);
    EXPECT_NE(kImportFilter.find("All Vector Files|*.ai;*.dxf;*.emf;*.wmf;*.plt;*.svg|"),
              std::string_view::npos);
    EXPECT_TRUE(kSaveAsFilter.ends_with("|SVG Drawing (SVG)|*.svg||"));
}

TEST(FileDialogFilters, TheFilterShownFirstIsTheOneOfTheProposedName) {
    EXPECT_EQ(FilterIndexForName(kSaveAsFilter, "plan.DXF", 0), 2);
    EXPECT_EQ(FilterIndexForName(kSaveAsFilter, "plan.svg", 0), 8);
    EXPECT_EQ(FilterIndexForName(kSaveAsFilter, "Untitled", 0), 0);
    EXPECT_EQ(FilterIndexForName(kSaveAsFilter, "plan.wmf", 5), 5); // read, never written
    EXPECT_EQ(FilterIndexForName(kOpenFilter, ".pdf", 3), 3);
}

TEST(FileDialogFilters, TypedNamesGetTheChosenFiltersExtension) {
    EXPECT_EQ(WithFilterExtension("/home/me/card", kSaveAsFilter, 0), "/home/me/card.pdf");
    EXPECT_EQ(WithFilterExtension("/home/me/card", kSaveAsFilter, 7), "/home/me/card.tpl");
    EXPECT_EQ(WithFilterExtension("/home/me/card", kSaveAsFilter, 8), "/home/me/card.svg");
    EXPECT_EQ(WithFilterExtension("/home/me/card.dxf", kSaveAsFilter, 0), "/home/me/card.dxf");
    EXPECT_EQ(WithFilterExtension("/home/my.folder/card", kExportBitmapFilter, 1),
              "/home/my.folder/card.jpg");
    EXPECT_EQ(WithFilterExtension("/home/me/.hidden", kSaveAsFilter, 0), "/home/me/.hidden.pdf");
    // The combined "All" filter names no single extension.
    EXPECT_EQ(WithFilterExtension("/home/me/card", kOpenFilter, 0), "/home/me/card");
    EXPECT_EQ(WithFilterExtension("/home/me/card", kSaveAsFilter, 99), "/home/me/card");
    EXPECT_EQ(ToolkitFilter(kExportBitmapFilter), "BMP Bitmap|*.bmp|JPG Image|*.jpg");
}

} // namespace
} // namespace pq
