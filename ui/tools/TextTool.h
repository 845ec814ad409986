#pragma once

#include "ui/tools/Tool.h"

namespace pq {

class CTextShape;

// Places a text where the stylus is released. The release opens the object property sheet for a new
// text (the string, artistic or paragraph, font and colour of new text); OK places a text with the
// view's new-text style at the released point as one undo step, Cancel places nothing and gives the
// stylus back to the tool that was current before this one. Points are not snapped.
//
// The Text command taps the tool once at a fixed point (PlaceByTap) and deals with the outcome itself.
class CTextTool : public CTool {
public:
    CTextTool() : CTool(ToolKind::Text) {}

    void OnLButtonUp(unsigned flags, CPoint point) override;
    // A press and release at point, as if tapped; the index of the placed text, or -1 when the sheet was
    // cancelled (the current tool is left as it is).
    int PlaceByTap(CPoint point);
    [[nodiscard]] CursorShape GetCursor() const override { return CursorShape::Text; }

    // The index of the text the last release placed, or -1 when it placed none.
    [[nodiscard]] int GetPlacedObject() const { return placed; }

private:
    // Asks for the text and places it at a client point; the new object's index or -1.
    int PlaceText(CPoint point);

    int placed = -1;
    // Set while PlaceByTap runs: its caller, not the tool, decides which tool follows a Cancel.
    bool tapping = false;
};

// Sizes a paragraph frame to its text: the corner goes to the position plus the text's measured block
// (laid out as artistic text, angle 0), widened to whole document units, the unit in which paragraph
// lines are fitted, so that the widest line fits its frame.
void SizeFrameToText(CTextShape& text);

} // namespace pq
