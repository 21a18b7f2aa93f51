#pragma once

#include "app/framework/Wnd.h"

// Help contexts of dialogs: this base plus the template's resource number.
constexpr DWORD kDialogHelpBase = 0x20000;

// A modal dialog built from a dialog template resource and run by a message
// loop of its own. IDOK and IDCANCEL end the run; other commands go to the
// application. Unless the template places the dialog itself, a dialog that
// OnInitDialog neither showed nor moved is centred before it first shows.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // The result given to EndDialog; -1 when the dialog could not be created
    // or the run ended without one.
    INT_PTR DoModal();
    void EndDialog(int result);

    DWORD HelpContextId() const override { return kDialogHelpBase + m_nIDTemplate; }

protected:
    // The dialog procedure's work for messages other than WM_INITDIALOG:
    // TRUE when handled (or the value itself, for the messages that answer
    // with one), FALSE for the default processing.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL HandleInitDialog();
    void RunModalLoop();
    bool IsHelpKey(const MSG& message) const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    DWORD m_templateStyle = 0;
    bool m_bTemplateAtOrigin = false;
    bool m_bModal = false;
    int m_nModalResult = -1;
};
