#include "editor/controls/ThemedTabCtrl.h"

#include "platform/WindowsX.h"
#undef SubclassWindow

namespace
{

constexpr UINT_PTR kTipTimer = 4321;
constexpr int kScrollArrowsId = 2;

} // namespace

UINT GetTabRedrawMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{BA72D1B8-C720-4c39-A0DA-80FC932F1F5E}");
    return message;
}

ThemedTabCtrl::~ThemedTabCtrl()
{
    if (m_tabTip && ::IsWindow(m_tabTip))
        ::DestroyWindow(m_tabTip);
}

HWND ThemedTabCtrl::Create(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND tab =
        ::CreateWindowExW(0, WC_TABCONTROLW, nullptr, style, rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          ::GetModuleHandleW(nullptr), nullptr);
    if (!tab)
        return nullptr;
    if (!Attach(tab)) {
        ::DestroyWindow(tab);
        return nullptr;
    }
    return m_hWnd;
}

BOOL ThemedTabCtrl::Attach(HWND tab)
{
    if (!SubclassWindow(tab))
        return FALSE;
    // The common control's own tooltips go; ours are made on demand.
    DefWindowProc(TCM_SETTOOLTIPS, 0, 0);
    OnAttachedTab();
    return TRUE;
}

LPARAM ThemedTabCtrl::GetTabItemParam(int tab) const
{
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!::SendMessageW(m_hWnd, TCM_GETITEMW, tab, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.lParam;
}

int ThemedTabCtrl::InsertTab(int index, LPCWSTR text, LPARAM param)
{
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<LPWSTR>(text);
    item.lParam = param;
    return static_cast<int>(::SendMessageW(m_hWnd, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
}

HWND ThemedTabCtrl::GetTabToolTip()
{
    if (m_tabTip || !m_hWnd)
        return m_tabTip;
    m_tabTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                 0, 0, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_tabTip)
        return nullptr;
    ::SendMessageW(m_tabTip, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 3);
    ::SendMessageW(m_tabTip, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    ::SendMessageW(m_tabTip, TTM_SETDELAYTIME, TTDT_RESHOW, 100);
    ::SendMessageW(m_tabTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 10000);
    if (HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)))
        ::SendMessageW(m_tabTip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    OnTipCreated(m_tabTip);
    TTTOOLINFOW tool{sizeof(tool)};
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_tabTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return m_tabTip;
}

int ThemedTabCtrl::HitTest(POINT clientPoint) const
{
    TCHITTESTINFO hit{clientPoint, TCHT_ONITEM};
    return static_cast<int>(::SendMessageW(m_hWnd, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void ThemedTabCtrl::RedrawTab(int tab)
{
    RECT rect;
    if (tab < 0 || !::SendMessageW(m_hWnd, TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&rect)))
        return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    rect.top = client.top;
    rect.bottom = client.bottom;
    ::InvalidateRect(m_hWnd, &rect, TRUE);
    ::UpdateWindow(m_hWnd);
}

void ThemedTabCtrl::SetHotTab(int tab, POINT point)
{
    if (tab >= 0) {
        NMTABHOT record{
            {m_hWnd, static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd)), kTabNotifyHot}, tab, tab, -1, -1};
        if (::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, record.hdr.idFrom,
                           reinterpret_cast<LPARAM>(&record)) == 2)
            tab = -1;
    }
    (void)point;
    if (tab == m_hotTab)
        return;
    const int old = m_hotTab;
    m_hotTab = tab;
    RedrawTab(old);
    RedrawTab(tab);
}

void ThemedTabCtrl::HideTabTip()
{
    if (m_tabTip) {
        ::SendMessageW(m_tabTip, TTM_POP, 0, 0);
        ::SendMessageW(m_tabTip, TTM_ACTIVATE, FALSE, 0);
    }
    m_tipTab = -1;
}

bool ThemedTabCtrl::ShowTabTip(int tab)
{
    if (tab < 0 || tab == m_tipTab)
        return false;
    const CString text = TabTipText(tab);
    HWND tip = GetTabToolTip();
    if (text.IsEmpty() || !tip)
        return false;
    TTTOOLINFOW tool{sizeof(tool)};
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<LPWSTR>(text.GetString());
    ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (font && reinterpret_cast<HGDIOBJ>(::SendMessageW(tip, WM_GETFONT, 0, 0)) != font)
        ::SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_tipTab = tab;
    ::SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
    POINT cursor;
    ::GetCursorPos(&cursor);
    POINT client = cursor;
    ::ScreenToClient(m_hWnd, &client);
    MSG msg{m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), ::GetMessageTime(), cursor};
    ::SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    return true;
}

BOOL ThemedTabCtrl::PreTranslateMessage(MSG* msg)
{
    const int count = static_cast<int>(::SendMessageW(m_hWnd, TCM_GETITEMCOUNT, 0, 0));
    if (m_tipTab < 0 || m_tipTab >= count) {
        if (m_tipTab >= 0)
            HideTabTip();
        return FALSE;
    }
    if (msg->hwnd != m_hWnd || msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST)
        return FALSE;
    const POINT point{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
    if (HitTest(point) != m_tipTab && m_tabTip)
        ::SendMessageW(m_tabTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    return FALSE;
}

LRESULT ThemedTabCtrl::OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    GetTabToolTip();
    if (!m_mouseTracked) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, HOVER_DEFAULT};
        m_mouseTracked = ::TrackMouseEvent(&track) != FALSE;
    }
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int tab = HitTest(point);
    if (tab < 0) {
        HideTabTip();
        SetHotTab(-1, point);
        return result;
    }
    m_hoverTab = tab;
    if (m_tipTab >= 0 && m_tipTab != tab)
        HideTabTip();
    ::SetTimer(m_hWnd, kTipTimer, 500, nullptr);
    SetHotTab(tab, point);
    return result;
}

LRESULT ThemedTabCtrl::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_mouseTracked = false;
    HideTabTip();
    SetHotTab(-1, POINT{-1, -1});
    handled = FALSE;
    return 0;
}

LRESULT ThemedTabCtrl::OnMButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int tab = HitTest(point);
    if (tab >= 0)
        ShowTabTip(tab);
    handled = FALSE;
    return 0;
}

LRESULT ThemedTabCtrl::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kTipTimer) {
        handled = FALSE;
        return 0;
    }
    ::KillTimer(m_hWnd, kTipTimer);
    POINT cursor;
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    if (HitTest(cursor) == m_hoverTab && m_tipTab != m_hoverTab)
        ShowTabTip(m_hoverTab);
    return 0;
}

LRESULT ThemedTabCtrl::OnSetFont(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    if (m_tabTip)
        ::SendMessageW(m_tabTip, WM_SETFONT, wParam, lParam);
    return result;
}

LRESULT ThemedTabCtrl::OnGetToolTips(UINT, WPARAM, LPARAM, BOOL&)
{
    return reinterpret_cast<LRESULT>(GetTabToolTip());
}

LRESULT ThemedTabCtrl::OnSetToolTips(UINT uMsg, WPARAM, LPARAM, BOOL&)
{
    return DefWindowProc(uMsg, 0, 0);
}

LRESULT ThemedTabCtrl::OnSetCurSel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT before = DefWindowProc(TCM_GETCURSEL, 0, 0);
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    HWND arrows = ::GetDlgItem(m_hWnd, kScrollArrowsId);
    if (before == static_cast<LRESULT>(wParam) || !arrows || !::IsWindowVisible(arrows))
        return result;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int count = static_cast<int>(DefWindowProc(TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT rect;
        if (DefWindowProc(TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect)) &&
            (rect.left < client.left || rect.right > client.right))
            ::PostMessageW(m_hWnd, GetTabRedrawMessage(), i, 0);
    }
    return result;
}

LRESULT ThemedTabCtrl::OnRedrawTab(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    RedrawTab(static_cast<int>(wParam));
    return 1;
}
