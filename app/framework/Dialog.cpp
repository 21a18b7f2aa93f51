#include "app/framework/Dialog.h"

#include <cstddef>
#include <cstring>

#include "app/framework/WinApp.h"

namespace {

template <typename T>
T ReadAt(const void* data, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(data) + offset, sizeof value);
    return value;
}

// The template's style and position, from either layout of its header.
struct TemplateHeader {
    DWORD style;
    short x;
    short y;
};

TemplateHeader ReadTemplateHeader(const void* dialogTemplate) {
    bool extended = ReadAt<WORD>(dialogTemplate, 2) == 0xFFFF;
    if (extended) {
        return TemplateHeader{ReadAt<DWORD>(dialogTemplate, 12), ReadAt<short>(dialogTemplate, 18),
                              ReadAt<short>(dialogTemplate, 20)};
    }
    return TemplateHeader{ReadAt<DWORD>(dialogTemplate, 0), ReadAt<short>(dialogTemplate, 10),
                          ReadAt<short>(dialogTemplate, 12)};
}

bool KeyIsDown(int key) {
    return GetKeyState(key) < 0;
}

BOOL CALLBACK RaiseIfOwnedBy(HWND window, LPARAM owner) {
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsWindowVisible(window)) {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return TRUE;
}

// Owned windows belong above their owner. Wine without a window manager
// raises a dialog above the windows it already owns when it maps and
// activates the dialog; this puts them back on top.
void RaiseOwnedWindows(HWND owner) {
    EnumThreadWindows(GetCurrentThreadId(), RaiseIfOwnedBy, reinterpret_cast<LPARAM>(owner));
}

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
    HINSTANCE instance = AfxGetApp()->m_hInstance;
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
    const void* dialogTemplate = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (dialogTemplate == nullptr) {
        return -1;
    }
    TemplateHeader header = ReadTemplateHeader(dialogTemplate);
    m_templateStyle = header.style;
    m_bTemplateAtOrigin = header.x == 0 && header.y == 0;

    m_bModal = true;
    m_nModalResult = -1;
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (CreateDialogIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(dialogTemplate), owner,
                                   DialogProcedure, reinterpret_cast<LPARAM>(this)) == nullptr) {
        return -1;
    }
    RunModalLoop();
    if (m_hWnd != nullptr) {
        DestroyWindow(m_hWnd);
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    m_bModal = false;
}

INT_PTR CDialog::DialogProc(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) {
        return FALSE;
    }
    UINT id = LOWORD(wParam);
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return AfxGetApp()->OnCommand(id) ? TRUE : FALSE;
}

INT_PTR CALLBACK CDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        return dialog->HandleInitDialog();
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    INT_PTR result = dialog->DialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->WindowDestroyed();
    }
    return result;
}

BOOL CDialog::HandleInitDialog() {
    RECT before;
    GetWindowRect(m_hWnd, &before);
    bool visibleBefore = IsWindowVisible(m_hWnd) != FALSE;

    BOOL result = OnInitDialog();

    if (m_hWnd == nullptr) {
        return result;
    }
    RECT after;
    GetWindowRect(m_hWnd, &after);
    bool placedByTemplate = (m_templateStyle & (DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE)) != 0;
    bool placedByOnInitDialog = visibleBefore || IsWindowVisible(m_hWnd) || !EqualRect(&before, &after);
    if (m_bTemplateAtOrigin && !placedByTemplate && !placedByOnInitDialog) {
        CentreWindow(m_hWnd);
    }
    return result;
}

void CDialog::RunModalLoop() {
    MSG& message = AfxGetApp()->m_msgCur;
    bool ownedWindowsRaised = false;
    while (m_bModal && m_hWnd != nullptr) {
        // Once showing the dialog has been dealt with, when the queue first
        // runs empty.
        MSG waiting;
        if (!ownedWindowsRaised && !PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
            RaiseOwnedWindows(m_hWnd);
            ownedWindowsRaised = true;
        }
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
            // Leave WM_QUIT for the loop outside this one.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsHelpKey(message)) {
            CWnd* mainWnd = AfxGetApp()->m_pMainWnd;
            if (mainWnd != nullptr && mainWnd->m_hWnd != nullptr) {
                SendMessageA(mainWnd->m_hWnd, WM_COMMAND, ID_HELP, 0);
            }
            continue;
        }
        if (!IsDialogMessageA(m_hWnd, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// F1 without Shift, Ctrl or Alt, typed into this dialog.
bool CDialog::IsHelpKey(const MSG& message) const {
    bool f1 = (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && message.wParam == VK_F1;
    bool toThisDialog = message.hwnd == m_hWnd || IsChild(m_hWnd, message.hwnd);
    return f1 && toThisDialog && !KeyIsDown(VK_SHIFT) && !KeyIsDown(VK_CONTROL) && !KeyIsDown(VK_MENU);
}
