// The object property sheet: which pages show for which command and selection, the commands that open
// it, OK as one undo step per page that changes something, and Cancel changing nothing.

#include "PropertySheetTestSetup.h"
#include "RasterHelpers.h"

namespace pq::test {
namespace {

using enum PropertyPage;
using Pages = std::vector<PropertyPage>;

TEST(PropertySheetPages, PagesFollowTheOpeningCommandAndTheKindsSelected) {
    const auto pages = [](PropertySheetOpening opening, bool paths, bool texts, bool images) {
        return PropertySheetPages(opening, {.paths = paths, .texts = texts, .images = images});
    };
    const auto properties = PropertySheetOpening::Properties;
    EXPECT_EQ(pages(properties, true, false, false), (Pages{Color, Size}));
    EXPECT_EQ(pages(properties, false, true, false), (Pages{Text, Font, Color, Size}));
    EXPECT_EQ(pages(properties, false, false, true), (Pages{Size}));
    EXPECT_EQ(pages(properties, true, true, false), (Pages{Color, Text, Font, Size}));
    EXPECT_EQ(pages(properties, false, true, true), (Pages{Text, Font, Color, Size}));
    EXPECT_EQ(pages(properties, true, false, true), (Pages{Color, Size}));
    EXPECT_EQ(pages(properties, true, true, true), (Pages{Color, Text, Font, Size}));
    EXPECT_EQ(pages(properties, false, false, false), Pages{});
    // Color with a selection is Properties; alone it edits the new-object style.
    EXPECT_EQ(pages(PropertySheetOpening::Color, false, true, true), (Pages{Text, Font, Color, Size}));
    EXPECT_EQ(pages(PropertySheetOpening::Color, false, false, false), (Pages{Color}));
    EXPECT_EQ(pages(PropertySheetOpening::NewText, true, false, false), (Pages{Text, Font, Color}));
}

TEST(PropertySheetCommands, PropertiesNeedsASelectionAndColorIsAlwaysOffered) {
    CSheetSetup s;
    s.Drawing().Add(MakeRect({0, 100, 0, 100}, 1));
    s.Drawing().Add(MakeText(u"label", {0.0f, 200.0f}));
    s.Drawing().Add(MakeImage({300, 400, 0, 60}));
    s.Start();
    CCommandRouter router;
    CViewCommandTarget viewTarget(s.view);
    viewTarget.SetDialogCommands(&s.commands);
    router.SetTarget(RouteLevel::View, &viewTarget);

    s.Select({});
    EXPECT_FALSE(router.Update(cmd::kProperties).enabled);
    EXPECT_TRUE(router.Update(cmd::kColor).enabled);
    EXPECT_FALSE(router.Update(cmd::kColor).checked);
    EXPECT_FALSE(router.Execute(cmd::kProperties));
    EXPECT_EQ(s.dialog.runs, 0);
    EXPECT_TRUE(router.Execute(cmd::kColor));
    EXPECT_EQ(s.dialog.shownPages, (Pages{Color}));

    // The selection decides the pages: one text and one picture.
    s.Select({1, 2});
    EXPECT_TRUE(router.Update(cmd::kProperties).enabled);
    EXPECT_TRUE(router.Execute(cmd::kProperties));
    EXPECT_EQ(s.dialog.shownPages, (Pages{Text, Font, Color, Size}));
    EXPECT_TRUE(router.Execute(cmd::kColor));
    EXPECT_EQ(s.dialog.shownPages, (Pages{Text, Font, Color, Size}));
    s.Select({0});
    EXPECT_TRUE(router.Execute(cmd::kProperties));
    EXPECT_EQ(s.dialog.shownPages, (Pages{Color, Size}));
    s.Select({2});
    EXPECT_TRUE(router.Execute(cmd::kProperties));
    EXPECT_EQ(s.dialog.shownPages, (Pages{Size}));

    // An index that names no object counts for nothing.
    s.view.GetSelection() = {7};
    EXPECT_FALSE(router.Update(cmd::kProperties).enabled);

    // The Color button shows an eyedropper at work.
    s.view.SetColorPickMode(2);
    EXPECT_TRUE(router.Update(cmd::kColor).checked);
    // Other commands still reach the view.
    EXPECT_TRUE(router.Update(cmd::kZoomIn).handled);
}

TEST(PropertySheetCommands, ANewTextEditsTheNewTextStyleThroughTheViewsOpener) {
    CSheetSetup s;
    s.Drawing().Add(MakeRect({0, 100, 0, 100}, 1));
    s.Start();
    s.Select({0}); // a new text ignores the selection
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    s.dialog.script = [](CModalPropSheet& sheet) {
        ASSERT_TRUE(sheet.EditsDefaults());
        EXPECT_EQ(sheet.GetTextPage()->GetText(), "my text");
        sheet.GetTextPage()->SetText("two\nlines");
        sheet.ChooseTextKind(CTextPage::kParagraph);
        EXPECT_FALSE(sheet.GetFontPage()->IsAngleEnabled());
        sheet.GetFontPage()->SetSizeText("12");
        sheet.GetFontPage()->SetStyle(0, CFontPage::Check::On);
        // The colour page edits the colour of new text and has no line part.
        CColorPage& color = *sheet.GetColorPage();
        EXPECT_FALSE(color.IsLinePartShown());
        EXPECT_FALSE(color.CanSetNone());
        color.TapCell(13);
    };
    s.view.GetNewObjectStyle().textAngle = 45.0f;
    const uint32_t brush = s.view.GetNewObjectStyle().brushColor;
    EXPECT_TRUE(s.view.OpenPropertySheet(PropertySheetOpening::NewText));
    const CNewObjectStyle& style = s.view.GetNewObjectStyle();
    EXPECT_EQ(style.defaultText, u"two\r\nlines");
    EXPECT_EQ(style.textType, 2);
    EXPECT_EQ(style.textAngle, 0.0f); // paragraph text is never turned
    EXPECT_FLOAT_EQ(style.textHeight, 12 * 3.52777f);
    EXPECT_EQ(style.textStyle, 1);
    EXPECT_EQ(style.textColor, DefaultPalette()[13]);
    EXPECT_EQ(style.brushColor, brush);
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);
    EXPECT_EQ(s.Steps(), 0);

    // Cancel: nothing placed, nothing changed.
    s.dialog.answerOk = false;
    s.dialog.script = [](CModalPropSheet& sheet) { sheet.GetTextPage()->SetText("lost"); };
    EXPECT_FALSE(s.view.OpenPropertySheet(PropertySheetOpening::NewText));
    EXPECT_EQ(s.view.GetNewObjectStyle().defaultText, u"two\r\nlines");
    // Without an opener the view says no.
    s.view.SetPropertySheetOpener(nullptr);
    EXPECT_FALSE(s.view.OpenPropertySheet(PropertySheetOpening::NewText));
}

// Fills in every page of a sheet on one path and two texts.
void ChangeEverything(CModalPropSheet& sheet) {
    if (CColorPage* color = sheet.GetColorPage()) {
        color->TapCell(16);
        color->SetTarget(CColorPage::Target::Line);
        color->TapCell(5);
        color->ChooseWidth(2);
    }
    if (CTextPage* text = sheet.GetTextPage()) {
        text->SetText("new words");
        sheet.ChooseTextKind(CTextPage::kParagraph);
    }
    if (CFontPage* font = sheet.GetFontPage()) {
        font->SetSizeText("30");
        font->SetStyle(1, CFontPage::Check::On);
        font->SetAlignmentIndex(1);
    }
    if (CSizePage* size = sheet.GetSizePage()) {
        size->SetKeepAspect(false);
        size->EditWidthPercent("200");
        size->SetRotationText("30");
    }
}

TEST(PropertySheet, OkRecordsOneStepPerChangingPageAndEachUndoesExactly) {
    CSheetSetup s;
    s.Drawing().Add(MakeRect({0, 100, 0, 100}, 1));
    s.Drawing().Add(MakeText(u"first", {0.0f, 200.0f}));
    s.Drawing().Add(MakeText(u"second", {0.0f, 400.0f}));
    s.Start();
    s.Select({0, 1, 2});
    std::vector<DrawingSnapshot> states{Snapshot(s.Drawing(), false)};

    // Path and texts: colour, text, font and size; the size page leaves a selection with text alone.
    ASSERT_TRUE(s.Run(cmd::kProperties, ChangeEverything));
    EXPECT_EQ(s.dialog.shownPages, (Pages{Color, Text, Font, Size}));
    EXPECT_EQ(s.Steps(), 3);
    EXPECT_TRUE(s.doc.IsModified());
    const CGraphicObject& path = *s.Drawing().GetAt(0);
    const CGraphicObject& text = *s.Drawing().GetAt(1);
    EXPECT_EQ(path.color, DefaultPalette()[16]);
    EXPECT_EQ(path.AsPath()->penColor, DefaultPalette()[5]);
    EXPECT_EQ(path.AsPath()->penWidth, 6);
    EXPECT_EQ(path.bounds, (CRectF{0, 100, 0, 100}));
    EXPECT_EQ(text.color, DefaultPalette()[16]);
    EXPECT_EQ(text.AsText()->text, u"new words");
    EXPECT_EQ(text.AsText()->mode, kTextParagraph);
    EXPECT_EQ(text.AsText()->style, kTextStyleItalic);
    EXPECT_EQ(text.AsText()->alignment, kAlignCentre);
    EXPECT_FLOAT_EQ(text.AsText()->height, 30 * 3.52777f);
    EXPECT_EQ(s.Drawing().GetAt(2)->AsText()->text, u"new words");

    // Undo one page at a time, newest first, back to the exact records; then redo them all.
    const DrawingSnapshot after = Snapshot(s.Drawing(), false);
    s.view.OnCommand(cmd::kUndo); // font
    EXPECT_EQ(s.Drawing().GetAt(1)->AsText()->style, 0);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsText()->text, u"new words");
    s.view.OnCommand(cmd::kUndo); // text
    EXPECT_EQ(s.Drawing().GetAt(1)->AsText()->text, u"first");
    EXPECT_EQ(s.Drawing().GetAt(1)->color, DefaultPalette()[16]);
    s.view.OnCommand(cmd::kUndo); // colour
    EXPECT_EQ(Snapshot(s.Drawing(), false), states[0]);
    EXPECT_EQ(s.Steps(), 0);
    for (int i = 0; i < 3; ++i)
        s.view.OnCommand(cmd::kRedo);
    EXPECT_EQ(Snapshot(s.Drawing(), false), after);
}

// OK draws again only where the changed objects were and are: an object elsewhere, recoloured behind the
// view's back, keeps its old colour on screen, and the rest is what a paint from scratch shows.
TEST(PropertySheet, OkRepaintsOnlyTheObjectsItChanged) {
    CSheetSetup s;
    s.Drawing().Add(MakeRect({-20, 20, -20, 20}, 0x0000FF));
    s.Drawing().Add(MakeText(u"words", {-20.0f, 40.0f}));
    s.Drawing().Add(MakeRect({-200, -180, 100, 120}, 0x00FF00)); // far from the others
    s.Start();
    const CPoint apart = s.view.GetMapping().DocToDevice(CPointF{-190.0f, 110.0f});
    s.Select({0, 1});
    s.view.OnPaint();
    ASSERT_TRUE(s.Run(cmd::kProperties, ChangeEverything));
    ASSERT_EQ(s.Steps(), 3);
    s.Drawing().GetAt(2)->color = 0x000000;
    s.view.OnPaint();
    const CDibSection kept = s.view.GetBackBuffer();
    EXPECT_EQ(PixelAt(kept, apart.x, apart.y), 0x00FF00u) << "the whole page was drawn again";
    s.Drawing().GetAt(2)->color = 0x00FF00;
    s.view.RepaintAll();
    s.view.OnPaint();
    EXPECT_EQ(CountDifferences(kept, s.view.GetBackBuffer()), 0);
}

TEST(PropertySheet, CancelAndAnUntouchedOkChangeNothing) {
    CSheetSetup s;
    s.Drawing().Add(MakeRect({0, 100, 0, 100}, 1));
    s.Drawing().Add(MakeText(u"first", {0.0f, 200.0f}));
    s.Drawing().Add(BuildPath({BoxNodes({200, 300, 0, 50})}, {.penWidth = 4, .penColor = 0x0000FF}));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    const CNewObjectStyle defaults = s.view.GetNewObjectStyle();

    s.Select({0, 1, 2});
    EXPECT_TRUE(s.Run(cmd::kProperties, ChangeEverything, false));
    s.Select({0, 2});
    EXPECT_TRUE(s.Run(cmd::kProperties, ChangeEverything, false));
    s.Select({});
    EXPECT_TRUE(s.Run(cmd::kColor, ChangeEverything, false));
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);
    EXPECT_EQ(s.view.GetNewObjectStyle().brushColor, defaults.brushColor);
    EXPECT_EQ(s.view.GetNewObjectStyle().penWidth, defaults.penWidth);
    EXPECT_EQ(s.Steps(), 0);
    EXPECT_FALSE(s.doc.IsModified());

    // OK without touching anything: no step that would undo nothing, and the document stays unmodified.
    s.Select({0, 1, 2});
    EXPECT_TRUE(s.Run(cmd::kProperties, nullptr));
    s.Select({0, 2});
    EXPECT_TRUE(s.Run(cmd::kProperties, nullptr));
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);
    EXPECT_EQ(s.Steps(), 0);
    EXPECT_FALSE(s.doc.IsModified());
}

TEST(PropertySheet, WithNothingSelectedTheColourPageSetsTheNewObjectStyle) {
    CSheetSetup s;
    s.Start();
    s.Select({});
    ASSERT_TRUE(s.Run(cmd::kColor, [](CModalPropSheet& sheet) {
        ASSERT_TRUE(sheet.EditsDefaults());
        CColorPage& color = *sheet.GetColorPage();
        EXPECT_TRUE(color.IsLinePartShown());
        EXPECT_EQ(color.GetColor(CColorPage::Target::Fill), CNewObjectStyle::kDefaultBrushColor);
        EXPECT_EQ(color.GetColor(CColorPage::Target::Line), CNewObjectStyle::kDefaultPenColor);
        color.SetNone();
        color.SetTarget(CColorPage::Target::Line);
        EXPECT_TRUE(color.TypeNumber(1, "200"));
        color.ChooseWidth(3);
    }));
    const CNewObjectStyle& style = s.view.GetNewObjectStyle();
    EXPECT_EQ(style.noFill, 1);
    EXPECT_EQ(style.brushColor, CNewObjectStyle::kDefaultBrushColor);
    EXPECT_EQ(style.penColor, (CNewObjectStyle::kDefaultPenColor & 0xFF00FF) | (200 << 8));
    EXPECT_EQ(style.penWidth, 9);
    EXPECT_EQ(style.penStyle, kPenSolid);
    EXPECT_EQ(s.Steps(), 0);
}

} // namespace
} // namespace pq::test
