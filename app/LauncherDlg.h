#pragma once

#include <string>
#include <vector>

#include "app/LauncherPlatform.h"
#include "app/framework/Dialog.h"
#include "link/LaunchRequest.h"

// The one timer, and how long the title picture shows before it fires.
constexpr UINT_PTR IDT_LAUNCH = 23;
constexpr UINT kLaunchDelayMs = 3000;

// The tiny dialog that carries the run: it refuses an empty link, shows the
// title picture and, three seconds later, uninstalls or launches the game.
// Every branch of the launch ends the process.
class CLauncherDlg : public CDialog {
public:
    CLauncherDlg();

    HICON m_hIcon;
    std::string m_strLink;
    // The parsed link, kept as the dialog's record of what it launches;
    // nothing reads it back, since the launch ends the process.
    std::string m_strGameId;
    std::string m_strHost;
    std::string m_strPort;
    std::vector<ServerSetting> m_settings;

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon();
    // Launches or removes; every branch ends the process.
    [[noreturn]] void OnTimer(UINT_PTR nIDEvent);

private:
    LauncherPlatform m_platform;
};
