#pragma once

#include "app/framework/Wnd.h"

// A modal dialog built from an extended dialog template resource and run by
// a message loop of its own. IDOK and IDCANCEL end the run; other commands go
// to the application. Unless the template places the dialog itself, a dialog
// that OnInitDialog neither showed nor moved is centred before it shows.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // The result given to EndDialog; -1 when the dialog could not be created
    // or its run ended without one.
    INT_PTR DoModal();
    void EndDialog(int result);

    // Help contexts of dialogs: 0x20000 plus the template's resource number.
    DWORD HelpContextId() const override { return 0x20000 + m_nIDTemplate; }

protected:
    // The dialog procedure's work for messages other than WM_INITDIALOG:
    // TRUE when handled (or the value itself, for the messages that answer
    // with one), FALSE for the default processing.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL HandleInitDialog();
    void RunModalLoop();
    bool IsHelpKey(const MSG& message) const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bPlacedByTemplate = false;
    bool m_bModal = false;
    int m_nModalResult = -1;
};
