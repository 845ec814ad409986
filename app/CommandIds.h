#pragma once

#include "ui/view/ViewCommands.h"

#include <span>
#include <string_view>

namespace pq {

// Every command the editor's menus, buttons, pop-ups and keys send: the view's own commands
// (ui/view/ViewCommands.h) and the rest. The numbers are stable: tests and scripts refer to them.
namespace cmd {

// File
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFileTemplate = 32936;
inline constexpr int kFileImport = 32843;
inline constexpr int kSendEmail = 32930;
inline constexpr int kSendFtp = 32931;
inline constexpr int kExportBitmap = 32895;
inline constexpr int kHelp = 57670;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;

// Edit (the view's edit commands are in ui/view/ViewCommands.h)
inline constexpr int kProperties = 32795;

// View
inline constexpr int kToolbar = 32796;
inline constexpr int kDrawingBar = 32912;
inline constexpr int kTextBar = 32928;
inline constexpr int kPagesBar = 32913;
inline constexpr int kGoToPage = 32971; // asks a page number and shows that page

// Help (the File menu's Help... and About... open the same as the Help menu's Contents and About)
inline constexpr int kHelpContents = 32972;
inline constexpr int kHelpAbout = 32973;

// Tools
inline constexpr int kLibrary = 32890;
inline constexpr int kSendToLibrary = 32891;
inline constexpr int kSettings = 32893;

// Text: the view carries the text commands (ui/view/ViewCommands.h).

// Colours (the line and fill commands are in ui/view/ViewCommands.h)
inline constexpr int kColor = 32844;

// The node commands are in ui/view/ViewCommands.h.

// The page indicator control in the pages bar.
inline constexpr int kPageIndicator = 1123;

} // namespace cmd

// The text a command shows in menus and as a tooltip; empty for commands shown nowhere.
[[nodiscard]] std::string_view CommandText(int id);

// Every command id above (the control id excluded), for tables that walk them all.
[[nodiscard]] std::span<const int> AllCommands();

} // namespace pq
