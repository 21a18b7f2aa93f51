#include "app/framework/Dialog.h"

#include <cstring>

#include "app/framework/WinApp.h"
#include "platform/Win32Platform.h"

namespace {

// The fixed head of an extended dialog template (DLGTEMPLATEEX), field by
// field as the resource stores it.
struct DialogTemplateHead {
    WORD version;
    WORD signature;  // 0xFFFF
    DWORD helpId;
    DWORD exStyle;
    DWORD style;
    WORD itemCount;
    short x;
    short y;
    short cx;
    short cy;
};

BOOL CALLBACK RaiseIfOwnedBy(HWND window, LPARAM owner) {
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsWindowVisible(window)) {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return TRUE;
}

}  // namespace

INT_PTR CDialog::DoModal() {
    HINSTANCE instance = AfxGetApp()->m_hInstance;
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
    const void* dialogTemplate = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (dialogTemplate == nullptr || SizeofResource(instance, resource) < sizeof(DialogTemplateHead)) {
        return -1;
    }
    DialogTemplateHead head{};
    std::memcpy(&head, dialogTemplate, sizeof head);
    m_bPlacedByTemplate =
        head.x != 0 || head.y != 0 || (head.style & (DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE)) != 0;

    m_bModal = true;
    m_nModalResult = -1;
    if (CreateDialogIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(dialogTemplate), nullptr,
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
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(static_cast<int>(id));
        return TRUE;
    }
    if (id == ID_HELP) {
        OnHelp();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        BOOL result = dialog->OnInitDialog();
        // The dialog is still hidden: unless its template places it, it shows
        // centred.
        if (!dialog->m_bPlacedByTemplate) {
            CentreWindow(window);
        }
        return result;
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
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

void CDialog::RunModalLoop() {
    MSG& message = AfxGetApp()->m_msgCur;
    bool ownedWindowsRaised = false;
    while (m_bModal && m_hWnd != nullptr) {
        // Windows owned by the dialog belong above it, but Wine without a
        // window manager raises the dialog over them as it shows it; once
        // that is done, when the queue first runs empty, they go back on top.
        MSG waiting;
        if (!ownedWindowsRaised && !PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
            EnumThreadWindows(GetCurrentThreadId(), RaiseIfOwnedBy, reinterpret_cast<LPARAM>(m_hWnd));
            ownedWindowsRaised = true;
        }
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
            return;
        }
        if (IsHelpKey(message)) {
            SendMessageA(m_hWnd, WM_COMMAND, ID_HELP, 0);
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
    bool modifier = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    return f1 && toThisDialog && !modifier;
}

// Help contexts of dialogs are 0x20000 plus the template's resource number.
void CDialog::OnHelp() {
    std::optional<std::vector<wchar_t>> path = ToWide(AfxGetApp()->m_strHelpFilePath);
    if (!path || !WinHelpW(m_hWnd, path->data(), HELP_CONTEXT, 0x20000 + m_nIDTemplate)) {
        AfxMessageBox("Failed to launch help.", MB_ICONHAND);
    }
}
