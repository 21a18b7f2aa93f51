#pragma once

#include <windows.h>

#include <string>

// A window object attached to one window. The framework's window procedure
// hands WM_CREATE and WM_PAINT to OnCreate and OnPaint and calls PostNcDestroy
// after the window's last message, WM_NCDESTROY.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window for this object with a class from RegisterWindowClass.
    BOOL CreateEx(DWORD exStyle, const std::string& className, const char* windowName, DWORD style, int x,
                  int y, int width, int height, HWND owner, HMENU menu);

    // The help context that the Help command asks for when this is the main window.
    virtual DWORD HelpContextId() const { return 0; }

    HWND m_hWnd = nullptr;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing of WM_CREATE and WM_PAINT.
    virtual int OnCreate(CREATESTRUCTA* createStruct);
    virtual void OnPaint();
    // Called after the window is gone; an object that lives on the heap for
    // as long as its window may delete itself here.
    virtual void PostNcDestroy() {}

    // The bookkeeping after WM_NCDESTROY, for this class's window procedure
    // and for the dialog procedure alike.
    void WindowDestroyed();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    friend std::string RegisterWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon);

    bool m_bCreating = false;
};

// Registers a window class for CWnd objects, or finds the one registered
// before with the same values, and returns its name.
std::string RegisterWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon);

// Centres the window on its owner when the owner is visible and not
// minimised, otherwise on the work area of the main window's monitor, and
// keeps it inside that monitor's work area.
void CentreWindow(HWND window);
