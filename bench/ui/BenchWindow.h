#pragma once

#include "platform/WindowHost.h"

namespace pq::bench {

// A window of a fixed size that only keeps its front buffer: the view paints and tools draw feedback
// into it as into a real one, and everything else the view asks of a window is a no-op.
class CBenchWindow : public IWindowHost {
public:
    CBenchWindow(int width, int height) : client{0, 0, width, height} { front.Create(width, height, 24); }
    void Invalidate() override {}
    void InvalidateRect(const CRect&) override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}
    [[nodiscard]] bool HasCapture() const override { return false; }
    bool SetTimer(int, int) override { return true; }
    void KillTimer(int) override {}
    [[nodiscard]] CRect GetClientRect() const override { return client; }
    void PostCommand(int) override {}
    void MessageBox(std::string_view) override {}
    int TrackPopupMenu(std::span<const CMenuItem>, CPoint, MenuAnchor) override { return 0; }
    [[nodiscard]] std::optional<CRect> GetCommandButtonRect(int) const override { return std::nullopt; }
    [[nodiscard]] bool IsInputPending() const override { return false; }
    bool RecognizeTapAndHold(CPoint) override { return false; }
    void SetCursor(CursorShape) override {}
    void SetScrollInfo(ScrollBarAxis, const CScrollBarInfo&) override {}
    void RefreshPageIndicator(int, int) override {}
    void SetToolButtonState(int, bool) override {}
    [[nodiscard]] CDibSection& GetFrontBuffer() override { return front; }
    void MarkDamaged(const CRect&) override {}

private:
    CRect client;
    CDibSection front;
};

} // namespace pq::bench
