#pragma once

#include <windows.h>

#include <string>

class CWnd;

// What the command line asked for: its first plain argument.
struct CCommandLineInfo {
    std::string m_strFileName;
};

// The application: one object of a class derived from this, in static
// storage. WinMain runs InitInstance and then ends the process with
// ExitInstance's code; the application runs no message loop of its own.
class CWinApp {
public:
    CWinApp() = default;
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() = 0;
    // The exit code when InitInstance returns: the word parameter of the last
    // message that a modal loop fetched.
    int ExitInstance() const { return static_cast<int>(m_msgCur.wParam); }

    void ParseCommandLine(CCommandLineInfo& info) const;

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    // The executable's file name without its extension, which captions every
    // message box, and its path with ".HLP" in place of its extension.
    std::string m_strAppName;
    std::string m_strHelpFilePath;
    MSG m_msgCur{};
};

// Defined by the application, which owns the one application object.
CWinApp* AfxGetApp();

// A message box captioned with the application's name and owned by the main
// window while that has a window.
int AfxMessageBox(const std::string& text, UINT style = MB_OK);
