#include "harness/ProcessWindows.h"

#include <algorithm>

#include "tests/support/Files.h"
#include "harness/Screen.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 1088;
constexpr char kDialogClass[] = "#32770";
constexpr DWORD kPaintLimitMs = 2000;

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string CaptionOf(HWND window) {
    char caption[1024] = "";
    GetWindowTextA(window, caption, sizeof(caption));
    return caption;
}

WindowView ViewOf(HWND window) {
    WindowView view;
    view.handle = window;
    // Visibility first: the launcher places a window before it shows it, so a
    // window seen visible here has its final place when it is read below.
    view.visible = IsWindowVisible(window) != FALSE;
    view.className = ClassOf(window);
    view.caption = CaptionOf(window);
    GetWindowRect(window, &view.rect);
    view.style = GetWindowLongA(window, GWL_STYLE);
    view.exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    view.owner = GetWindow(window, GW_OWNER);
    return view;
}

struct Search {
    DWORD processId;
    std::vector<WindowView> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) {
        search->found.push_back(ViewOf(window));
    }
    return TRUE;
}

bool IsMessageBox(const WindowView& window) {
    return window.className == kDialogClass && GetDlgItem(window.handle, kMessageTextId) != NULL;
}

std::optional<WindowView> WaitForVisibleWindow(DWORD processId, DWORD limitMs,
                                               bool (*wanted)(const WindowView&)) {
    std::optional<WindowView> match;
    PollUntil(limitMs, [&] {
        for (const WindowView& window : VisibleWindowsOf(processId)) {
            if (wanted(window)) {
                match = window;
                return true;
            }
        }
        return false;
    });
    return match;
}

}  // namespace

std::vector<WindowView> TopLevelWindowsOf(DWORD processId) {
    Search search{processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<WindowView> VisibleWindowsOf(DWORD processId) {
    std::vector<WindowView> visible;
    for (const WindowView& window : TopLevelWindowsOf(processId)) {
        if (window.visible) {
            visible.push_back(window);
        }
    }
    return visible;
}

std::optional<WindowView> WaitForLauncherDialog(DWORD processId, DWORD limitMs) {
    return WaitForVisibleWindow(processId, limitMs, [](const WindowView& window) {
        return window.className == kDialogClass && !IsMessageBox(window);
    });
}

std::optional<WindowView> WaitForSplash(DWORD processId, DWORD limitMs) {
    return WaitForVisibleWindow(processId, limitMs,
                                [](const WindowView& window) { return window.className != kDialogClass; });
}

bool IsAbove(HWND upper, HWND lower) {
    for (HWND below = GetWindow(upper, GW_HWNDNEXT); below != NULL; below = GetWindow(below, GW_HWNDNEXT)) {
        if (below == lower) {
            return true;
        }
    }
    return false;
}

std::optional<MessageBoxView> WaitForMessageBox(DWORD processId, DWORD limitMs) {
    std::optional<WindowView> window = WaitForVisibleWindow(processId, limitMs, IsMessageBox);
    if (!window) {
        return std::nullopt;
    }
    MessageBoxView box;
    box.handle = window->handle;
    box.caption = window->caption;
    char text[4096] = "";
    GetDlgItemTextA(box.handle, kMessageTextId, text, sizeof(text));
    box.text = text;
    for (int id = IDOK; id <= IDNO; id++) {
        HWND button = GetDlgItem(box.handle, id);
        if (button != NULL && IsWindowVisible(button)) {
            box.buttons.push_back(id);
        }
    }
    HWND icon = GetDlgItem(box.handle, kMessageIconId);
    if (icon != NULL && IsWindowVisible(icon)) {
        box.icon = icon;
    }
    return box;
}

std::string IconShownIn(const MessageBoxView& box) {
    if (box.icon == NULL) {
        return "none";
    }
    RECT area = {};
    GetWindowRect(box.icon, &area);
    struct Candidate {
        const char* name;
        LPCSTR id;
    };
    const Candidate candidates[] = {{"hand", IDI_HAND},
                                    {"question", IDI_QUESTION},
                                    {"exclamation", IDI_EXCLAMATION},
                                    {"asterisk", IDI_ASTERISK}};
    // The box is painted a moment after it appears.
    std::string shown = "unknown";
    PollUntil(kPaintLimitMs, [&] {
        Picture onScreen = CaptureScreen(area);
        if (onScreen.pixels.empty()) {
            return false;
        }
        // Nothing but background: no icon yet, or none at all; look again
        // until the limit.
        std::uint32_t corner = onScreen.pixels[0];
        if (std::all_of(onScreen.pixels.begin(), onScreen.pixels.end(),
                        [&](std::uint32_t pixel) { return pixel == corner; })) {
            shown = "none";
            return false;
        }
        // An icon's corners are transparent: they show the box's background.
        COLORREF background = RGB(corner >> 16, (corner >> 8) & 0xFF, corner & 0xFF);
        for (const Candidate& candidate : candidates) {
            Picture drawn =
                DrawSystemIcon(candidate.id, area.right - area.left, area.bottom - area.top, background);
            if (CountDifferentPixels(onScreen, drawn, 0) == 0) {
                shown = candidate.name;
                return true;
            }
        }
        shown = "unknown";
        return false;
    });
    return shown;
}

void Press(const MessageBoxView& box, int buttonId) {
    if (!PostMessageA(box.handle, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(box.handle, buttonId)))) {
        throw SetupError("cannot answer the message box");
    }
}

std::string DescribeWindowsOf(DWORD processId) {
    std::string description = "windows of process " + std::to_string(processId) + ", top first:\n";
    for (const WindowView& window : TopLevelWindowsOf(processId)) {
        const RECT& r = window.rect;
        description += "  " + window.className + " \"" + window.caption + "\" " +
                       (window.visible ? "visible" : "hidden") + " (" + std::to_string(r.left) + ", " +
                       std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
                       std::to_string(r.bottom) + ")\n";
    }
    return description;
}

bool WaitUntilGone(HWND window, DWORD limitMs) {
    return PollUntil(limitMs, [&] { return !IsWindow(window); });
}
