// The reference for the launcher's start-up: the least a Win32 program does to
// show the same title picture. It starts a 3000 ms timer, shows bitmap 131 in
// a borderless pop-up window centred on the work area and paints it at once;
// on the tick it starts the program its command line names, if any, and ends.
// The same order as the launcher, without its dialog, framework and logic.
#include <windows.h>

namespace {

constexpr int kPictureId = 131;
constexpr UINT kDelayMs = 3000;
constexpr char kClassName[] = "VslBenchSplash";

void Paint(HWND window) {
    HBITMAP picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA));
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(target);
    if (memory != nullptr) {
        BITMAP size;
        GetObjectA(picture, sizeof(size), &size);
        HGDIOBJ previous = SelectObject(memory, picture);
        BitBlt(target, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK SplashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const CREATESTRUCTA* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
            return 0;
        }
        case WM_PAINT:
            Paint(window);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ShowPicture(HINSTANCE instance, HBITMAP picture) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = SplashProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    BITMAP size;
    GetObjectA(picture, sizeof(size), &size);
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = (area.left + area.right) / 2 - size.bmWidth / 2;
    int y = (area.top + area.bottom) / 2 - size.bmHeight / 2;
    HWND window = CreateWindowExA(0, kClassName, nullptr, WS_POPUP | WS_VISIBLE, x, y, size.bmWidth,
                                  size.bmHeight, nullptr, nullptr, instance, picture);
    if (window != nullptr) {
        UpdateWindow(window);
    }
    return window;
}

}  // namespace

// The parameters carry the names of the system's own declaration of WinMain.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    UINT_PTR timer = SetTimer(nullptr, 0, kDelayMs, nullptr);
    HBITMAP picture = LoadBitmapA(hInstance, MAKEINTRESOURCEA(kPictureId));
    if (picture == nullptr || ShowPicture(hInstance, picture) == nullptr) {
        return 1;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == timer) {
            KillTimer(nullptr, timer);
            if (lpCmdLine[0] != '\0') {
                WinExec(lpCmdLine, SW_SHOWNORMAL);
            }
            return 0;
        }
        DispatchMessageA(&message);
    }
    return 0;
}
