#include "app/SplashWnd.h"

#include "app/framework/WinApp.h"
#include "res/resource.h"

namespace {

// The DPI at which a picture shows at its own size.
constexpr int kStandardDpi = 96;

}  // namespace

CSplashWnd* CSplashWnd::s_instance = nullptr;
BOOL CSplashWnd::s_enabled = FALSE;

CSplashWnd::~CSplashWnd() {
    s_instance = nullptr;
}

void CSplashWnd::Enable(BOOL bEnable) {
    s_enabled = bEnable;
}

void CSplashWnd::Show(CWnd* pParentWnd) {
    if (!s_enabled || s_instance != nullptr) {
        return;
    }
    // The object lives as long as its window: PostNcDestroy deletes it.
    auto* splash = new CSplashWnd;
    s_instance = splash;
    if (!splash->Create(pParentWnd)) {
        delete splash;
        return;
    }
    UpdateWindow(splash->m_hWnd);
}

BOOL CSplashWnd::Create(CWnd* pParentWnd) {
    if (!m_bitmap.Attach(LoadBitmapA(AfxGetApp()->m_hInstance, MAKEINTRESOURCEA(IDB_SPLASH)))) {
        return FALSE;
    }
    BITMAP picture;
    m_bitmap.GetBitmap(&picture);

    // The program is aware of the screen's DPI, so Windows does not scale
    // its windows: the picture grows with the screen's scale here, as the
    // message boxes and the dialog do by themselves.
    HDC screen = GetDC(nullptr);
    int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kStandardDpi;
    ReleaseDC(nullptr, screen);
    int width = MulDiv(picture.bmWidth, dpi, kStandardDpi);
    int height = MulDiv(picture.bmHeight, dpi, kStandardDpi);

    HWND owner = pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr;
    return CreateEx(0, WS_POPUP | WS_VISIBLE, 0, 0, width, height, owner);
}

int CSplashWnd::OnCreate(CREATESTRUCTA*) {
    CentreWindow(m_hWnd);
    return 0;
}

void CSplashWnd::OnPaint() {
    CPaintDC dc(this);

    HDC memory = CreateCompatibleDC(dc.m_hDC);
    if (memory == nullptr) {
        return;
    }
    BITMAP picture;
    m_bitmap.GetBitmap(&picture);
    RECT window;
    GetClientRect(m_hWnd, &window);
    HGDIOBJ previous = SelectObject(memory, m_bitmap.m_hObject);
    if (window.right == picture.bmWidth && window.bottom == picture.bmHeight) {
        BitBlt(dc.m_hDC, 0, 0, picture.bmWidth, picture.bmHeight, memory, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc.m_hDC, HALFTONE);
        SetBrushOrgEx(dc.m_hDC, 0, 0, nullptr);
        StretchBlt(dc.m_hDC, 0, 0, window.right, window.bottom, memory, 0, 0, picture.bmWidth,
                   picture.bmHeight, SRCCOPY);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void CSplashWnd::PostNcDestroy() {
    delete this;
}
