#pragma once

#include <windows.h>

// A window object attached to one window. The window procedure finds the
// object through the window's user data, which the object's address,
// handed over as the creation parameter, fills in on the window's first
// message; WM_CREATE and WM_PAINT go to OnCreate and OnPaint, and after the
// window's last message, WM_NCDESTROY, PostNcDestroy runs.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window for this object: a window of the framework's one
    // class, which has the arrow cursor and no background brush or icon.
    BOOL CreateEx(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND owner);

    HWND m_hWnd = nullptr;

protected:
    virtual int OnCreate(CREATESTRUCTA*) { return 0; }
    virtual void OnPaint();
    // After the window is gone: an object that lives on the heap for as long
    // as its window may delete itself here.
    virtual void PostNcDestroy() {}

    // After WM_NCDESTROY, for this class's window procedure and for the
    // dialog procedure alike: the object lets go of the window.
    void WindowDestroyed();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool m_bCreating = false;
};

// Centres the window on the primary monitor's work area and keeps it inside
// it. Every window of the program shows there: the dialog, which owns the
// others, is made at the screen's origin and hidden until it is centred.
void CentreWindow(HWND window);
