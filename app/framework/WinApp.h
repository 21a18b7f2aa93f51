#pragma once

#include <windows.h>

#include <string>

class CWnd;

// The command that asks for help on the main window (the F1 key).
constexpr UINT ID_HELP = 0xE146;

// What the command line asked for. Only the first plain argument is kept.
struct CCommandLineInfo {
    std::string m_strFileName;
};

// The application: one object of a class derived from this, in static
// storage. AfxWinMain drives it: InitInstance, then ExitInstance.
class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE: the application is not to run its message loop.
    virtual BOOL InitInstance();
    // The exit code. By default the wParam of the last message fetched.
    virtual int ExitInstance();
    virtual int Run();
    // A command that the main window did not handle; true when handled here.
    virtual bool OnCommand(UINT id);

    // Fills info from the process's command line.
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL Enable3dControlsStatic();
    // Opens the help file at the main window's help context.
    void OnHelp();

    // Run by AfxWinMain before InitInstance.
    void Start(HINSTANCE instance, LPSTR commandLine, int showCommand);

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWDEFAULT;
    std::string m_strAppName;
    std::string m_strHelpFilePath;
    // The last message that a message loop of the framework fetched.
    MSG m_msgCur{};
    // The window whose CreateEx is under way, until its first message.
    CWnd* m_pWndInit = nullptr;
};

// Defined by the application, which owns the one application object.
CWinApp* AfxGetApp();

int AfxWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

// A message box captioned with the application's name and owned by the main
// window while that has a window.
int AfxMessageBox(const std::string& text, UINT style = MB_OK);
