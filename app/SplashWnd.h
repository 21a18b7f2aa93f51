#pragma once

#include "app/framework/Gdi.h"
#include "app/framework/Wnd.h"

// The title picture in a borderless window of its own size, centred on the
// screen, owned by the launcher dialog. Nothing hides it: it goes with its
// owner or with the process. The object lives on the heap exactly as long as
// its window.
class CSplashWnd : public CWnd {
public:
    ~CSplashWnd() override;

    static void Enable(BOOL bEnable);
    // Creates and paints the one splash window, once it is enabled.
    static void Show(CWnd* pParentWnd);

    BOOL Create(CWnd* pParentWnd);

    CBitmap m_bitmap;

protected:
    int OnCreate(CREATESTRUCTA*) override;
    void OnPaint() override;
    void PostNcDestroy() override;

private:
    CSplashWnd() = default;

    static CSplashWnd* s_instance;
    static BOOL s_enabled;
};
