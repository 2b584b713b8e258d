#pragma once

// A static text that acts as a web link: it opens a web or mail address, or
// sends a message number to its parent ("message:" + decimal number), and is
// drawn in the browser's link colours (blue, purple once visited). The pointer
// over the text is a hand and the text is underlined. Takes over an existing
// static (SubclassWindow); the control paints its own text.

#include <windows.h>

#include "platform/CString.h"
#include "platform/CWindowImpl.h"

#include <functional>

// "message:%d" of n.
CString MakeMessageLink(int n);
// Three decimal numbers red, green, blue separated by commas; false (colour
// untouched) for a text with fewer than three parts or numbers out of range.
bool ParseAnchorColor(LPCWSTR text, COLORREF& color);
// Reads one string value of HKCU\keyPath into a terminated buffer of 24
// characters and parses it; false when missing or unparsable.
bool ReadAnchorColor(LPCWSTR keyPath, LPCWSTR valueName, COLORREF& color);

class EditorHyperlinkStatic : public CWindowImplBaseT<CWindow>
{
public:
    explicit EditorHyperlinkStatic(LPCWSTR link = L"");
    ~EditorHyperlinkStatic() override;

    // Subclasses the static (adds SS_NOTIFY).
    BOOL Attach(HWND control);
    void SetLink(LPCWSTR link) { m_link = link; }
    // Opens an address (MakeOpenTarget's form); true when it opened. Null: the shell's "open".
    using Opener = std::function<bool(HWND window, const CString& target)>;
    void SetOpener(Opener opener) { m_opener = std::move(opener); }
    // The link the click acts on: the link text, or the window text.
    CString GetEffectiveLink() const;
    bool IsVisited() const { return m_visited; }
    COLORREF GetLinkColor() const { return m_linkColor; }
    COLORREF GetVisitedColor() const { return m_visitedColor; }
    // The text's rectangle in client coordinates.
    RECT GetTextRect() const;
    // The address ShellExecute gets for a link: "mailto:" put in front of a
    // link with "@" after its first character.
    static CString MakeOpenTarget(const CString& link);
    // Acts on the link as a click over the text does.
    void Activate();

    BEGIN_MSG_MAP(EditorHyperlinkStatic)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    END_MSG_MAP()

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&);
    bool CursorOverText() const;
    HFONT BaseFont() const;

    COLORREF m_linkColor = 0xFF0000;
    COLORREF m_visitedColor = 0x800080;
    CString m_link;
    Opener m_opener;
    bool m_visited = false;
    bool m_underline = false;
    HFONT m_underlinedFont = nullptr;
};
