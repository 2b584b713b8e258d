#pragma once

// One target description, as the core hook DLL writes it into the interchange
// area (an "SVQuery" document) or as the main program fills it itself.

#include <windows.h>

#include "platform/CString.h"

class SVQuery
{
public:
    // A fresh record: no window, no layout, StateSelText 0, no point (-1, -1),
    // empty texts and the GUI thread information of the calling thread.
    SVQuery();

    CString AppPath;
    CString WindowClassName;
    HWND Hwnd = nullptr;        // the target window
    GUITHREADINFO ThreadInfo{}; // hwndActive, hwndFocus, hwndCapture, hwndMenuOwner, hwndCaret from the query
    HKL Hkl = nullptr;          // the target's keyboard layout
    CString SelText;
    int StateSelText = 0; // SVSelTextState
    int POINT_X = -1;     // -1: show the menu at the cursor
    int POINT_Y = -1;

    // The target's title, computed on the first call: the text of the target
    // window, else of the foreground window, else of the active window; the
    // application path when that gives no text.
    const CString& GetTargetWindowTitle() const;
    // The input-locale language id (low word of the layout).
    LANGID GetLanguageId() const { return LOWORD(reinterpret_cast<UINT_PTR>(Hkl)); }
    bool HasSelectedText() const { return !SelText.IsEmpty(); }

private:
    mutable bool m_titleComputed = false;
    mutable CString m_title;
};

// The 32-bit window handle and layout values of the documents, widened as the
// system widens them (sign extension) and narrowed back.
inline HWND HandleFromDocumentValue(int value)
{
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(value));
}
inline int DocumentValueOfHandle(HWND window)
{
    return static_cast<int>(reinterpret_cast<LONG_PTR>(window));
}
inline HKL LayoutFromDocumentValue(DWORD value)
{
    return reinterpret_cast<HKL>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}
