#include "editor/controls/SettingsPaneToolBar.h"

SettingsPaneToolBar::~SettingsPaneToolBar()
{
    if (IsWindow())
        DestroyWindow();
}

HWND SettingsPaneToolBar::CreateBar(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    if (!Create(parent, rect, nullptr, style, 0, id))
        return nullptr;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    m_images.Create(2, COLOR_BTNFACE);
    m_images.AddResourceIcon(148);
    m_images.AddResourceIcon(155);
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.Get()));
    return m_hWnd;
}

int SettingsPaneToolBar::WantedWidth() const
{
    const auto count = static_cast<int>(::SendMessageW(m_hWnd, TB_BUTTONCOUNT, 0, 0));
    if (count <= 0)
        return kWidthWithoutButtons;
    int width = 0;
    for (int i = 0; i < count; ++i) {
        RECT button = {};
        ::SendMessageW(m_hWnd, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&button));
        width += button.right - button.left + 2;
    }
    return width;
}

LRESULT SettingsPaneToolBar::OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
    if (!(position->flags & SWP_NOSIZE))
        position->cx = WantedWidth();
    handled = FALSE;
    return 0;
}
