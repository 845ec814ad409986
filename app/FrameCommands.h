#pragma once

#include "app/CommandRouter.h"

#include <optional>
#include <string>
#include <string_view>

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

// What "Go to page..." needs: the pages of the drawing on screen, a dialog asking a page number and a
// message box.
class IPageNavigation {
public:
    virtual ~IPageNavigation() = default;

    [[nodiscard]] virtual int GetPageCount() const = 0;
    [[nodiscard]] virtual int GetShownPage() const = 0; // zero-based
    virtual void ShowPage(int pageIndex) = 0;
    // Asks for a page number, the field starting with initial; nothing when the user cancels.
    [[nodiscard]] virtual std::optional<std::string> AskPageNumber(const std::string& prompt,
                                                                   const std::string& initial) = 0;
    virtual void ShowPageMessage(std::string_view text) = 0;
};

// The frame's own commands: which bottom bar shows and whether any shows, the page indicator, and "Go to
// page...".
class CFrameCommands : public ICommandTarget {
public:
    static constexpr int kDrawingBar = 1;
    static constexpr int kTextBar = 2;
    static constexpr int kPagesBar = 3;

    explicit CFrameCommands(IFrameBars* bars = nullptr) : bars(bars) {}

    // Without it (no view) "Go to page..." is greyed.
    void SetPageNavigation(IPageNavigation* navigation) { pages = navigation; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override;

    [[nodiscard]] int GetCurrentBar() const { return currentBar; }
    [[nodiscard]] bool IsToolbarVisible() const { return toolbarVisible; }
    // The bar the user sees: 0 while the toolbar is hidden.
    [[nodiscard]] int GetShownBar() const { return toolbarVisible ? currentBar : 0; }

    void ShowBar(int bar);
    void ToggleToolbar();

    // Asks for a page number until one names a page (each refusal says why, and the field keeps what was
    // typed) or the user cancels; true when a page was shown. Nothing changes before that.
    bool GoToPage();

    // Shows "page/count" for the zero-based current page; the text changes only when it differs.
    void RefreshPageIndicator(int currentPage, int pageCount);
    [[nodiscard]] const std::string& GetPageIndicatorText() const { return pageIndicator; }

private:
    void Apply();

    IFrameBars* bars;
    IPageNavigation* pages = nullptr;
    int currentBar = kDrawingBar;
    bool toolbarVisible = true;
    std::string pageIndicator = "1/1";
};

[[nodiscard]] std::string FormatPageIndicator(int currentPage, int pageCount);

} // namespace pq
