// A stand-in game for trying the launcher by hand: a window that shows, in
// large print, the command line it was started with (one +set or +connect to
// a line) and its working folder.
//
// It stays until it is closed, unless VSL_DEMO_CLOSE_AFTER holds a number of
// seconds after which it closes by itself (for runs without anyone watching).
#include <windows.h>
#include <windowsx.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kClassName[] = "VastrelDemoGame";
constexpr char kCloseAfterVariable[] = "VSL_DEMO_CLOSE_AFTER";
constexpr UINT_PTR IDT_CLOSE = 1;
constexpr int kMargin = 24;
constexpr COLORREF kBackground = RGB(24, 20, 48);
constexpr COLORREF kHeadingColour = RGB(255, 190, 80);
constexpr COLORREF kTextColour = RGB(240, 240, 255);
constexpr COLORREF kArgumentColour = RGB(120, 230, 160);

HINSTANCE g_hinst;
HFONT g_hfontHeading;
HFONT g_hfontText;
HBRUSH g_hbrBackground;
std::vector<std::string> g_commandLines;  // the program, then each +argument
std::string g_folder;
int g_closeAfterSeconds;  // 0: stay until closed

// "WolfMP.exe +set name Player +connect 10.0.0.1:27960" becomes
// "WolfMP.exe", "+set name Player", "+connect 10.0.0.1:27960".
std::vector<std::string> SplitAtArguments(const std::string& commandLine) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type plus = commandLine.find(" +", start);
        pieces.push_back(
            commandLine.substr(start, plus == std::string::npos ? std::string::npos : plus - start));
        if (plus == std::string::npos) {
            return pieces;
        }
        start = plus + 1;
    }
}

HFONT CreateLargeFont(int height, int weight) {
    return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
}

// Draws one line at *y and moves *y below it.
void DrawLine(HDC hdc, HFONT font, COLORREF colour, int x, int* y, const std::string& text) {
    SelectFont(hdc, font);
    SetTextColor(hdc, colour);
    TextOutA(hdc, x, *y, text.c_str(), static_cast<int>(text.size()));
    TEXTMETRICA metrics;
    GetTextMetricsA(hdc, &metrics);
    *y += metrics.tmHeight + metrics.tmExternalLeading;
}

void PaintContent(HWND, PAINTSTRUCT* pps) {
    HDC hdc = pps->hdc;
    SetBkMode(hdc, TRANSPARENT);
    HFONT previous = SelectFont(hdc, g_hfontText);
    int y = kMargin;
    DrawLine(hdc, g_hfontHeading, kHeadingColour, kMargin, &y, "Vastrel demo game");
    y += kMargin / 2;
    DrawLine(hdc, g_hfontText, kTextColour, kMargin, &y, "Started with the command line:");
    for (size_t i = 0; i < g_commandLines.size(); i++) {
        int indent = i == 0 ? 2 * kMargin : 4 * kMargin;
        DrawLine(hdc, g_hfontText, kArgumentColour, indent, &y, g_commandLines[i]);
    }
    y += kMargin / 2;
    DrawLine(hdc, g_hfontText, kTextColour, kMargin, &y, "In the folder:");
    DrawLine(hdc, g_hfontText, kArgumentColour, 2 * kMargin, &y, g_folder);
    if (g_closeAfterSeconds > 0) {
        y += kMargin / 2;
        DrawLine(hdc, g_hfontText, kTextColour, kMargin, &y,
                 "Closes by itself after " + std::to_string(g_closeAfterSeconds) + " s.");
    }
    SelectFont(hdc, previous);
}

BOOL OnCreate(HWND hwnd, LPCREATESTRUCT) {
    if (g_closeAfterSeconds > 0) {
        SetTimer(hwnd, IDT_CLOSE, static_cast<UINT>(g_closeAfterSeconds) * 1000, NULL);
    }
    return TRUE;
}

void OnTimer(HWND hwnd, UINT id) {
    if (id == IDT_CLOSE) {
        DestroyWindow(hwnd);
    }
}

void OnDestroy(HWND) {
    PostQuitMessage(0);
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    PaintContent(hwnd, &ps);
    EndPaint(hwnd, &ps);
}

void OnPrintClient(HWND hwnd, HDC hdc) {
    PAINTSTRUCT ps = {};
    ps.hdc = hdc;
    GetClientRect(hwnd, &ps.rcPaint);
    PaintContent(hwnd, &ps);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT uiMsg, WPARAM wParam, LPARAM lParam) {
    switch (uiMsg) {
        HANDLE_MSG(hwnd, WM_CREATE, OnCreate);
        HANDLE_MSG(hwnd, WM_TIMER, OnTimer);
        HANDLE_MSG(hwnd, WM_DESTROY, OnDestroy);
        HANDLE_MSG(hwnd, WM_PAINT, OnPaint);
        case WM_PRINTCLIENT:
            OnPrintClient(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
    }
    return DefWindowProcA(hwnd, uiMsg, wParam, lParam);
}

void ReadHowWeWereStarted() {
    g_commandLines = SplitAtArguments(GetCommandLineA());
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    g_folder = folder;
    const char* closeAfter = std::getenv(kCloseAfterVariable);
    g_closeAfterSeconds = closeAfter != NULL ? std::atoi(closeAfter) : 0;
}

BOOL InitApp() {
    g_hfontHeading = CreateLargeFont(40, FW_BOLD);
    g_hfontText = CreateLargeFont(26, FW_NORMAL);
    g_hbrBackground = CreateSolidBrush(kBackground);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = g_hinst;
    wc.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = g_hbrBackground;
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hinst, HINSTANCE, LPSTR, int nShowCmd) {
    g_hinst = hinst;
    ReadHowWeWereStarted();
    if (!InitApp()) {
        return 1;
    }

    RECT workArea;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    int width = 880;
    int height = 440;
    HWND hwnd = CreateWindowA(
        kClassName, "Vastrel demo game", WS_OVERLAPPEDWINDOW, (workArea.left + workArea.right - width) / 2,
        (workArea.top + workArea.bottom - height) / 2, width, height, NULL, NULL, hinst, NULL);
    if (hwnd == NULL) {
        return 1;
    }
    // The launcher starts games hidden, which real games disregard. The first
    // ShowWindow may take the start's show state instead of its own; a second
    // one never does.
    ShowWindow(hwnd, nShowCmd);
    ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DeleteObject(g_hfontHeading);
    DeleteObject(g_hfontText);
    DeleteObject(g_hbrBackground);
    return 0;
}
