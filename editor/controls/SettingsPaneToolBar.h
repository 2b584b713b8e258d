#pragma once
// The settings pane's two-button toolbar, always as wide as its buttons.

#include "editor/controls/ToolbarImages.h"
#include "platform/CWindowImpl.h"

#include <windows.h>

#include <commctrl.h>

class SettingsPaneToolBar : public CWindowImpl<SettingsPaneToolBar, CWindow>
{
public:
    static constexpr int kWidthWithoutButtons = 232;

    DECLARE_WND_SUPERCLASS(L"ScvSettingsPaneToolBar", TOOLBARCLASSNAMEW)

    ~SettingsPaneToolBar() override;
    // Creates the toolbar with the two images (icons 148 and 155); the caller adds the buttons.
    HWND CreateBar(HWND parent, const RECT& rect, UINT id, DWORD style);
    // The width the toolbar takes: the sum of (button width + 2), or 232 without buttons.
    int WantedWidth() const;

    BEGIN_MSG_MAP(SettingsPaneToolBar)
    MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
    END_MSG_MAP()

private:
    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, BOOL& handled);

    ToolbarImages m_images;
};
