#include "app/FrameCommands.h"

#include "app/CommandIds.h"
#include "app/PageNumber.h"

#include <cstdio>

namespace pq {

namespace {

int BarOfCommand(int id) {
    switch (id) {
    case cmd::kDrawingBar:
        return CFrameCommands::kDrawingBar;
    case cmd::kTextBar:
        return CFrameCommands::kTextBar;
    case cmd::kPagesBar:
        return CFrameCommands::kPagesBar;
    default:
        return 0;
    }
}

} // namespace

bool CFrameCommands::OnCommand(int id) {
    if (id == cmd::kGoToPage) {
        GoToPage();
        return true;
    }
    if (id == cmd::kToolbar) {
        ToggleToolbar();
        return true;
    }
    if (const int bar = BarOfCommand(id); bar != 0) {
        ShowBar(bar);
        return true;
    }
    return false;
}

bool CFrameCommands::OnUpdateCommand(int id, bool& enabled, bool& checked) {
    if (id == cmd::kGoToPage) {
        // With one page there is nowhere to go.
        enabled = pages != nullptr && pages->GetPageCount() >= 2;
        return true;
    }
    if (id == cmd::kToolbar) {
        enabled = true;
        checked = toolbarVisible;
        return true;
    }
    if (const int bar = BarOfCommand(id); bar != 0) {
        enabled = true;
        checked = currentBar == bar;
        return true;
    }
    return false;
}

void CFrameCommands::ShowBar(int bar) {
    if (bar < kDrawingBar || bar > kPagesBar)
        return;
    currentBar = bar;
    Apply();
}

void CFrameCommands::ToggleToolbar() {
    toolbarVisible = !toolbarVisible;
    Apply();
}

bool CFrameCommands::GoToPage() {
    if (pages == nullptr)
        return false;
    std::string typed = std::to_string(pages->GetShownPage() + 1);
    for (;;) {
        const int count = pages->GetPageCount();
        const std::optional<std::string> answer = pages->AskPageNumber(PageNumberPrompt(count), typed);
        if (!answer)
            return false;
        const CPageNumberChoice choice = ParsePageNumber(*answer, count);
        if (choice.pageIndex) {
            pages->ShowPage(*choice.pageIndex);
            return true;
        }
        pages->ShowPageMessage(choice.message);
        typed = *answer;
    }
}

void CFrameCommands::Apply() {
    if (bars != nullptr)
        bars->ShowBottomBar(currentBar, toolbarVisible);
}

std::string FormatPageIndicator(int currentPage, int pageCount) {
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", currentPage + 1, pageCount);
    return text;
}

void CFrameCommands::RefreshPageIndicator(int currentPage, int pageCount) {
    std::string text = FormatPageIndicator(currentPage, pageCount);
    if (text == pageIndicator)
        return;
    pageIndicator = std::move(text);
    if (bars != nullptr)
        bars->SetPageIndicatorText(pageIndicator);
}

} // namespace pq
