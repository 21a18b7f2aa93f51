#pragma once

#include "platform/Win32Platform.h"

// The real services, with the application's message box: captioned with the
// application's name and owned by the launcher dialog.
class LauncherPlatform : public Win32Platform {
public:
    int ShowMessageBox(const std::string& text, unsigned style) override;
};
