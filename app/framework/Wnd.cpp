#include "app/framework/Wnd.h"

#include "app/Layout.h"
#include "app/framework/WinApp.h"

constexpr char kClassName[] = "VastrelWindow";

// The application's pointer to its main window goes with the object.
CWnd::~CWnd() {
    CWinApp* app = AfxGetApp();
    if (app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
    }
}

BOOL CWnd::CreateEx(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND owner) {
    HINSTANCE instance = AfxGetApp()->m_hInstance;
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(instance, kClassName, &windowClass)) {
        windowClass.lpfnWndProc = WindowProcedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        // A failed registration shows as a failed creation.
        RegisterClassA(&windowClass);
    }
    m_bCreating = true;
    HWND window = CreateWindowExA(exStyle, kClassName, nullptr, style, x, y, width, height, owner, nullptr,
                                  instance, this);
    m_bCreating = false;
    return window != nullptr;
}

void CWnd::OnPaint() {
    DefWindowProcA(m_hWnd, WM_PAINT, 0, 0);
}

void CWnd::WindowDestroyed() {
    m_hWnd = nullptr;
    // A window that dies inside its own CreateEx leaves its object to the
    // code that asked for the window, which learns of it from CreateEx.
    if (!m_bCreating) {
        PostNcDestroy();
    }
}

LRESULT CALLBACK CWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        object->m_hWnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    auto* object = reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (object == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            return object->OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
        case WM_PAINT:
            object->OnPaint();
            return 0;
        case WM_NCDESTROY: {
            LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            object->WindowDestroyed();
            return result;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void CentreWindow(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    LayoutRect area{work.left, work.top, work.right, work.bottom};
    RECT own;
    GetWindowRect(window, &own);
    LayoutPoint origin = CentredOrigin(area, area, own.right - own.left, own.bottom - own.top);
    SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
