#include "app/LauncherApp.h"

#include "app/LauncherDlg.h"

namespace {

CLauncherApp theApp;

}  // namespace

CWinApp* AfxGetApp() {
    return &theApp;
}

BOOL CLauncherApp::InitInstance() {
    CLauncherDlg dlg;
    m_pMainWnd = &dlg;

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!cmdInfo.m_strFileName.empty()) {
        dlg.m_strLink = cmdInfo.m_strFileName;
    }

    // Every ordinary run ends the process inside the dialog; this returns only
    // when the user closed the dialog first.
    dlg.DoModal();
    return FALSE;
}
