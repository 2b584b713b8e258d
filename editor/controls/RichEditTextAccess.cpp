#include "editor/controls/RichEditTextAccess.h"

#include "common/RichEditConversion.h"

#include <richedit.h>

bool GetRichEditVisibleRange(HWND richEdit, LONG& first, LONG& last)
{
    if (!::IsWindow(richEdit))
        return false;
    const auto firstLine = ::SendMessageW(richEdit, EM_GETFIRSTVISIBLELINE, 0, 0);
    first = static_cast<LONG>(::SendMessageW(richEdit, EM_LINEINDEX, firstLine, 0));
    RECT client = {};
    ::GetClientRect(richEdit, &client);
    POINTL corner = {client.right, client.bottom};
    last = static_cast<LONG>(::SendMessageW(richEdit, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)));
    return true;
}

bool IsRichEditSelectionEmpty(HWND richEdit)
{
    return ::SendMessageW(richEdit, EM_SELECTIONTYPE, 0, 0) == SEL_EMPTY;
}

CString GetRichEditText(HWND richEdit, bool asRtf, bool selectionOnly)
{
    return StreamOutWide(richEdit, !asRtf, selectionOnly);
}

bool SetRichEditText(HWND richEdit, const CString& text)
{
    if (text.IsEmpty())
        return ::SetWindowTextW(richEdit, L"") != FALSE;
    return SetRichEditTextAuto(richEdit, text);
}
