// The floating pane's handling of its caption toolbar: drawing the caption,
// button tips, the edit button's drop-down menu and the caption tooltip.

#include "menus/floatpane/SCVFloatPane.h"
#include "menus/phrasemenu/MenuHost.h"

#include "common/HotKeyText.h"
#include "common/MenuToolTip.h"
#include "platform/CAppModule.h"

#include "common/GdiCache.h"
#include "common/LocalizedString.h"
#include "common/SystemFunctions.h"
#include "common/TextDecoration.h"

namespace
{
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kToolBarBlue = RGB(0, 0, 255);
constexpr COLORREF kOrange = RGB(255, 123, 60);

struct TipText
{
    UINT command;
    const wchar_t* english;
};

const TipText kButtonTips[] = {
    {kPaneCmdEditPhrases, L"Edit Phrases and Settings\nOpens the phrase editor"},
    {kPaneCmdCopy, L"Copy\nCopies the selected item and pastes it into the window you worked in"},
    {kPaneCmdProtect, L"Protect\nProtected items survive clearing"},
    {kPaneCmdMinimizeToCaption, L"Minimize To Caption\nShrinks the pane to its caption (Esc)"},
    {kPaneCmdPin, L"Keep the pane open when it loses the focus"},
    {kPaneCmdKeepHistory, L"Keep Clipboard History\nTurns capturing the clipboard on or off"},
    {kPaneCmdClose, L"Close float pane"},
};

// The tray menu resource whose texts the edit button's drop-down shows.
constexpr UINT kTrayMenuResourceId = 128;

CString LocalizedAfterLineBreak(UINT id, LPCWSTR english)
{
    CString text = LoadLocalizedTextOr(id, english);
    const int lineBreak = text.Find(L'\n');
    return lineBreak >= 0 ? text.Mid(lineBreak + 1) : text;
}
} // namespace

LRESULT CSCVFloatPane::OnToolBarNotify(NMHDR* header)
{
    switch (header->code) {
    case NM_CUSTOMDRAW:
        return OnToolBarCustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(header));
    case TBN_GETINFOTIPW:
        OnToolBarInfoTip(reinterpret_cast<NMTBGETINFOTIPW*>(header));
        return 0;
    case TBN_DROPDOWN:
        OnToolBarDropDown(reinterpret_cast<NMTOOLBARW*>(header));
        return TBDDRET_DEFAULT;
    case TBN_BEGINDRAG:
        return 0;
    case static_cast<UINT>(kPaneTbnShowPhraseMenu):
        CommandShowPhraseMenu();
        return 0;
    case static_cast<UINT>(kPaneTbnIsCaptionOnly):
        return m_captionOnly;
    case static_cast<UINT>(kPaneTbnShowAllItemsPinned):
        ShowAllItems(0, true);
        return 0;
    case static_cast<UINT>(kPaneTbnIsListEmpty):
        return GetRowCount() == 0 ? 1 : 0;
    case static_cast<UINT>(kPaneTbnHoverRest):
        HoverExpand();
        return 0;
    default:
        return 0;
    }
}

LRESULT CSCVFloatPane::OnToolBarCustomDraw(NMTBCUSTOMDRAW* draw)
{
    NMCUSTOMDRAW& nmcd = draw->nmcd;
    if (nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    if (nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        if (nmcd.dwItemSpec != kPaneCmdClose)
            return CDRF_DODEFAULT;
        RECT button = nmcd.rc;
        const int x = (button.left + button.right - 14) / 2;
        const int y = (button.top + button.bottom - 14) / 2;
        RECT glyph = {x, y, x + 14, y + 14};
        DrawCaptionCloseButton(m_toolBar.m_hWnd, nmcd.hdc, glyph, (nmcd.uItemState & CDIS_SELECTED) != 0,
                               (nmcd.uItemState & CDIS_HOT) != 0);
        return CDRF_SKIPDEFAULT;
    }
    if (nmcd.dwDrawStage != CDDS_POSTPAINT)
        return CDRF_DODEFAULT;
    HDC dc = nmcd.hdc;
    RECT caption = {};
    if (!::SendMessageW(m_toolBar.m_hWnd, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&caption))) {
        ::GetClientRect(m_toolBar.m_hWnd, &caption);
        caption.top += 2;
    }
    caption.top -= 2;
    caption.left += 2;
    if (!m_captionFont) {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        m_captionFont = ::CreateFontIndirectW(&metrics.lfMenuFont);
        LOGFONTW light = metrics.lfMenuFont;
        light.lfWeight = FW_LIGHT;
        light.lfItalic = TRUE;
        light.lfHeight += light.lfHeight < 0 ? -1 : 1;
        m_hintFont = ::CreateFontIndirectW(&light);
    }
    HGDIOBJ oldFont = ::SelectObject(dc, m_captionFont);
    if (m_toolBar.IsHighlighted())
        ::FillRect(dc, &caption, GetRedBrush());
    const CString counter =
        CFloatPaneToolBar::MakeCounterText(m_captionOnly != 0, GetSelectedCount(), GetRowCount());
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, counter.GetString(), counter.GetLength(), &extent);
    const int width = (extent.cx ? extent.cx * 3 / 2 : 20) + 4;
    RECT bubble = {caption.left + 3, caption.top + 3, caption.left + 3 + width, caption.bottom - 1};
    if (HRGN region = ::CreateRoundRectRgn(bubble.left, bubble.top, bubble.right, bubble.bottom, 4, 4)) {
        ::FillRgn(dc, region, ::GetSysColorBrush(m_captionOnly ? COLOR_INFOBK : COLOR_HIGHLIGHT));
        ::FrameRgn(dc, region, ::GetSysColorBrush(m_captionOnly ? COLOR_INFOTEXT : COLOR_WINDOWTEXT), 1, 1);
        ::DeleteObject(region);
    }
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour =
        ::SetTextColor(dc, ::GetSysColor(m_captionOnly ? COLOR_INFOTEXT : COLOR_HIGHLIGHTTEXT));
    RECT text = bubble;
    text.left += 4;
    ::DrawTextW(dc, counter.GetString(), counter.GetLength(), &text,
                DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    if (m_captionOnly) {
        RECT client = {};
        ::GetClientRect(m_toolBar.m_hWnd, &client);
        HICON icon = reinterpret_cast<HICON>(SendMessageW(WM_GETICON, ICON_SMALL, 0));
        if (icon)
            ::DrawIconEx(dc, client.right - 19, (client.bottom - 14) / 2, icon, 14, 14, 0, nullptr,
                         DI_NORMAL);
    } else {
        CString hint = L"\x2026" + LoadLocalizedTextOr(185, L"Right click here");
        if (m_host && m_host->IsElevated())
            hint += L"^";
        RECT client = {};
        ::GetClientRect(m_toolBar.m_hWnd, &client);
        RECT hintRect = {bubble.right, caption.top + 3, caption.right - 3, caption.bottom};
        ::SelectObject(dc, m_hintFont ? m_hintFont : m_captionFont);
        const bool watching = m_history && m_history->IsWatching();
        ::SetTextColor(dc, m_toolBar.IsHighlighted() ? kYellow : watching ? kToolBarBlue : kOrange);
        ::DrawTextW(dc, hint.GetString(), hint.GetLength(), &hintRect,
                    DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    }
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    ::SelectObject(dc, oldFont);
    return CDRF_DODEFAULT;
}

void CSCVFloatPane::OnToolBarInfoTip(NMTBGETINFOTIPW* tip)
{
    CString text;
    const UINT command = static_cast<UINT>(tip->iItem);
    // The buttons show what the menu tooltip says of their commands (the Keep
    // text for the current state); the English table stands in without one.
    CMenuToolTip* menuTip = m_host ? m_host->GetMenuToolTip() : nullptr;
    const bool fromMenuTip = command == kPaneCmdEditPhrases || command == kPaneCmdCopy ||
                             command == kPaneCmdProtect || command == kPaneCmdMinimizeToCaption ||
                             command == kPaneCmdPin || command == kPaneCmdKeepHistory;
    if (menuTip && fromMenuTip)
        text = menuTip->GetCommandTipText(command);
    if (text.IsEmpty())
        for (const TipText& row : kButtonTips)
            if (row.command == command)
                text = row.english;
    if (tip->iItem == static_cast<int>(kPaneCmdClose))
        text = LoadLocalizedTextOr(292, L"Close float pane");
    if (tip->iItem == static_cast<int>(kPaneCmdPin))
        text += L"\n" + LocalizedAfterLineBreak(kPaneCmdPin, L"Pinned Pane");
    CString title = text;
    CString body = L" ";
    const int lineBreak = text.Find(L'\n');
    if (lineBreak > 0) {
        title = text.Left(lineBreak);
        body = text.Mid(lineBreak + 1);
    }
    if (HWND bar = reinterpret_cast<HWND>(::SendMessageW(m_toolBar.m_hWnd, TB_GETTOOLTIPS, 0, 0)))
        ::SendMessageW(bar, TTM_SETTITLEW, 0, reinterpret_cast<LPARAM>(title.GetString()));
    if (m_captionTip)
        ::SendMessageW(m_captionTip, TTM_POP, 0, 0);
    if (tip->pszText && tip->cchTextMax > 0)
        ::lstrcpynW(tip->pszText, body.GetString(), tip->cchTextMax);
}

HMENU CSCVFloatPane::BuildEditDropDownMenu()
{
    HMENU menu = ::CreatePopupMenu();
    struct Row
    {
        UINT command;
        const wchar_t* english;
    };
    const Row rows[] = {{kPaneCmdEditPhrases, L"Edit Phrases and Settings..."},
                        {0, nullptr},
                        {kPaneCmdKeepHistory, L"Keep Clipboard History"},
                        {kPaneCmdPin, L"Pinned Pane"},
                        {0, nullptr},
                        {32809, L"Save On Exit"},
                        {kPaneCmdSounds, L"Sounds"},
                        {kPaneCmdMuteMode, L"Mute Mode"},
                        {32827, L"Float Panel On Start"},
                        {32862, L"Pinned Mode On Start"},
                        {32815, L"Write Log"},
                        {0, nullptr},
                        {kPaneCmdCheckUpdates, L"Check For Updates"},
                        {kPaneCmdCommandLineKeys, L"Command Line Keys\x2026"},
                        {kPaneCmdHelp, L"About Scrivolanter\x2026"},
                        {0, nullptr},
                        {kPaneCmdClose, L"Exit"}};
    // The texts are the tray menu's own (translated), the close item's its string's.
    HMENU trayMenu = ::LoadMenuW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(kTrayMenuResourceId));
    if (trayMenu && m_host)
        m_host->LocalizeMenu(trayMenu);
    for (const Row& row : rows) {
        if (!row.command) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        wchar_t caption[260] = {};
        if (trayMenu && row.command != kPaneCmdClose && row.command != kPaneCmdPin)
            ::GetMenuStringW(trayMenu, row.command, caption, 259, MF_BYCOMMAND);
        CString text = caption;
        const int tab = text.Find(L'\t');
        if (tab >= 0)
            text = text.Left(tab);
        if (text.IsEmpty())
            text = LocalizedAfterLineBreak(row.command, row.english);
        ::AppendMenuW(menu, MF_STRING, row.command, text.GetString());
    }
    if (trayMenu)
        ::DestroyMenu(trayMenu);
    ::CheckMenuItem(menu, kPaneCmdKeepHistory,
                    MF_BYCOMMAND | (m_history && m_history->IsWatching() ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(menu, kPaneCmdPin, MF_BYCOMMAND | (m_pinned ? MF_CHECKED : MF_UNCHECKED));
    ::SetMenuDefaultItem(menu, kPaneCmdEditPhrases, FALSE);
    HWND tray = m_host ? m_host->GetTrayWindow() : nullptr;
    if (tray)
        ::SendMessageW(tray, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    return menu;
}

void CSCVFloatPane::OnToolBarDropDown(NMTOOLBARW* toolbar)
{
    if (toolbar->iItem != static_cast<int>(kPaneCmdEditPhrases))
        return;
    HMENU menu = BuildEditDropDownMenu();
    HWND tray = m_host ? m_host->GetTrayWindow() : nullptr;
    RECT button = {};
    ::SendMessageW(m_toolBar.m_hWnd, TB_GETRECT, kPaneCmdEditPhrases, reinterpret_cast<LPARAM>(&button));
    POINT corner = {button.right, button.bottom};
    ::ClientToScreen(m_toolBar.m_hWnd, &corner);
    ::SendMessageW(m_toolBar.m_hWnd, TB_CHECKBUTTON, kPaneCmdEditPhrases, TRUE);
    const UINT chosen =
        static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD, corner.x, corner.y, 0, m_hWnd, nullptr));
    ::SendMessageW(m_toolBar.m_hWnd, TB_CHECKBUTTON, kPaneCmdEditPhrases, FALSE);
    ::DestroyMenu(menu);
    if (chosen == kPaneCmdPin)
        SetPinned(!m_pinned);
    else if (chosen && tray)
        ::PostMessageW(tray, WM_COMMAND, chosen, 0);
}

CString CSCVFloatPane::BuildCaptionTipText(bool elevated)
{
    const CString& version = GetMenuHost().shortVersionText;
    CString text = (version.IsEmpty() ? CString(L"Scrivolanter") : version) + L" - " +
                   LoadLocalizedTextOr(142, L"Hot key") + L" [" + GetConfiguredHotKeyText() + L"]";
    text += L"\n" + MakeDashes(35) + L"\n";
    static const struct
    {
        UINT id;
        const wchar_t* english;
    } lines[] = {{293, L"Double click on the caption: expand or fill the screen"},
                 {309, L"Right click on the caption: the pane's menu"},
                 {316, L"Middle click on the caption: the phrases menu"},
                 {315, L"Rest the mouse on the caption to expand the pane"},
                 {319, L"Drag the caption to move the pane"}};
    for (const auto& line : lines) {
        const CString entry = LoadLocalizedTextOr(line.id, line.english);
        if (!entry.IsEmpty())
            text += L"       \x2022 " + entry + L"\n";
    }
    if (!elevated) {
        text += L"\n   " + MakeTitledDashLine(20, LoadLocalizedTextOr(318, L"Tip"), 3) + L"\n";
        text += LoadLocalizedTextOr(317, L"To paste into programs run as administrator, use") + L" \x00AB" +
                CFloatPaneToolBar::GetTrayMenuCaption(kPaneCmdRunAsAdmin) + L"\x00BB" +
                L"\n   \x00BB " + LoadLocalizedTextOr(1062, L"from the tray menu");
    }
    return text;
}

void CSCVFloatPane::UpdateCaptionTip()
{
    if (!m_captionTip || !m_toolBar.m_hWnd)
        return;
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_toolBar.m_hWnd);
    ::SendMessageW(m_captionTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    CString text = BuildCaptionTipText(m_host && m_host->IsElevated());
    tool.lpszText = text.GetBuffer();
    ::SendMessageW(m_captionTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    text.ReleaseBuffer();
}
