#pragma once
// Grey hint texts painted in the middle of an empty control. The host decides when the hint is due
// (ShouldShow) and calls Paint from its own painting; the painter reads the host's window handle at
// each use, so it may be made before the window exists.

#include "platform/CString.h"

#include <windows.h>

class CCueTextPainter
{
public:
    explicit CCueTextPainter(const HWND* host) : m_host(host) {}
    virtual ~CCueTextPainter() = default;
    CCueTextPainter(const CCueTextPainter&) = delete;
    CCueTextPainter& operator=(const CCueTextPainter&) = delete;

    virtual bool ShouldShow() = 0;
    virtual CString GetText() = 0;
    virtual COLORREF GetTextColor() { return ::GetSysColor(COLOR_GRAYTEXT); }
    virtual int GetBackgroundColorIndex() { return COLOR_WINDOW; }

    // The font is not owned; the host is redrawn when it exists.
    void SetFont(HFONT font);
    HFONT GetFont() const { return m_font; }
    // Fills the host's client area and draws the text centred on one line.
    void Paint(HDC dc);
    // Invalidates the host when it exists and the hint is due.
    void Refresh();

protected:
    HWND HostWindow() const { return m_host ? *m_host : nullptr; }

private:
    const HWND* m_host;
    HFONT m_font = nullptr;
};

// A painter whose text is a user-interface string in the current language.
class CResourceCueTextPainter : public CCueTextPainter
{
public:
    CResourceCueTextPainter(const HWND* host, UINT textId);

    CString GetText() override;
    UINT GetTextId() const { return m_textId; }
    // Nothing for the current id; else stores it and refreshes when the hint is due.
    void SetTextId(UINT id);

private:
    UINT m_textId;
};
