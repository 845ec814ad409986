// The text tool and the Text command place texts through the property sheet (a scripted stand-in here);
// the text bar's commands change the style, alignment and kind of selected texts or of new text.

#include "EditTestSetup.h"
#include "FontMetricsSetup.h"
#include "RasterHelpers.h"

#include "geometry/Numeric.h"
#include "geometry/Transform.h"
#include "model/GraphicObject.h"
#include "render/TextLayout.h"
#include "ui/tools/TextTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace pq::test {
namespace {

// Stands in for the property sheet: records how it was opened, runs a script on the view's new-text
// style as a user would fill in the sheet, and answers OK or Cancel.
class CScriptedOpener : public IPropertySheetOpener {
public:
    explicit CScriptedOpener(CPqxView& view) : view(view) {}
    bool OpenPropertySheet(PropertySheetOpening opening) override {
        openings.push_back(opening);
        // The sheet opens with the stylus released: no tool holds the capture behind a modal window.
        captureWhileOpen = view.GetWindow()->HasCapture();
        if (ok && script)
            script(view.GetNewObjectStyle());
        return ok;
    }

    CPqxView& view;
    std::function<void(CNewObjectStyle&)> script;
    bool ok = true;
    bool captureWhileOpen = false;
    std::vector<PropertySheetOpening> openings;
};

struct CTextSetup : CEditSetup {
    CTextSetup() {
        Start();
        ShowOriginAtCentre(0.5f);
        view.SetPropertySheetOpener(&opener);
        view.GetNewObjectStyle().fontFace = u"Arial";
    }
    CGraphicObject& Last() { return *Drawing().GetAt(Drawing().Count() - 1); }
    CTextShape& LastText() { return *Last().AsText(); }
    // A text on page 0, added without an undo step.
    int AddText(std::u16string s, CPointF at, const CTextLook& look = {}) {
        Drawing().Add(BuildText(s, at, look));
        return Drawing().Count() - 1;
    }

    CScriptedOpener opener{view};
};

TEST(TextTool, TheKeyChoosesTheToolAndATapPlacesTheNewTextStyleThere) {
    CTextSetup s;
    s.view.SetTool(ToolKind::Rectangle);
    s.view.OnCommand(cmd::kChooseTextTool);
    ASSERT_TRUE(s.view.IsToolCurrent(ToolKind::Text));
    EXPECT_TRUE(s.State(cmd::kToolText).checked);
    EXPECT_EQ(s.view.GetCurrentTool()->GetCursor(), CursorShape::Text);
    EXPECT_EQ(s.Drawing().Count(), 0) << "choosing the tool places nothing";

    CNewObjectStyle& style = s.view.GetNewObjectStyle();
    style.textColor = 0x123456;
    style.textStyle = kTextStyleItalic;
    style.textAlign = kAlignCentre;
    style.textAngle = 30.0f;
    const DrawingSnapshot before = Snapshot(s.Drawing());
    s.Tap({150, 120});

    ASSERT_EQ(s.opener.openings, std::vector<PropertySheetOpening>{PropertySheetOpening::NewText});
    EXPECT_FALSE(s.opener.captureWhileOpen);
    ASSERT_EQ(s.Drawing().Count(), 1);
    const CTextShape& text = s.LastText();
    EXPECT_EQ(text.text, u"my text");
    EXPECT_EQ(text.faceName, u"Arial");
    EXPECT_FLOAT_EQ(text.height, CNewObjectStyle::kDefaultTextHeight);
    EXPECT_EQ(text.style, kTextStyleItalic);
    EXPECT_EQ(text.alignment, kAlignCentre);
    EXPECT_EQ(text.mode, kTextArtistic);
    EXPECT_FLOAT_EQ(text.angle, 30.0f);
    // (150, 120) is 50 pixels right of and 30 above the origin at two units a pixel.
    EXPECT_FLOAT_EQ(text.position.x, -100.0f);
    EXPECT_FLOAT_EQ(text.position.y, -60.0f);
    EXPECT_EQ(s.Last().color, 0x123456u);
    EXPECT_EQ(s.Last().page, 0);
    EXPECT_TRUE(s.doc.IsModified());
    // The tool stays, ready for the next text; one step takes the text away again.
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Text));
    EXPECT_EQ(s.UndoSteps(), 1);
    EXPECT_EQ(s.Undone(), before);
}

TEST(TextTool, NewTextGoesOnThePageShownAndIsNeverLowerThanThreeUnits) {
    CTextSetup s;
    s.view.OnCommand(cmd::kAddPage);
    ASSERT_EQ(s.view.GetCurrentPage(), 1);
    s.view.GetNewObjectStyle().textHeight = 0.5f;
    s.view.OnCommand(cmd::kChooseTextTool);
    s.Tap({200, 150});
    ASSERT_EQ(s.Drawing().Count(), 1);
    EXPECT_EQ(s.Last().page, 1);
    EXPECT_FLOAT_EQ(s.LastText().height, 3.0f);
}

TEST(TextTool, CancelPlacesNothingAndGivesTheStylusBackToThePreviousTool) {
    CTextSetup s;
    s.opener.ok = false;
    s.view.SetTool(ToolKind::Ellipse);
    s.view.OnCommand(cmd::kChooseTextTool);
    s.Tap({150, 120});
    EXPECT_EQ(s.opener.openings.size(), 1u);
    EXPECT_EQ(s.Drawing().Count(), 0);
    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_FALSE(s.doc.IsModified());
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Ellipse));

    // The Text command returns to the tool it found.
    s.view.SetTool(ToolKind::Line);
    s.view.OnCommand(cmd::kToolText);
    EXPECT_EQ(s.opener.openings.size(), 2u);
    EXPECT_EQ(s.Drawing().Count(), 0);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Line));
    EXPECT_FALSE(s.view.GetWindow()->HasCapture());

    // Nobody to ask for the text: the commands are greyed.
    s.view.SetPropertySheetOpener(nullptr);
    EXPECT_FALSE(s.State(cmd::kToolText).enabled);
    EXPECT_FALSE(s.State(cmd::kChooseTextTool).enabled);
}

TEST(TextTool, TheTextCommandShowsItsTextSelectedTenPixelsFromTheCornerAtAnyZoom) {
    for (const float scale : {0.5f, 0.03f, 7.0f}) {
        CTextSetup s;
        s.view.GetMapping().SetScale(scale);
        s.view.GetMapping().SetOrigins(-300.0f, 250.0f, 17, 40);
        s.AddText(u"below", {0, 0});
        s.view.SetTool(ToolKind::Pan);
        for (const int type : {kTextArtistic, kTextParagraph}) {
            s.view.GetNewObjectStyle().textType = type;
            s.view.GetNewObjectStyle().textAngle = type == kTextArtistic ? 45.0f : 0.0f;
            const DrawingSnapshot before = Snapshot(s.Drawing());
            s.view.OnCommand(cmd::kToolText);
            ASSERT_EQ(s.Drawing().Count(), static_cast<int>(before.records.size()) + 1);
            const int index = s.Drawing().Count() - 1;
            EXPECT_EQ(s.view.GetSelection(), std::vector<int>{index});
            EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Select));
            const CViewMapping& mapping = s.view.GetMapping();
            EXPECT_EQ(mapping.DocToDevice(s.Last().bounds.TopLeft()), (CPoint{10, 10}))
                << scale << " " << type;
            EXPECT_NEAR(mapping.DocToDeviceXf(s.Last().bounds.left), 10.0f, 0.01f);
            EXPECT_NEAR(mapping.DocToDeviceYf(s.Last().bounds.top), 10.0f, 0.01f);
            // Placing and moving are one step: undo takes the text away, redo brings it back where it was
            // shown.
            const DrawingSnapshot placed = Snapshot(s.Drawing());
            EXPECT_EQ(s.Undone(), before);
            s.view.OnCommand(cmd::kRedo);
            EXPECT_EQ(Snapshot(s.Drawing()), placed);
        }
    }
}

// The lines of a paragraph text as every reader of its frame breaks them.
std::vector<std::u16string> WrappedLines(const CTextShape& text) {
    std::vector<std::u16string> lines;
    std::size_t index = 0;
    while (index < text.text.size())
        lines.push_back(GetWrappedLine(text, index));
    return lines;
}

TEST(TextTool, AParagraphIsFramedAroundItsLinesAndWrapsAtItsWidth) {
    CTextSetup s;
    s.opener.script = [](CNewObjectStyle& style) {
        style.textType = kTextParagraph;
        style.textAngle = 20.0f; // a paragraph is always upright
        style.defaultText = u"Some words in a line\r\nand more";
    };
    s.view.OnCommand(cmd::kToolText);
    ASSERT_EQ(s.Drawing().Count(), 1);
    CTextShape& text = s.LastText();
    EXPECT_EQ(text.mode, kTextParagraph);
    EXPECT_EQ(text.angle, 0.0f);
    const CPointF block = MeasureTextBlock(text);
    EXPECT_NEAR(text.corner.x - text.position.x, block.x, 1.0f);
    EXPECT_NEAR(text.corner.y - text.position.y, block.y, 0.01f);
    EXPECT_EQ(s.Last().bounds, (CRectF{text.position.x, text.corner.x, text.position.y, text.corner.y}));
    // Moved to the view's corner, the frame still holds each line as typed.
    EXPECT_EQ(WrappedLines(text), (std::vector<std::u16string>{u"Some words in a line", u"and more"}));

    // Moves by odd amounts round the frame's corners; the lines stay.
    for (int i = 1; i <= 40; ++i) {
        CTransform move;
        move.Translate(0.1f * static_cast<float>(i) + 1234.567f * static_cast<float>(i % 3), -7.77f, 0.0f);
        s.Last().Transform(move);
        ASSERT_EQ(WrappedLines(text).size(), 2u) << "after move " << i;
    }

    // A frame whose corners lie on both sides of a power of two is a little narrower in floats than the
    // width it was given; the line it was sized to still fits.
    const float snug = text.corner.x - text.position.x;
    int narrower = 0;
    for (int i = 1; i <= 2000; ++i) {
        text.position.x = 1024.0f - 0.097f * static_cast<float>(i); // the corner past 1024
        text.corner.x = text.position.x + snug;
        if (text.corner.x - text.position.x >= snug)
            continue;
        ++narrower;
        ASSERT_EQ(WrappedLines(text).size(), 2u) << "frame from " << text.position.x;
    }
    EXPECT_GT(narrower, 0);

    // A narrower frame breaks the line at the last space that makes it fit.
    const float frame = GetTextMetrics().MeasureString(text, u"Some words in").x + 2.0f;
    text.corner.x = text.position.x + frame;
    const std::vector<std::u16string> lines = WrappedLines(text);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"Some words in", u"a line", u"and more"}));
    for (const std::u16string& line : lines)
        EXPECT_LE(GetTextMetrics().MeasureString(text, line).x, frame);
}

TEST(TextTool, ARotatedTextIsBoundedByItsTurnedBlock) {
    CTextSetup s;
    s.opener.script = [](CNewObjectStyle& style) {
        style.textAngle = 90.0f;
        style.defaultText = u"up\r\nwards";
    };
    s.view.OnCommand(cmd::kChooseTextTool);
    s.Tap({200, 150});
    ASSERT_EQ(s.Drawing().Count(), 1);
    const CTextShape& text = s.LastText();
    const CPointF block = MeasureTextBlock(text);
    // At 90 degrees the lines run upwards from the position and follow each other to the right.
    const CRectF& bounds = s.Last().bounds;
    EXPECT_NEAR(bounds.left, 0.0f, 1.0f);
    EXPECT_NEAR(bounds.right, block.y, 1.0f);
    EXPECT_NEAR(bounds.bottom, 0.0f, 1.0f);
    EXPECT_NEAR(bounds.top, -block.x, 1.0f);
    // The outline that hit tests use is that box.
    ASSERT_EQ(text.outline.size(), 5u);
    EXPECT_EQ(text.outline[0], (CPoint{RoundHalfAway(bounds.left), RoundHalfAway(bounds.top)}));
    EXPECT_EQ(text.outline[2], (CPoint{RoundHalfAway(bounds.right), RoundHalfAway(bounds.bottom)}));

    // At 30 degrees the box holds the turned corners of the block.
    s.opener.script = nullptr;
    s.view.GetNewObjectStyle().textAngle = 30.0f;
    s.Tap({200, 150});
    const CRectF turned = s.Last().bounds;
    const double a = 30.0 * 0.017453292;
    const double w = block.x, h = MeasureTextBlock(s.LastText()).y;
    EXPECT_NEAR(turned.right - turned.left, w * std::cos(a) + h * std::sin(a), 1.0);
    EXPECT_NEAR(turned.bottom - turned.top, w * std::sin(a) + h * std::cos(a), 1.0);
}

// Two texts (the second bold, centred and a paragraph) and a rectangle between them, all selected.
struct CTextBarSetup : CTextSetup {
    CTextBarSetup() {
        CTextLook turned;
        turned.angle = 15.0f;
        plain = AddText(u"plain", {-100, -50}, turned);
        Drawing().Add(MakeRect({0, 40, 0, 40}));
        CTextLook look;
        look.corner = {300, 80};
        look.mode = kTextParagraph;
        look.alignment = kAlignCentre;
        look.style = kTextStyleBold;
        bold = AddText(u"bold words", {100, 0}, look);
        Select({0, 1, 2});
    }
    // Runs the command as one step: its undo gives back the drawing exactly.
    void RunUndone(int id) {
        const DrawingSnapshot before = Snapshot(Drawing());
        const int steps = UndoSteps();
        ASSERT_TRUE(State(id).enabled) << id;
        view.OnCommand(id);
        ASSERT_EQ(UndoSteps(), steps + 1) << id;
        const DrawingSnapshot after = Snapshot(Drawing());
        EXPECT_EQ(Undone(), before) << id;
        view.OnCommand(cmd::kRedo);
        EXPECT_EQ(Snapshot(Drawing()), after) << id;
    }
    const CTextShape& Text(int index) { return *Drawing().GetAt(index)->AsText(); }
    int plain = -1;
    int bold = -1;
};

TEST(TextBar, StylesAgreeingFlipAndStylesDifferingAreSetOnEveryText) {
    CTextBarSetup s;
    const std::vector<uint8_t> rectangle = SaveBytes(*s.Drawing().GetAt(1));
    EXPECT_FALSE(s.State(cmd::kTextBold).checked) << "the texts differ";
    s.RunUndone(cmd::kTextBold);
    EXPECT_EQ(s.Text(s.plain).style, kTextStyleBold);
    EXPECT_EQ(s.Text(s.bold).style, kTextStyleBold);
    EXPECT_TRUE(s.State(cmd::kTextBold).checked);
    s.RunUndone(cmd::kTextBold);
    EXPECT_EQ(s.Text(s.plain).style, 0);
    EXPECT_EQ(s.Text(s.bold).style, 0);
    s.RunUndone(cmd::kTextItalic);
    s.RunUndone(cmd::kTextUnderline);
    EXPECT_EQ(s.Text(s.plain).style, kTextStyleItalic | kTextStyleUnderline);
    EXPECT_TRUE(s.State(cmd::kTextItalic).checked);
    EXPECT_FALSE(s.State(cmd::kTextBold).checked);
    // The rectangle is left as it was, and still selected.
    EXPECT_EQ(SaveBytes(*s.Drawing().GetAt(1)), rectangle);
    EXPECT_EQ(s.view.GetSelection(), (std::vector<int>{0, 1, 2}));
    // Bold text is wider: the artistic text's bounds follow its style.
    const float narrow = s.Drawing().GetAt(s.plain)->bounds.right;
    s.view.OnCommand(cmd::kTextBold);
    EXPECT_GT(s.Drawing().GetAt(s.plain)->bounds.right, narrow);
}

TEST(TextBar, AlignmentAndKindChangeTheSelectedTextsAsOneStepEach) {
    CTextBarSetup s;
    EXPECT_FALSE(s.State(cmd::kTextAlignLeft).checked);
    EXPECT_FALSE(s.State(cmd::kTextAlignCenter).checked);
    s.RunUndone(cmd::kTextAlignRight);
    EXPECT_EQ(s.Text(s.plain).alignment, kAlignRight);
    EXPECT_EQ(s.Text(s.bold).alignment, kAlignRight);
    EXPECT_TRUE(s.State(cmd::kTextAlignRight).checked);
    EXPECT_FALSE(s.State(cmd::kTextAlignLeft).checked);
    // Choosing what every text already has is no step at all.
    const int steps = s.UndoSteps();
    s.view.OnCommand(cmd::kTextAlignRight);
    EXPECT_EQ(s.UndoSteps(), steps);

    // Artistic: the paragraph keeps its position and loses its frame's wrapping.
    EXPECT_FALSE(s.State(cmd::kTextArtistic).checked) << "the kinds differ";
    s.RunUndone(cmd::kTextArtistic);
    EXPECT_EQ(s.Text(s.bold).mode, kTextArtistic);
    EXPECT_TRUE(s.State(cmd::kTextArtistic).checked);
    s.view.OnCommand(cmd::kUndo);

    // Paragraph: the turned artistic text stands upright in a frame just around its line.
    s.RunUndone(cmd::kTextParagraph);
    const CTextShape& turned = s.Text(s.plain);
    EXPECT_EQ(turned.mode, kTextParagraph);
    EXPECT_EQ(turned.angle, 0.0f);
    EXPECT_NEAR(turned.corner.x - turned.position.x, MeasureTextBlock(turned).x, 1.0f);
    EXPECT_FLOAT_EQ(turned.corner.y - turned.position.y, MeasureTextBlock(turned).y);
    EXPECT_FLOAT_EQ(turned.position.x, -100.0f);
    EXPECT_EQ(WrappedLines(turned), std::vector<std::u16string>{u"plain"});
    // The paragraph that was one keeps its frame.
    EXPECT_EQ(s.Text(s.bold).corner, (CPointF{300, 80}));
    EXPECT_TRUE(s.State(cmd::kTextParagraph).checked);
}

TEST(TextBar, WithNothingSelectedTheCommandsSetTheStyleOfNewText) {
    CTextSetup s;
    s.view.SetTool(ToolKind::Select);
    const CNewObjectStyle& style = s.view.GetNewObjectStyle();
    s.view.OnCommand(cmd::kTextBold);
    s.view.OnCommand(cmd::kTextUnderline);
    EXPECT_EQ(style.textStyle, kTextStyleBold | kTextStyleUnderline);
    EXPECT_TRUE(s.State(cmd::kTextBold).checked);
    EXPECT_FALSE(s.State(cmd::kTextItalic).checked);
    s.view.OnCommand(cmd::kTextBold);
    EXPECT_EQ(style.textStyle, kTextStyleUnderline);
    EXPECT_TRUE(s.State(cmd::kTextAlignLeft).checked);
    s.view.OnCommand(cmd::kTextAlignCenter);
    EXPECT_EQ(style.textAlign, kAlignCentre);
    EXPECT_TRUE(s.State(cmd::kTextAlignCenter).checked);
    s.view.OnCommand(cmd::kTextParagraph);
    EXPECT_EQ(style.textType, kTextParagraph);
    EXPECT_TRUE(s.State(cmd::kTextParagraph).checked);
    EXPECT_FALSE(s.State(cmd::kTextArtistic).checked);
    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_FALSE(s.doc.IsModified());

    // A selection without a text leaves the text commands nothing to do: greyed.
    s.Drawing().Add(MakeRect({0, 40, 0, 40}));
    s.Select({0});
    for (int id :
         {cmd::kTextBold, cmd::kTextItalic, cmd::kTextUnderline, cmd::kTextAlignLeft, cmd::kTextAlignCenter,
          cmd::kTextAlignRight, cmd::kTextType, cmd::kTextArtistic, cmd::kTextParagraph}) {
        const CCommandStateSeen state = s.State(id);
        EXPECT_TRUE(state.handled) << id;
        EXPECT_FALSE(state.enabled) << id;
        EXPECT_FALSE(state.checked) << id;
    }
}

TEST(TextBar, TheTypeButtonPopsUpArtisticAndParagraphWithTheCurrentKindChecked) {
    CTextBarSetup s;
    s.Select({s.bold});
    s.host.menuChoice = cmd::kTextArtistic;
    s.view.OnCommand(cmd::kTextType);
    ASSERT_EQ(s.host.lastMenu.size(), 2u);
    EXPECT_EQ(s.host.lastMenu[0].id, cmd::kTextArtistic);
    EXPECT_EQ(s.host.lastMenu[0].text, "Artistic");
    EXPECT_EQ(s.host.lastMenu[1].text, "Paragraph");
    EXPECT_FALSE(s.host.lastMenu[0].checked);
    EXPECT_TRUE(s.host.lastMenu[1].checked);
    EXPECT_EQ(s.Text(s.bold).mode, kTextArtistic) << "the choice ran";
    s.view.OnCommand(cmd::kTextType);
    EXPECT_TRUE(s.host.lastMenu[0].checked);

    // A greyed choice is refused.
    s.Select({1});
    s.host.menuChoice = cmd::kTextParagraph;
    const DrawingSnapshot before = Snapshot(s.Drawing());
    s.view.OnCommand(cmd::kTextType);
    EXPECT_FALSE(s.host.lastMenu[1].enabled);
    EXPECT_EQ(Snapshot(s.Drawing()), before);
}

// The red ink (the text's colour) in client rows [top, bottom): a paragraph's grey dotted frame is not.
CRect LineInk(const CDibSection& bitmap, int top, int bottom) {
    return InkBox(
        bitmap,
        [](uint32_t pixel) {
            const int low = static_cast<int>(pixel & 0xFF), green = static_cast<int>((pixel >> 8) & 0xFF),
                      high = static_cast<int>((pixel >> 16) & 0xFF);
            return std::max(low, high) - green > 40;
        },
        top, bottom);
}

TEST(TextBar, AlignmentMovesTheLinesWhereTheRendererDrawsThem) {
    for (const int mode : {kTextArtistic, kTextParagraph}) {
        CTextSetup s;
        s.view.GetMapping().SetScale(1.0f);
        s.view.GetMapping().SetOrigins(0.0f, 0.0f, 20, 20);
        CTextLook look;
        look.corner = {340, 200};
        look.height = 24.0f;
        look.mode = mode;
        look.color = 0x0000FF; // red
        const int index = s.AddText(u"A much longer line\r\nshort", {20, 10}, look);
        const CTextShape& text = *s.Drawing().GetAt(index)->AsText();
        const float lineHeight = GetTextMetrics().MeasureString(text, u"a").y;
        const int secondTop = 30 + static_cast<int>(lineHeight) + 2;
        const int secondBottom = 30 + static_cast<int>(2 * lineHeight) - 2;
        std::map<int, CRect> ink;
        for (const int id : {cmd::kTextAlignLeft, cmd::kTextAlignRight, cmd::kTextAlignCenter}) {
            s.Select({index});
            s.view.OnCommand(id);
            s.view.SetTool(ToolKind::Pan); // no selection frame in the picture
            s.Paint();
            ink[id] = LineInk(s.view.GetBackBuffer(), secondTop, secondBottom);
            ASSERT_FALSE(ink[id].IsEmpty()) << mode << " " << id;
        }
        const CRect first = LineInk(s.view.GetBackBuffer(), 32, secondTop - 4);
        const int width = ink[cmd::kTextAlignLeft].Width();
        // Left: the short line starts where the text does; right: it ends where the block (or the frame)
        // does; centred: it sits halfway.
        EXPECT_NEAR(ink[cmd::kTextAlignLeft].left, 40, 4) << mode;
        const int rightEdge = mode == kTextParagraph ? 360 : first.right;
        EXPECT_NEAR(ink[cmd::kTextAlignRight].right, rightEdge, 4) << mode;
        EXPECT_NEAR(ink[cmd::kTextAlignCenter].left, (40 + rightEdge - width) / 2, 4) << mode;
        EXPECT_EQ(ink[cmd::kTextAlignRight].Width(), width);
    }
}

} // namespace
} // namespace pq::test
