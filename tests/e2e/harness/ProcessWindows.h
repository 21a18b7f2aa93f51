#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/Wait.h"

// The windows of another process, found through EnumWindows and the process
// id of each window's thread, and read through the window manager.

struct WindowView {
    HWND handle = NULL;
    std::string className;
    std::string caption;
    RECT rect = {};
    LONG style = 0;
    LONG exStyle = 0;
    HWND owner = NULL;
    bool visible = false;
};

// The process's top-level windows, hidden ones included, the top of the
// z-order first.
std::vector<WindowView> TopLevelWindowsOf(DWORD processId);
std::vector<WindowView> VisibleWindowsOf(DWORD processId);

// The launcher's tiny dialog: a visible dialog window that is no message box.
std::optional<WindowView> WaitForLauncherDialog(DWORD processId, DWORD limitMs = kWindowLimitMs);
// The splash window: a visible window of the process that is no dialog.
std::optional<WindowView> WaitForSplash(DWORD processId, DWORD limitMs = kWindowLimitMs);

// Whether upper stands above lower in the z-order of top-level windows.
bool IsAbove(HWND upper, HWND lower);

// A message box as the user sees it. Wine builds it as a dialog whose text is
// the static control 0xFFFF and whose buttons carry the answer ids; the ones
// its style does not ask for are hidden.
struct MessageBoxView {
    HWND handle = NULL;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // ids of the visible buttons, IDOK = 1 ... IDNO = 7
    HWND icon = NULL;          // the icon's control; none when the box has no icon
};

std::optional<MessageBoxView> WaitForMessageBox(DWORD processId, DWORD limitMs = kWindowLimitMs);

// Which of the system's message icons the box shows: "hand", "question",
// "exclamation" or "asterisk", told apart by the pixels on the screen;
// "none" when the icon's place is empty and "unknown" when it shows
// something else.
std::string IconShownIn(const MessageBoxView& box);

// Answers the box as a click on the button with that id would.
void Press(const MessageBoxView& box, int buttonId);

// The process's top-level windows in a line each, for failure messages.
std::string DescribeWindowsOf(DWORD processId);

// Whether the window has gone within the limit.
bool WaitUntilGone(HWND window, DWORD limitMs = kWindowLimitMs);
