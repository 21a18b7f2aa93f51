#include "app/LauncherPlatform.h"

#include "app/framework/WinApp.h"

int LauncherPlatform::ShowMessageBox(const std::string& text, unsigned style) {
    return AfxMessageBox(text, style);
}
