#pragma once

// A window host for headless tests: it owns a front buffer of the client size and records what the view
// asks of its window, and it runs posted commands on demand.

#include "platform/WindowHost.h"
#include "ui/view/PqxView.h"

#include <deque>
#include <map>
#include <vector>

namespace pq::test {

class CRecordingWindowHost : public IWindowHost {
public:
    explicit CRecordingWindowHost(int width = 400, int height = 300) { Resize(width, height); }

    void Resize(int width, int height) {
        client = CRect{0, 0, width, height};
        front.Clear();
        front.Create(width, height, 24);
        CDeviceContext(&front).FillSolidRect(client, 0xFFFFFF);
    }

    void Invalidate() override { ++invalidations; }
    void InvalidateRect(const CRect&) override { ++invalidations; }
    void SetCapture() override { captured = true; }
    void ReleaseCapture() override { captured = false; }
    [[nodiscard]] bool HasCapture() const override { return captured; }
    bool SetTimer(int id, int) override {
        timers[id] = true;
        return true;
    }
    void KillTimer(int id) override { timers.erase(id); }
    [[nodiscard]] CRect GetClientRect() const override { return client; }
    void PostCommand(int id) override { posted.push_back(id); }
    void MessageBox(std::string_view text) override { messages.emplace_back(text); }
    int TrackPopupMenu(std::span<const CMenuItem> items, CPoint, MenuAnchor) override {
        lastMenu.assign(items.begin(), items.end());
        return menuChoice;
    }
    [[nodiscard]] std::optional<CRect> GetCommandButtonRect(int) const override { return std::nullopt; }
    [[nodiscard]] bool IsInputPending() const override { return false; }
    // Tests decide whether a press is the context-menu gesture.
    bool tapAndHold = false;
    [[nodiscard]] bool RecognizeTapAndHold(CPoint) override { return tapAndHold; }
    void SetCursor(CursorShape shape) override { cursor = shape; }
    void SetScrollInfo(ScrollBarAxis axis, const CScrollBarInfo& info) override {
        scrollBars[axis] = info;
        if (info.range > 0)
            ++shownScrollInfos;
    }
    void MappingChanged() override { ++mappingChanges; }
    void RefreshPageIndicator(int page, int count) override { indicator = {page, count}; }
    void SetToolButtonState(int commandId, bool checked) override { buttons[commandId] = checked; }
    [[nodiscard]] CDibSection& GetFrontBuffer() override { return front; }
    void MarkDamaged(const CRect& rect) override { damage.push_back(rect); }

    // Routes the queued commands to the view, as the shell's message loop does.
    void RunPosted(CPqxView& view) {
        while (!posted.empty()) {
            const int id = posted.front();
            posted.pop_front();
            view.OnCommand(id);
        }
    }

    CRect client;
    CDibSection front;
    int invalidations = 0;
    bool captured = false;
    std::map<int, bool> timers;
    std::deque<int> posted;
    std::vector<std::string> messages;
    std::vector<CMenuItem> lastMenu;
    int menuChoice = 0;
    CursorShape cursor = CursorShape::Arrow;
    // What each scroll bar shows (a range of 0: hidden).
    std::map<ScrollBarAxis, CScrollBarInfo> scrollBars;
    // How often a bar was given something to show.
    int shownScrollInfos = 0;
    int mappingChanges = 0;
    std::pair<int, int> indicator{-1, -1};
    std::map<int, bool> buttons;
    std::vector<CRect> damage;
};

} // namespace pq::test
