#pragma once

#include "app/framework/WinApp.h"

// Runs the launcher dialog with the link from the command line. All the work
// happens inside the dialog, so InitInstance always answers FALSE.
class CLauncherApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
