#include "editor/controls/LinksToolBar.h"

#include "common/LocalizedString.h"

#include <vector>

namespace
{

struct LinkButton
{
    UINT command;
    UINT icon;
    UINT textId;
    const wchar_t* english;
    BYTE style;
};

LinkButton ButtonAt(int position, bool regional)
{
    switch (position) {
    case 0:
        return {32781, 152, 129, L"Home Page", BTNS_AUTOSIZE | BTNS_SHOWTEXT};
    case 1:
        return {32795, 154, 189, L"Support", BTNS_SHOWTEXT};
    case 2:
        return {32783, 151, 162, L"Official Forum", BTNS_AUTOSIZE | BTNS_SHOWTEXT};
    case 3:
        if (regional)
            return {LinksToolBar::kRegionalGroupCommand, 163, 256, L"VKontakte Group",
                    BTNS_AUTOSIZE | BTNS_SHOWTEXT};
        return {LinksToolBar::kGroupCommand, 160, 224, L"Facebook Group", BTNS_AUTOSIZE | BTNS_SHOWTEXT};
    default:
        return {32827, 156, 204, L"Video", BTNS_SHOWTEXT};
    }
}

constexpr int kButtonCount = 5;

CString ButtonText(int position, bool regional)
{
    const LinkButton button = ButtonAt(position, regional);
    return LoadLocalizedTextOr(button.textId, button.english);
}

} // namespace

LinksToolBar::~LinksToolBar()
{
    if (IsWindow())
        DestroyWindow();
}

HWND LinksToolBar::CreateBar(HWND parent, const RECT& rect, UINT id, DWORD style, bool regional)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    if (!Create(parent, rect, nullptr, style | TBSTYLE_LIST | TBSTYLE_TOOLTIPS, 0, id))
        return nullptr;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const auto padding = static_cast<DWORD>(SendMessage(TB_GETPADDING, 0, 0));
    SendMessage(TB_SETPADDING, 0, MAKELPARAM(LOWORD(padding) * 2, HIWORD(padding)));
    SendMessage(TB_SETEXTENDEDSTYLE, 0,
                SendMessage(TB_GETEXTENDEDSTYLE, 0, 0) | TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    m_images.Create(kButtonCount, COLOR_BTNFACE);
    std::vector<wchar_t> strings;
    for (int i = 0; i < kButtonCount; ++i) {
        m_images.AddResourceIcon(ButtonAt(i, regional).icon);
        const CString text = ButtonText(i, regional);
        strings.insert(strings.end(), text.GetString(), text.GetString() + text.GetLength());
        strings.push_back(L'\0');
    }
    strings.push_back(L'\0');
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.Get()));
    const auto firstString =
        static_cast<INT_PTR>(SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(strings.data())));
    std::vector<TBBUTTON> buttons;
    for (int i = 0; i < kButtonCount; ++i) {
        const LinkButton button = ButtonAt(i, regional);
        buttons.push_back(
            {i, static_cast<int>(button.command), TBSTATE_ENABLED, button.style, {}, 0, firstString + i});
    }
    SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessage(TB_AUTOSIZE, 0, 0);
    return m_hWnd;
}

void LinksToolBar::UpdateRegionalButtons(bool regional)
{
    const auto count = static_cast<int>(SendMessage(TB_BUTTONCOUNT, 0, 0));
    const UINT wanted = regional ? kRegionalGroupCommand : kGroupCommand;
    for (int i = 0; i < count && i < kButtonCount; ++i) {
        const CString text = ButtonText(i, regional);
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
        info.pszText = const_cast<wchar_t*>(text.GetString());
        SendMessage(TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));

        TBBUTTON button = {};
        SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        const auto command = static_cast<UINT>(button.idCommand);
        if ((command != kGroupCommand && command != kRegionalGroupCommand) || command == wanted)
            continue;
        info.dwMask = TBIF_COMMAND | TBIF_BYINDEX;
        info.idCommand = static_cast<int>(wanted);
        SendMessage(TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
        if (m_images.ReplaceWithResourceIcon(button.iBitmap, ButtonAt(3, regional).icon))
            InvalidateRect(nullptr);
    }
    SendMessage(TB_AUTOSIZE, 0, 0);
}

CString LinksToolBar::GetInfoTip(UINT command) const
{
    CString tip = LoadLocalizedString(command);
    const int lineEnd = tip.Find(L'\n');
    if (lineEnd >= 0)
        tip = tip.Left(lineEnd);
    const CString url = m_urlOfCommand ? m_urlOfCommand(command) : CString();
    if (!url.IsEmpty())
        tip += L"   \x00BB " + url;
    return tip;
}

LRESULT LinksToolBar::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    RECT client = {};
    GetClientRect(&client);
    ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
    return 1;
}

LRESULT LinksToolBar::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == NM_CUSTOMDRAW) {
        auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            RECT client = {};
            GetClientRect(&client);
            ::FillRect(draw->nmcd.hdc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
        }
        return CDRF_DODEFAULT;
    }
    if (header->code != TBN_GETINFOTIPW) {
        handled = FALSE;
        return 0;
    }
    auto* request = reinterpret_cast<NMTBGETINFOTIPW*>(lParam);
    HWND tips = reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS, 0, 0));
    if (tips)
        ::SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 300);
    const CString tip = GetInfoTip(static_cast<UINT>(request->iItem));
    if (request->pszText && request->cchTextMax > 0)
        lstrcpynW(request->pszText, tip.GetString(), request->cchTextMax);
    return 0;
}
