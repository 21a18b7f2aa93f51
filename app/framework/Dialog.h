#pragma once

#include "app/framework/Wnd.h"

// The command that opens help: F1 typed into a dialog sends it.
constexpr UINT ID_HELP = 0xE146;

// A modal dialog built from an extended dialog template resource and run by
// a message loop of its own. IDOK and IDCANCEL end the run; ID_HELP opens the
// application's help. Unless the template places the dialog itself, the
// dialog is centred after OnInitDialog, before it shows.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : m_nIDTemplate(templateId) {}

    // The result given to EndDialog; -1 when the dialog could not be created
    // or its run ended without one.
    INT_PTR DoModal();
    void EndDialog(int result);

protected:
    // The dialog procedure's work for messages other than WM_INITDIALOG:
    // TRUE when handled (or the value itself, for the messages that answer
    // with one), FALSE for the default processing.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();
    bool IsHelpKey(const MSG& message) const;
    void OnHelp();

    UINT m_nIDTemplate;
    bool m_bPlacedByTemplate = false;
    bool m_bModal = false;
    int m_nModalResult = -1;
};
