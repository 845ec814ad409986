// Placing a text through the real property sheet model: what the user types on the text page (as the
// multi-line edit hands it over, UTF-8) becomes the new text exactly, in UTF-16, and the native document
// keeps it.

#include "PeerHelpers.h"
#include "PropertySheetTestSetup.h"

#include "app/CommandLayout.h"
#include "formats/FormatDispatch.h"

#include <gtest/gtest.h>

namespace pq::test {
namespace {

// "Café 中文 " with a grinning face beyond the basic plane (a surrogate pair in UTF-16), a second line.
constexpr const char* kTyped = "Caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80\nzweite Zeile";
constexpr std::u16string_view kStored = u"Caf\u00E9 \u4E2D\u6587 \U0001F600\r\nzweite Zeile";

// Three rectangles, and the routing table's view level as the editor has it.
struct CPlacementSetup : CSheetSetup {
    CPlacementSetup() {
        for (int i = 0; i < 3; ++i)
            Drawing().Add(MakeRect({i * 100.0f, i * 100.0f + 50, 0, 50}));
        Start();
        view.GetNewObjectStyle().fontFace = u"Arial";
        viewTarget.SetDialogCommands(&commands);
        router.SetTarget(RouteLevel::View, &viewTarget);
    }
    CGraphicObject& Last() { return *Drawing().GetAt(Drawing().Count() - 1); }

    CViewCommandTarget viewTarget{view};
    CCommandRouter router;
};

TEST(TextPlacement, TheTextTypedInTheSheetIsPlacedExactlyAndBecomesTheNextDefault) {
    CPlacementSetup s;
    std::string shownText;
    s.dialog.script = [&](CModalPropSheet& sheet) {
        shownText = sheet.GetTextPage()->GetText();
        sheet.GetTextPage()->SetText(kTyped);
        sheet.ChooseTextKind(CTextPage::kParagraph);
        sheet.GetFontPage()->SetSizeText("12");
    };
    EXPECT_TRUE(s.router.Update(cmd::kToolText).enabled);
    EXPECT_TRUE(s.router.Execute(cmd::kToolText));
    EXPECT_EQ(s.dialog.shownPages,
              (std::vector<PropertyPage>{PropertyPage::Text, PropertyPage::Font, PropertyPage::Color}));
    EXPECT_EQ(shownText, "my text");
    ASSERT_EQ(s.Drawing().Count(), 4);
    const CTextShape& text = *s.Last().AsText();
    EXPECT_TRUE(text.text == kStored);
    // The face beyond the basic plane is two units, high surrogate first.
    const std::size_t face = text.text.find(u'\xD83D');
    ASSERT_NE(face, std::u16string::npos);
    EXPECT_EQ(text.text[face + 1], u'\xDE00');
    EXPECT_EQ(text.mode, kTextParagraph);
    EXPECT_NEAR(text.height, 12 * 3.52777f, 0.01f);
    EXPECT_TRUE(s.view.GetNewObjectStyle().defaultText == kStored);
    // Placed, selected, one step.
    EXPECT_EQ(s.view.GetSelection(), std::vector<int>{3});
    EXPECT_EQ(s.Steps(), 1);
    EXPECT_EQ(s.NewestStep(), UndoRecordType::Add);
    // The next sheet shows it back as typed.
    s.dialog.script = [&](CModalPropSheet& sheet) { shownText = sheet.GetTextPage()->GetText(); };
    s.dialog.answerOk = false;
    s.view.OnCommand(cmd::kToolText);
    EXPECT_EQ(shownText, kTyped);
}

TEST(TextPlacement, TheKeyChoosesTheToolWhileTheMenuAndButtonsPlaceAText) {
    using Key = CAccelerator::Key;
    EXPECT_EQ(AcceleratorCommand(Key::Letter, 'T', false, false), cmd::kChooseTextTool);
    // The text bar and the drawing bar carry the command that places a text at once.
    for (int bar : {1, 2}) {
        bool found = false;
        for (const CToolButton& button : BottomBarButtons(bar))
            found = found || button.id == cmd::kToolText;
        EXPECT_TRUE(found) << bar;
    }
    CPlacementSetup s;
    s.dialog.answerOk = false;
    EXPECT_TRUE(s.router.Execute(cmd::kChooseTextTool));
    EXPECT_EQ(s.dialog.runs, 0);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Text));
    EXPECT_TRUE(s.router.Update(cmd::kToolText).checked);
    // A tap asks for the text.
    s.view.OnLButtonDown(kKeyFlagLButton, {120, 80});
    s.view.OnLButtonUp(0, {120, 80});
    EXPECT_EQ(s.dialog.runs, 1);
    EXPECT_EQ(s.dialog.shownPages,
              (std::vector<PropertyPage>{PropertyPage::Text, PropertyPage::Font, PropertyPage::Color}));
}

TEST(TextPlacement, CancelOnTheSheetPlacesNothingAndKeepsTheStyleOfNewText) {
    CPlacementSetup s;
    s.view.SetTool(ToolKind::Rectangle);
    const CNewObjectStyle before = s.view.GetNewObjectStyle();
    s.dialog.answerOk = false;
    s.dialog.script = [](CModalPropSheet& sheet) {
        sheet.GetTextPage()->SetText("not wanted");
        sheet.GetFontPage()->SetSizeText("36");
    };
    s.view.OnCommand(cmd::kToolText);
    EXPECT_EQ(s.dialog.runs, 1);
    EXPECT_EQ(s.Drawing().Count(), 3);
    EXPECT_EQ(s.Steps(), 0);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Rectangle));
    EXPECT_TRUE(s.view.GetNewObjectStyle().defaultText == before.defaultText);
    EXPECT_EQ(s.view.GetNewObjectStyle().textHeight, before.textHeight);
}

TEST(TextPlacement, TheNativeDocumentKeepsEveryCharacterOfThePlacedText) {
    CPlacementSetup s;
    // Artistic and paragraph, with a lone CR typed, characters of several scripts and planes.
    const char* typed[] = {
        kTyped, "\xCE\xB1\xCE\xB2\xCE\xB3 \xD0\x96 \xE2\x82\xAC \xF0\x9D\x92\x9C\r\xF0\x9F\x98\x80"};
    for (int i = 0; i < 2; ++i) {
        s.dialog.script = [&](CModalPropSheet& sheet) {
            sheet.GetTextPage()->SetText(typed[i]);
            sheet.ChooseTextKind(i == 0 ? CTextPage::kArtistic : CTextPage::kParagraph);
        };
        s.view.OnCommand(cmd::kToolText);
    }
    ASSERT_EQ(s.Drawing().Count(), 5);
    EXPECT_TRUE(s.Drawing().GetAt(4)->AsText()->text ==
                u"\u03B1\u03B2\u03B3 \u0416 \u20AC \U0001D49C\r\n\U0001F600");

    CTempFolder folder;
    const std::string path = folder.File("text.pdf");
    ASSERT_TRUE(SaveDrawing(s.Drawing(), path, 0, -1, -1, nullptr)) << s.Drawing().GetErrorMessage();
    CDrawing read;
    ASSERT_TRUE(OpenDrawing(read, path)) << read.GetErrorMessage();
    ASSERT_EQ(read.Count(), 5);
    for (int i = 3; i < 5; ++i) {
        const CTextShape& written = *s.Drawing().GetAt(i)->AsText();
        const CTextShape& back = *read.GetAt(i)->AsText();
        EXPECT_TRUE(back.text == written.text) << i;
        EXPECT_EQ(back.mode, written.mode) << i;
    }
}

} // namespace
} // namespace pq::test
