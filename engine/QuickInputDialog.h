#pragma once
// The quick input dialog: a small modal box with one edit line, OK and Cancel, placed at the caret
// of the target window, in which the user types the text of a prompt mark.

#include <windows.h>

#include "platform/CDialogImpl.h"
#include "platform/CString.h"

class CQuickInputDialog : public CDialogImpl<CQuickInputDialog>
{
public:
    enum
    {
        IDD = 220,
        IDC_QUICK_INPUT_EDIT = 1013,
    };

    CQuickInputDialog(const CString& defaultText, HWND target);
    ~CQuickInputDialog();

    // Runs the dialog modally over the desktop; IDOK, IDCANCEL, or -1 when it could not be shown.
    INT_PTR Run();
    // The answer after OK: the edit line's text, or the default text when the line was emptied.
    const CString& GetAnswer() const { return m_answer; }

    BEGIN_MSG_MAP(CQuickInputDialog)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    COMMAND_ID_HANDLER(IDOK, OnOK)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

    // The dialog's caption for a target: "Scrivolanter", + " - [" + the first 100 characters of the
    // target's title + "]" when the target is a window with a title.
    static CString BuildCaption(HWND target);

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOK(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    void SetIcons();
    // Where the dialog goes: the bottom left of the caret of the target's GUI thread, in screen
    // coordinates; false (the dialog is centred over the target) when the thread shows no caret.
    bool ReadTargetCaret();
    void PlaceAtTargetCaret();
    void TakeForeground();

    CString m_defaultText;
    CString m_answer;
    HWND m_target = nullptr;
    POINT m_caretPoint{};
    bool m_hasCaretPoint = false;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
};

// Asks for a text with the quick input dialog and gives the keyboard focus back to the target
// afterwards. True and the answer on OK; false and an empty text otherwise.
bool ShowQuickInputDialog(const CString& defaultText, HWND target, CString& answer);

// Sets the keyboard focus to a window of another thread: attaches to its thread's input, SetFocus,
// detaches. False when the window has no thread or the attach fails.
bool SetFocusToWindow(HWND window);
