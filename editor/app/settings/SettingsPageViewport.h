#pragma once

// The area of the settings pane below its tab row in which the current settings page stands. A page
// keeps at least the size its dialog template gives it; when the area is smaller (a small screen, a
// low pane, a large dialog font) the area shows scroll bars and the page scrolls inside it, so every
// control of the page can be reached. Pages are children of this window.

#include <windows.h>

#include "platform/CWindowImpl.h"

class SettingsPageViewport : public CWindowImpl<SettingsPageViewport>
{
public:
    DECLARE_WND_CLASS_EX(L"ScvSettingsPageViewport", 0, COLOR_BTNFACE)

    HWND CreateViewport(HWND parent, const RECT& rect);
    // The page shown in the area and the size it needs (its template's size); back to the top left.
    void ShowPage(HWND page, SIZE needed);
    // The scroll position (pixels from the page's top left).
    POINT GetScrollPosition() const { return m_position; }

    BEGIN_MSG_MAP(SettingsPageViewport)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
    MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
    END_MSG_MAP()

private:
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnScroll(UINT message, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&);
    // Scroll bars from the client size and the page's needs, then the page placed by the position.
    void Layout();
    void ScrollTo(int bar, int position);

    HWND m_page = nullptr;
    SIZE m_needed = {};
    POINT m_position = {};
    bool m_inLayout = false;
};
