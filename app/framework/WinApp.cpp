#include "app/framework/WinApp.h"

#include "app/CommandLine.h"
#include "app/framework/Wnd.h"
#include "platform/Win32Platform.h"

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
    // The command line as the system holds it, in UTF-16, so that no code
    // page changes a character of it. The C runtime reads an empty command
    // line as the program's path.
    const wchar_t* wide = GetCommandLineW();
    std::string commandLine = FromWide(wide, wcslen(wide)).value_or(std::string());
    if (commandLine.empty()) {
        commandLine = ProgramPath();
    }
    info.m_strFileName = ChooseLinkText(SplitCommandLine(commandLine));
}

int AfxMessageBox(const std::string& text, UINT style) {
    CWinApp* app = AfxGetApp();
    HWND owner = app->m_pMainWnd != nullptr ? app->m_pMainWnd->m_hWnd : nullptr;
    return MessageBoxW(owner, ShownAsWide(text).data(), ShownAsWide(app->m_strAppName).data(), style);
}

// The parameters carry the names of the system's own declaration of WinMain.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    CWinApp* app = AfxGetApp();
    app->m_hInstance = hInstance;
    app->m_strAppName = ProgramName();
    std::string path = ProgramPath();
    std::string::size_type dot = path.rfind('.');
    std::string::size_type slash = path.find_last_of("\\/");
    bool dotInFileName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    app->m_strHelpFilePath = (dotInFileName ? path.substr(0, dot) : path) + ".HLP";

    app->InitInstance();
    return app->ExitInstance();
}
