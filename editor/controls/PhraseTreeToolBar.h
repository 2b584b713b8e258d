#pragma once
// The phrases pane's toolbar: its last button stretches over the room left, and a click on a button
// may be taken over by the parent (the click message).

#include "platform/CString.h"
#include "platform/CWindowImpl.h"

#include <windows.h>

#include <commctrl.h>

class PhraseTreeToolBar : public CWindowImpl<PhraseTreeToolBar, CWindow>
{
public:
    static constexpr UINT kHideUncheckedCommand = 32815;
    static constexpr int kButtonRoom = 32;
    static constexpr int kLastButtonMaxWidth = 160;

    DECLARE_WND_SUPERCLASS(L"ScvPhraseTreeToolBar", TOOLBARCLASSNAMEW)

    // clickMessage: sent to the parent for a click on a button (wParam index, lParam command); an answer
    // of 1 takes the click over. 0: none.
    explicit PhraseTreeToolBar(UINT clickMessage = 0) : m_clickMessage(clickMessage) {}
    ~PhraseTreeToolBar() override;

    HWND CreateBar(HWND parent, const RECT& rect, UINT id, DWORD style);
    // Text and checked state of the hide-unchecked button, each changed only when it differs.
    void SetHideUncheckedButton(const CString& text, bool checked);
    // The width the last button gets in a toolbar of the given width (0: unchanged).
    static int LastButtonWidth(int toolbarWidth, int buttonCount);

    BEGIN_MSG_MAP(PhraseTreeToolBar)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_NOTIFY, OnReflectedNotify)
    END_MSG_MAP()

private:
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);

    UINT m_clickMessage;
};
