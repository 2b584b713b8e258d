#pragma once
// The row of web-link buttons in the language bar: home page, support, forum, the group page (the
// regional one for languages that use the regional web pages) and video.

#include "editor/controls/ToolbarImages.h"
#include "platform/CString.h"
#include "platform/CWindowImpl.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>

class LinksToolBar : public CWindowImpl<LinksToolBar, CWindow>
{
public:
    static constexpr UINT kGroupCommand = 32840;
    static constexpr UINT kRegionalGroupCommand = 32845;

    DECLARE_WND_SUPERCLASS(L"ScvLinksToolBar", TOOLBARCLASSNAMEW)

    ~LinksToolBar() override;

    // regional: the language uses the regional web pages.
    HWND CreateBar(HWND parent, const RECT& rect, UINT id, DWORD style, bool regional);
    // After a language change: the texts again, and the group button switched to the wanted one.
    void UpdateRegionalButtons(bool regional);
    // The web address of a command for its tip (empty: none).
    void SetUrlSource(std::function<CString(UINT)> urlOfCommand) { m_urlOfCommand = std::move(urlOfCommand); }
    CString GetInfoTip(UINT command) const;

    BEGIN_MSG_MAP(LinksToolBar)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_NOTIFY, OnReflectedNotify)
    END_MSG_MAP()

private:
    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);

    ToolbarImages m_images;
    std::function<CString(UINT)> m_urlOfCommand;
};
