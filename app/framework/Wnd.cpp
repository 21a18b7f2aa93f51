#include "app/framework/Wnd.h"

#include "app/Layout.h"
#include "app/framework/WinApp.h"

namespace {

constexpr char kClassName[] = "VastrelWindow";

LayoutRect LayoutRectOf(const RECT& rect) {
    return LayoutRect{rect.left, rect.top, rect.right, rect.bottom};
}

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    return info.rcWork;
}

}  // namespace

CWnd::~CWnd() {
    CWinApp* app = AfxGetApp();
    if (app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
    }
    if (m_hWnd != nullptr) {
        DestroyWindow(m_hWnd);
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

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
        case WM_PAINT:
            OnPaint();
            return 0;
    }
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

int CWnd::OnCreate(CREATESTRUCTA* createStruct) {
    return static_cast<int>(DefWindowProcA(m_hWnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(createStruct)));
}

void CWnd::OnPaint() {
    DefWindowProcA(m_hWnd, WM_PAINT, 0, 0);
}

void CWnd::WindowDestroyed() {
    m_hWnd = nullptr;
    CWinApp* app = AfxGetApp();
    if (app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
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
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        object->WindowDestroyed();
    }
    return result;
}

void CentreWindow(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner != nullptr && (!IsWindowVisible(owner) || IsIconic(owner))) {
        owner = nullptr;
    }
    RECT reference;
    RECT area;
    if (owner == nullptr) {
        CWnd* mainWnd = AfxGetApp()->m_pMainWnd;
        HWND mainWindow = mainWnd != nullptr ? mainWnd->m_hWnd : nullptr;
        HMONITOR monitor = mainWindow != nullptr ? MonitorFromWindow(mainWindow, MONITOR_DEFAULTTOPRIMARY)
                                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        area = WorkAreaOf(monitor);
        reference = area;
    } else {
        GetWindowRect(owner, &reference);
        area = WorkAreaOf(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST));
    }
    RECT own;
    GetWindowRect(window, &own);
    LayoutPoint origin = CentredOrigin(LayoutRectOf(reference), LayoutRectOf(area), own.right - own.left,
                                       own.bottom - own.top);
    SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
