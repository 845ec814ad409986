#pragma once

#include "app/CommandRouter.h"

#include <string>

namespace pq {

// What the frame's bottom bars look like; the shell shows them.
class IFrameBars {
public:
    virtual ~IFrameBars() = default;

    // Shows bar (1 drawing, 2 text, 3 pages) when visible, hides the other two (all three when not
    // visible), and lays the frame out again.
    virtual void ShowBottomBar(int bar, bool visible) = 0;
    virtual void SetPageIndicatorText(const std::string& text) = 0;
};

// The frame's own commands: which bottom bar shows and whether any shows, and the page indicator.
class CFrameCommands : public ICommandTarget {
public:
    static constexpr int kDrawingBar = 1;
    static constexpr int kTextBar = 2;
    static constexpr int kPagesBar = 3;

    explicit CFrameCommands(IFrameBars* bars = nullptr) : bars(bars) {}

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override;

    [[nodiscard]] int GetCurrentBar() const { return currentBar; }
    [[nodiscard]] bool IsToolbarVisible() const { return toolbarVisible; }
    // The bar the user sees: 0 while the toolbar is hidden.
    [[nodiscard]] int GetShownBar() const { return toolbarVisible ? currentBar : 0; }

    void ShowBar(int bar);
    void ToggleToolbar();

    // Shows "page/count" for the zero-based current page; the text changes only when it differs.
    void RefreshPageIndicator(int currentPage, int pageCount);
    [[nodiscard]] const std::string& GetPageIndicatorText() const { return pageIndicator; }

private:
    void Apply();

    IFrameBars* bars;
    int currentBar = kDrawingBar;
    bool toolbarVisible = true;
    std::string pageIndicator = "1/1";
};

[[nodiscard]] std::string FormatPageIndicator(int currentPage, int pageCount);

} // namespace pq
