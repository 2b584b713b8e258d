#include "common/MenuToolTip.h"

#include <commctrl.h>

#include <thread>

#include "common/HandedOutAddresses.h"
#include "common/SharedLog.h"

namespace
{

constexpr wchar_t kTipClassName[] = L"MenuToolTip";
constexpr wchar_t kObjectProperty[] = L"Scrivolanter.MenuToolTip";
constexpr int kMaxTitleChars = 261;
constexpr int kMaxTextChars = 3500;
constexpr int kMenuStringChars = 1024;

// The system commands that show no tip.
// A tooltip draws control characters as boxes: a tab becomes blanks, other
// controls but the line breaks are dropped.
CString MakeTipDisplayText(const CString& text)
{
    CString shown;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\t')
            shown += L"    ";
        else if (c >= 0x20 || c == L'\r' || c == L'\n')
            shown += c;
    }
    return shown;
}

constexpr UINT kNoTipCommands[] = {SC_SIZE, SC_MOVE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE, SC_RESTORE};

WNDPROC g_baseTipProc = nullptr;

// The tooltip messages whose parameters are values, not addresses.
bool IsTipMessageWithoutAddress(UINT message)
{
    switch (message) {
    case TTM_ACTIVATE:
    case TTM_SETDELAYTIME:
    case TTM_GETDELAYTIME:
    case TTM_POP:
    case TTM_POPUP:
    case TTM_UPDATE:
    case TTM_GETTOOLCOUNT:
    case TTM_SETMAXTIPWIDTH:
    case TTM_GETMAXTIPWIDTH:
    case TTM_TRACKPOSITION:
    case TTM_SETTIPBKCOLOR:
    case TTM_SETTIPTEXTCOLOR:
    case TTM_GETTIPBKCOLOR:
    case TTM_GETTIPTEXTCOLOR:
        return true;
    default:
        return false;
    }
}

// Any program can send the tip window the tooltip messages of the WM_USER range: one whose
// parameter is an address is taken only when it names a record this object handed out.
bool IsForeignTipRecord(UINT message, LPARAM lParam)
{
    if (message < WM_USER || message > WM_USER + 0x7FF || IsTipMessageWithoutAddress(message))
        return false;
    return !IsHandedOut(HandOverKind::Request, reinterpret_cast<const void*>(lParam), 1);
}

// Sends the tip window a tooltip message whose lParam is a record, handed out for the send.
LRESULT SendRecordToTip(HWND tip, UINT message, WPARAM wParam, const void* record, size_t bytes)
{
    const CHandOverScope handOver(HandOverKind::Request, record, bytes);
    return ::SendMessageW(tip, message, wParam, reinterpret_cast<LPARAM>(record));
}

// The message a delay thread posts to the tip window: wParam the item, lParam the menu.
UINT GetDelayPassedMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Scrivolanter.MenuToolTip.DelayPassed");
    return message;
}

// The thread's hook: installed by the first tip with a hook on the thread,
// removed when the last of them is destroyed.
struct ThreadHookRecord
{
    HWND owner = nullptr;
    HWND tip = nullptr;
    HHOOK hook = nullptr;
    int users = 0;
};
thread_local ThreadHookRecord t_hook;

// "MenuToolTip": the system's tooltip class with our procedure in front.
LPCWSTR RegisterTipClass(WNDPROC proc)
{
    static const bool registered = [proc] {
        WNDCLASSEXW info{};
        info.cbSize = sizeof(info);
        if (!::GetClassInfoExW(nullptr, TOOLTIPS_CLASSW, &info))
            return false;
        g_baseTipProc = info.lpfnWndProc;
        info.lpfnWndProc = proc;
        info.lpszClassName = kTipClassName;
        info.hInstance = ::GetModuleHandleW(nullptr);
        info.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
        return ::RegisterClassExW(&info) != 0;
    }();
    return registered ? kTipClassName : TOOLTIPS_CLASSW;
}

bool IsDescendantOf(HWND window, HWND ancestor)
{
    if (!window || !ancestor || window == ancestor)
        return false;
    for (HWND parent = ::GetParent(window); parent; parent = ::GetParent(parent)) {
        if (parent == ancestor)
            return true;
    }
    return false;
}

CString MenuItemString(HMENU menu, UINT id, int maxChars)
{
    CString text;
    const int length = ::GetMenuStringW(menu, id, text.GetBuffer(maxChars + 1), maxChars, MF_BYCOMMAND);
    text.ReleaseBuffer(length > 0 ? length : 0);
    return text;
}

// The item's text as a title: "&" removed, a key after a tab put in brackets.
CString TitleFromMenuText(CString text)
{
    text.Remove(L'&');
    const int tab = text.Find(L'\t');
    if (tab <= 0)
        return text;
    CString title;
    title.Format(L"%s\t[%s]", text.Left(tab).GetString(), text.Mid(tab + 1).GetString());
    return title;
}

int PositionOfCommand(HMENU menu, UINT id)
{
    for (int position = ::GetMenuItemCount(menu) - 1; position >= 0; --position) {
        if (::GetMenuItemID(menu, position) == id)
            return position;
    }
    return -1;
}

} // namespace

struct CMenuToolTip::DelayState
{
    volatile LONG currentId = 0;
    volatile LONG pending = 0;
};

UINT GetMenuTipRequestMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"9176C785-52C0-432a-AB51-C8439932297C");
    return message;
}

POINT ComputeMenuTipPosition(const MenuTipPlacementInput& input)
{
    const RECT& item = input.item;
    const bool tooLow = input.screenHeight < item.top + input.defaultHeight;
    const LONG width = input.tip.cx > 0 ? input.tip.cx : input.defaultWidth;
    POINT point{};
    point.x = input.screenWidth >= item.right + width ? item.right : item.left - width;
    point.y = tooLow ? item.bottom - input.tip.cy : item.top;
    if (input.balloon) {
        point.y += (item.bottom - item.top) / 2;
        return point;
    }
    if (point.y + input.tip.cy > input.screenHeight)
        point.y = item.bottom - input.tip.cy - input.borderHeight;
    return point;
}

CMenuToolTip::CMenuToolTip(bool withHook)
    : m_state(std::make_shared<DelayState>()), m_withHook(withHook),
      m_screenWidth(::GetSystemMetrics(SM_CXSCREEN)), m_screenHeight(::GetSystemMetrics(SM_CYSCREEN))
{}

CMenuToolTip::~CMenuToolTip()
{
    // Delay threads still sleeping hold only the shared state; what they post
    // to the destroyed window is dropped.
    ::InterlockedExchange(&m_state->currentId, 0);
    DestroyTip();
}

void CMenuToolTip::DestroyTip()
{
    RemoveHook();
    if (!m_tipWindow)
        return;
    ::RemovePropW(m_tipWindow, kObjectProperty);
    if (::IsWindow(m_tipWindow))
        ::DestroyWindow(m_tipWindow);
    m_tipWindow = nullptr;
    m_active = false;
}

HWND CMenuToolTip::Create(HWND owner, LPCWSTR defaultText, HINSTANCE instance, DWORD style, LPCWSTR title)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    if (!::InitCommonControlsEx(&controls))
        return nullptr;
    DestroyTip();
    m_ownerWindow = owner;
    m_instance = instance;
    m_tipWindow = ::CreateWindowExW(0, RegisterTipClass(&CMenuToolTip::TipWindowProc), L"", style | WS_POPUP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                    nullptr, instance, nullptr);
    if (!m_tipWindow)
        return nullptr;
    ::SetPropW(m_tipWindow, kObjectProperty, this);
    if (g_baseTipProc &&
        ::GetWindowLongPtrW(m_tipWindow, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(g_baseTipProc))
        ::SetWindowLongPtrW(m_tipWindow, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(&CMenuToolTip::TipWindowProc));
    AddTool(defaultText);
    ::SendMessageW(m_tipWindow, TTM_SETMAXTIPWIDTH, 0, 300);
    if (title && *title)
        SetTitle(title, 0, TTI_INFO);
    if (m_withHook)
        InstallHook();
    return m_tipWindow;
}

void CMenuToolTip::AddTool(LPCWSTR text)
{
    if (text != LPSTR_TEXTCALLBACKW)
        ::lstrcpynW(m_defaultText, text ? text : L"No Text associated", ARRAYSIZE(m_defaultText));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = m_ownerWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(m_ownerWindow);
    tool.hinst = m_instance;
    tool.lpszText = text == LPSTR_TEXTCALLBACKW ? LPSTR_TEXTCALLBACKW : m_defaultText;
    SendRecordToTip(m_tipWindow, TTM_ADDTOOLW, 0, &tool, sizeof(tool));
}

// --- Selection and delay ----------------------------------------------------------------------------

void CMenuToolTip::OnMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (item == 0) {
        Hide();
        return;
    }
    if (m_disabled)
        return;
    if (!(flags & MF_POPUP) && menu) {
        const CString text = MenuItemString(menu, item, kMenuStringChars);
        SetTitle(TitleFromMenuText(text), item, GetIconForId(item));
    }
    if ((flags & (MF_SEPARATOR | MF_POPUP)) || (flags == 0xFFFF && !menu) || IsNoTipCommand(item)) {
        Hide();
        return;
    }
    if (ShowAtOnce(item)) {
        ::InterlockedExchange(&m_state->currentId, static_cast<LONG>(item));
        Show(menu, item);
        return;
    }
    Activate(false);
    ::InterlockedExchange(&m_state->currentId, static_cast<LONG>(item));
    StartDelay(item, menu);
}

void CMenuToolTip::StartDelay(UINT item, HMENU menu)
{
    std::shared_ptr<DelayState> state = m_state;
    const HWND tip = m_tipWindow;
    ::InterlockedIncrement(&state->pending);
    try {
        std::thread([state, tip, item, menu] {
            ::Sleep(kShowDelayMs);
            if (::InterlockedCompareExchange(&state->currentId, 0, 0) == static_cast<LONG>(item))
                ::PostMessageW(tip, GetDelayPassedMessage(), item, reinterpret_cast<LPARAM>(menu));
            ::InterlockedDecrement(&state->pending);
        }).detach();
    } catch (...) {
        // No thread: no tip for this item.
        ::InterlockedDecrement(&state->pending);
    }
}

void CMenuToolTip::OnDelayPassed(UINT item, HMENU menu)
{
    if (GetCurrentId() != item)
        return;
    if (::IsMenu(menu)) {
        Show(menu, item);
        return;
    }
    PopByClick();
    Activate(false);
}

UINT CMenuToolTip::GetCurrentId() const
{
    return static_cast<UINT>(::InterlockedCompareExchange(&m_state->currentId, 0, 0));
}

long CMenuToolTip::GetPendingCount() const
{
    return ::InterlockedCompareExchange(&m_state->pending, 0, 0);
}

void CMenuToolTip::Hide()
{
    ::InterlockedExchange(&m_state->currentId, 0);
    Activate(false);
}

// --- Showing ----------------------------------------------------------------------------------------

void CMenuToolTip::Show(HMENU menu, UINT id)
{
    if (!::IsMenu(menu) || !m_tipWindow)
        return;
    MenuTipRequest request;
    request.commandId = id;
    bool answered = false;
    if (id != 0 && m_notifyWindow && ::IsWindow(m_notifyWindow))
        answered = ::SendMessageW(m_notifyWindow, GetMenuTipRequestMessage(), 0,
                                  reinterpret_cast<LPARAM>(&request)) != 0;
    CString text;
    CString title;
    INT_PTR icon = 0;
    if (answered) {
        text = request.text;
        title = request.title;
        icon = request.icon;
    } else {
        GetTipText(text, id, menu, title);
    }
    if (answered && (!title.IsEmpty() || icon != 0))
        SetTitle(title.IsEmpty() ? TitleFromMenuText(MenuItemString(menu, id, 399)) : title, id, icon);
    SetText(text.IsEmpty() ? CString(m_defaultText) : text);
    if (!::IsMenu(menu))
        return;
    if (!title.IsEmpty())
        SetTitle(title, id, icon);
    Place(menu, id);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_ownerWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(m_ownerWindow);
    SendRecordToTip(m_tipWindow, TTM_TRACKACTIVATE, TRUE, &tool, sizeof(tool));
    m_active = true;
}

void CMenuToolTip::SetTitle(const CString& text, UINT id, INT_PTR icon)
{
    if (!m_tipWindow)
        return;
    if (icon == 0)
        icon = GetIconForId(id);
    CString title = MakeTipDisplayText(text);
    if (title.GetLength() > kMaxTitleChars)
        title = title.Left(kMaxTitleChars) + L"\x2026";
    SendRecordToTip(m_tipWindow, TTM_SETTITLEW, static_cast<WPARAM>(icon), title.GetString(),
                    (static_cast<size_t>(title.GetLength()) + 1) * sizeof(wchar_t));
}

void CMenuToolTip::SetText(const CString& text)
{
    if (!m_tipWindow)
        return;
    CString body = MakeTipDisplayText(text);
    if (body.GetLength() >= kMaxTextChars)
        body = body.Left(kMaxTextChars - 2) + L"\x2026";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_ownerWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(m_ownerWindow);
    tool.hinst = m_instance;
    tool.lpszText = const_cast<LPWSTR>(body.GetString());
    SendRecordToTip(m_tipWindow, TTM_UPDATETIPTEXTW, 0, &tool, sizeof(tool));
}

void CMenuToolTip::Activate(bool active)
{
    if (active && m_disabled)
        return;
    m_active = active;
    if (!m_tipWindow)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_ownerWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(m_ownerWindow);
    SendRecordToTip(m_tipWindow, TTM_TRACKACTIVATE, active ? TRUE : FALSE, &tool, sizeof(tool));
}

void CMenuToolTip::HideTip()
{
    if (!m_tipWindow || !::IsWindow(m_tipWindow))
        return;
    ::SendMessageW(m_tipWindow, TTM_POP, 0, 0);
    ::ShowWindow(m_tipWindow, SW_HIDE);
}

void CMenuToolTip::PopByClick()
{
    if (!m_tipWindow || !::IsWindow(m_tipWindow))
        return;
    RECT rect{};
    ::GetWindowRect(m_tipWindow, &rect);
    const LPARAM centre = MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
    ::SendMessageW(m_tipWindow, WM_LBUTTONDOWN, MK_LBUTTON, centre);
}

void CMenuToolTip::OnEnterIdle(HWND, WPARAM reason, HWND menuWindow)
{
    if (reason != MSGF_MENU || !menuWindow)
        return;
    m_menuWindow = menuWindow;
    if (m_placedId != 0 && m_active)
        Place(m_placedMenu, m_placedId);
}

void CMenuToolTip::Place(HMENU menu, UINT id)
{
    if (!m_menuWindow || !::IsWindow(m_menuWindow))
        return;
    m_placedMenu = menu;
    m_placedId = id;
    const int position = PositionOfCommand(menu, id);
    RECT item{};
    if (position < 0 || !::GetMenuItemRect(m_menuWindow, menu, static_cast<UINT>(position), &item))
        return;
    RECT tipRect{};
    ::GetWindowRect(m_tipWindow, &tipRect);
    MenuTipPlacementInput input;
    input.item = item;
    input.tip = SIZE{tipRect.right - tipRect.left, tipRect.bottom - tipRect.top};
    input.balloon = (::GetWindowLongPtrW(m_tipWindow, GWL_STYLE) & TTS_BALLOON) != 0;
    input.screenWidth = m_screenWidth;
    input.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    input.defaultWidth = GetDefaultWidth();
    input.defaultHeight = GetDefaultHeight();
    input.borderHeight = ::GetSystemMetrics(SM_CYBORDER);
    const POINT point = ComputeMenuTipPosition(input);
    ::SendMessageW(m_tipWindow, TTM_TRACKPOSITION, 0,
                   MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(point.x)),
                              static_cast<WORD>(static_cast<SHORT>(point.y))));
    ::SetWindowPos(m_tipWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool CMenuToolTip::IsNoTipCommand(UINT id) const
{
    for (UINT command : kNoTipCommands) {
        if (command == id)
            return true;
    }
    return false;
}

INT_PTR CMenuToolTip::GetIconForId(UINT)
{
    return TTI_INFO;
}

// --- Tip window procedure and thread hook -----------------------------------------------------------

LRESULT CALLBACK CMenuToolTip::TipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CMenuToolTip*>(::GetPropW(window, kObjectProperty));
    if (IsForeignTipRecord(message, lParam)) {
        WriteLogLine(L"CMenuToolTip: a tooltip record this process did not hand out, ignored");
        return 0;
    }
    if (message == GetDelayPassedMessage()) {
        if (self)
            self->OnDelayPassed(static_cast<UINT>(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    }
    if (self && (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN)) {
        const LRESULT result = ::CallWindowProcW(g_baseTipProc, window, message, wParam, lParam);
        ::SendMessageW(window, TTM_POP, 0, 0);
        ::ShowWindow(window, SW_HIDE);
        return result;
    }
    const LRESULT result = ::CallWindowProcW(g_baseTipProc, window, message, wParam, lParam);
    if (message == WM_NCHITTEST && result == HTCLIENT)
        ::PostMessageW(window, TTM_POP, 0, 0);
    return result;
}

void CMenuToolTip::InstallHook()
{
    if (m_hooked)
        return;
    if (!t_hook.hook) {
        t_hook.hook =
            ::SetWindowsHookExW(WH_CALLWNDPROC, &CMenuToolTip::HookProc, nullptr, ::GetCurrentThreadId());
        if (!t_hook.hook) {
            LogError(L"CMenuToolTip: cannot install the menu message hook");
            return;
        }
    }
    t_hook.owner = m_ownerWindow;
    t_hook.tip = m_tipWindow;
    ++t_hook.users;
    m_hooked = true;
}

void CMenuToolTip::RemoveHook()
{
    if (!m_hooked)
        return;
    m_hooked = false;
    if (t_hook.tip == m_tipWindow) {
        t_hook.tip = nullptr;
        t_hook.owner = nullptr;
    }
    if (--t_hook.users > 0 || !t_hook.hook)
        return;
    ::UnhookWindowsHookEx(t_hook.hook);
    t_hook = ThreadHookRecord{};
}

LRESULT CALLBACK CMenuToolTip::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code != HC_ACTION)
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    switch (call->message) {
    case WM_INITDIALOG:
    case WM_MENURBUTTONUP:
    case WM_UNINITMENUPOPUP:
    case WM_EXITMENULOOP:
        if (t_hook.tip && ::IsWindow(t_hook.tip)) {
            ::SendMessageW(t_hook.tip, TTM_POP, 0, 0);
            ::ShowWindow(t_hook.tip, SW_HIDE);
        }
        break;
    case WM_ENTERIDLE:
    case WM_MENUSELECT:
        if ((call->message == WM_MENUSELECT || call->wParam == MSGF_MENU) &&
            IsDescendantOf(call->hwnd, t_hook.owner)) {
            const LRESULT result = ::CallNextHookEx(nullptr, code, wParam, lParam);
            ::SendMessageW(t_hook.owner, call->message, call->wParam, call->lParam);
            return result;
        }
        break;
    default:
        break;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
