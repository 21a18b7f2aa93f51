#pragma once

#include <windows.h>

class CWnd;

// Owns one bitmap handle and deletes it with the object.
class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Takes over the handle; FALSE, and nothing changes, for a null handle.
    BOOL Attach(HBITMAP bitmap);
    // The bitmap's BITMAP record; 0 when there is none.
    int GetBitmap(BITMAP* info) const;

    HBITMAP m_hObject = nullptr;
};

// BeginPaint for the lifetime of the object, EndPaint at its end.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
