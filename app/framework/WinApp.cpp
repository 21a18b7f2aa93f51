#include "app/framework/WinApp.h"

#include "app/CommandLine.h"
#include "app/framework/Wnd.h"
#include "platform/Win32Platform.h"

namespace {

std::string ModulePath(HINSTANCE instance) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    return length < MAX_PATH ? std::string(path, length) : std::string();
}

std::string WithoutExtension(const std::string& path) {
    std::string::size_type dot = path.rfind('.');
    std::string::size_type separator = path.find_last_of("\\/");
    bool dotInFileName = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return dotInFileName ? path.substr(0, dot) : path;
}

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace

CWinApp::CWinApp(const char* appName) {
    if (appName != nullptr) {
        m_strAppName = appName;
    }
}

void CWinApp::Start(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    m_hInstance = instance;
    m_lpCmdLine = commandLine;
    m_nCmdShow = showCommand;
    std::string path = ModulePath(instance);
    if (m_strAppName.empty()) {
        m_strAppName = ProgramName();
    }
    m_strHelpFilePath = WithoutExtension(path) + ".HLP";
}

BOOL CWinApp::InitInstance() {
    return FALSE;
}

int CWinApp::ExitInstance() {
    return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::Run() {
    while (GetMessageA(&m_msgCur, nullptr, 0, 0) > 0) {
        TranslateMessage(&m_msgCur);
        DispatchMessageA(&m_msgCur);
    }
    return ExitInstance();
}

bool CWinApp::OnCommand(UINT) {
    return false;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    std::string commandLine = GetCommandLineA();
    if (commandLine.empty()) {
        commandLine = ModulePath(m_hInstance);
    }
    info.m_strFileName = ChooseLinkText(SplitCommandLine(commandLine, IsAnsiLeadByte));
}

// Every system this executable runs on is version 4 or later, where dialogs
// have the 3-D look of their own and there is nothing to register.
BOOL CWinApp::Enable3dControlsStatic() {
    return FALSE;
}

void CWinApp::OnHelp() {
    if (m_pMainWnd == nullptr || m_pMainWnd->m_hWnd == nullptr) {
        return;
    }
    if (!WinHelpA(m_pMainWnd->m_hWnd, m_strHelpFilePath.c_str(), HELP_CONTEXT, m_pMainWnd->HelpContextId())) {
        AfxMessageBox("Failed to launch help.", MB_ICONHAND);
    }
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    CWinApp* app = AfxGetApp();
    app->Start(instance, commandLine, showCommand);
    if (!app->InitInstance()) {
        if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) {
            DestroyWindow(app->m_pMainWnd->m_hWnd);
        }
        return app->ExitInstance();
    }
    return app->Run();
}

int AfxMessageBox(const std::string& text, UINT style) {
    CWinApp* app = AfxGetApp();
    HWND owner = app->m_pMainWnd != nullptr ? app->m_pMainWnd->m_hWnd : nullptr;
    return MessageBoxA(owner, text.c_str(), app->m_strAppName.c_str(), style);
}

// The parameters carry the names of the system's own declaration of WinMain.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nShowCmd);
}
