#include "app/framework/Gdi.h"

#include "app/framework/Wnd.h"

CBitmap::~CBitmap() {
    if (m_hObject != nullptr) {
        DeleteObject(m_hObject);
    }
}

BOOL CBitmap::Attach(HBITMAP bitmap) {
    if (bitmap == nullptr) {
        return FALSE;
    }
    if (m_hObject != nullptr) {
        DeleteObject(m_hObject);
    }
    m_hObject = bitmap;
    return TRUE;
}

int CBitmap::GetBitmap(BITMAP* info) const {
    return m_hObject != nullptr ? GetObjectA(m_hObject, sizeof(BITMAP), info) : 0;
}

CPaintDC::CPaintDC(CWnd* window) : m_ps(), m_hWnd(window->m_hWnd) {
    m_hDC = BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    EndPaint(m_hWnd, &m_ps);
}
