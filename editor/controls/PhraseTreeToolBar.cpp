#include "editor/controls/PhraseTreeToolBar.h"

#include "platform/WindowsX.h"

PhraseTreeToolBar::~PhraseTreeToolBar()
{
    if (IsWindow())
        DestroyWindow();
}

HWND PhraseTreeToolBar::CreateBar(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    if (!Create(parent, rect, nullptr, style, 0, id))
        return nullptr;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return m_hWnd;
}

void PhraseTreeToolBar::SetHideUncheckedButton(const CString& text, bool checked)
{
    wchar_t current[100] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = current;
    info.cchText = 100;
    SendMessage(TB_GETBUTTONINFOW, kHideUncheckedCommand, reinterpret_cast<LPARAM>(&info));
    if (wcsncmp(current, text.GetString(), 99) != 0) {
        info.pszText = const_cast<wchar_t*>(text.GetString());
        SendMessage(TB_SETBUTTONINFOW, kHideUncheckedCommand, reinterpret_cast<LPARAM>(&info));
    }
    if ((SendMessage(TB_ISBUTTONCHECKED, kHideUncheckedCommand, 0) != 0) != checked)
        SendMessage(TB_CHECKBUTTON, kHideUncheckedCommand, MAKELPARAM(checked ? TRUE : FALSE, 0));
}

int PhraseTreeToolBar::LastButtonWidth(int toolbarWidth, int buttonCount)
{
    if (buttonCount <= 0)
        return 0;
    const int room = toolbarWidth - (buttonCount - 1) * kButtonRoom;
    if (room <= kButtonRoom)
        return 0;
    return room < kLastButtonMaxWidth ? room : kLastButtonMaxWidth;
}

LRESULT PhraseTreeToolBar::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (!m_clickMessage)
        return 0;
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const auto index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    if (index < 0)
        return 0;
    TBBUTTON button = {};
    SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    if (::SendMessageW(GetParent(), m_clickMessage, index, button.idCommand) == 1) {
        ::ReleaseCapture();
        handled = TRUE;
    }
    return 0;
}

LRESULT PhraseTreeToolBar::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    const auto count = static_cast<int>(SendMessage(TB_BUTTONCOUNT, 0, 0));
    const int width = LastButtonWidth(GET_X_LPARAM(lParam), count);
    if (width <= 0)
        return 0;
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_SIZE | TBIF_BYINDEX;
    info.cx = static_cast<WORD>(width);
    SendMessage(TB_SETBUTTONINFOW, count - 1, reinterpret_cast<LPARAM>(&info));
    return 0;
}

LRESULT PhraseTreeToolBar::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
    if (draw->nmcd.hdr.code != NM_CUSTOMDRAW) {
        handled = FALSE;
        return 0;
    }
    if (draw->nmcd.dwDrawStage != CDDS_PREPAINT)
        return CDRF_DODEFAULT;
    RECT client = {};
    GetClientRect(&client);
    ::FillRect(draw->nmcd.hdc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    return CDRF_NOTIFYITEMDRAW;
}
