#pragma once

#include <windows.h>

#include "app/framework/Wnd.h"

// Owns one bitmap handle and deletes it with the object.
class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() {
        if (m_hObject != nullptr) {
            DeleteObject(m_hObject);
        }
    }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Takes over the handle of a bitmap that has none yet; FALSE for a null
    // handle.
    BOOL Attach(HBITMAP bitmap) {
        m_hObject = bitmap;
        return bitmap != nullptr;
    }

    int GetBitmap(BITMAP* info) const { return GetObjectA(m_hObject, sizeof(BITMAP), info); }

    HBITMAP m_hObject = nullptr;
};

// BeginPaint for the lifetime of the object, EndPaint at its end.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* window) : m_hWnd(window->m_hWnd) { m_hDC = BeginPaint(m_hWnd, &m_ps); }
    ~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC m_hDC;

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
};
