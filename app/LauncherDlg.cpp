#include "app/LauncherDlg.h"

#include "app/Layout.h"
#include "app/SplashWnd.h"
#include "app/framework/Gdi.h"
#include "app/framework/WinApp.h"
#include "link/GameLauncher.h"
#include "link/LinkParser.h"
#include "res/resource.h"
#include "uninstall/Uninstaller.h"

CLauncherDlg::CLauncherDlg()
    : CDialog(IDD_LAUNCHER), m_hIcon(LoadIconA(AfxGetApp()->m_hInstance, MAKEINTRESOURCEA(IDI_LAUNCHER))) {}

INT_PTR CLauncherDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
        case WM_TIMER:
            OnTimer(wParam);
    }
    return CDialog::DialogProc(message, wParam, lParam);
}

BOOL CLauncherDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    if (m_strLink.empty()) {
        m_platform.Fail("Missing Parameters");
    }

    SetTimer(m_hWnd, IDT_LAUNCH, kLaunchDelayMs, nullptr);

    CSplashWnd::Enable(TRUE);
    CSplashWnd::Show(this);
    return TRUE;
}

void CLauncherDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(m_hWnd, &rect);
    int x = MinimisedIconOffset(rect.right - rect.left, cxIcon);
    int y = MinimisedIconOffset(rect.bottom - rect.top, cyIcon);
    DrawIcon(dc.m_hDC, x, y, m_hIcon);
}

HCURSOR CLauncherDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

// Whatever timer the message names, the launch happens once: the timer stops
// first, so the message boxes on the way cannot let a second tick in.
void CLauncherDlg::OnTimer(UINT_PTR) {
    KillTimer(m_hWnd, IDT_LAUNCH);

    if (m_strLink == "uninstall") {
        RunUninstall(m_platform);
    }

    LaunchRequest request = LinkParser(m_platform, m_strLink);
    m_strGameId = request.m_strGameId;
    m_strHost = request.m_strHost;
    m_strPort = request.m_strPort;
    m_settings = request.m_settings;
    GameLauncher(m_platform, request);
}
