#include "editor/controls/FlatSpinButton.h"

#include "common/GdiObjectGuards.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <string>

namespace
{

// Edit buddy -> spin, and the hook that watches the buddies' typing. Used
// on the user-interface thread only.
std::map<HWND, HWND>& BuddyMap()
{
    static std::map<HWND, HWND> map;
    return map;
}

HHOOK g_hook = nullptr;

LRESULT CALLBACK BuddyHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message == WM_COMMAND && HIWORD(message->wParam) == EN_UPDATE) {
            HWND edit = reinterpret_cast<HWND>(message->lParam);
            auto found = BuddyMap().find(edit);
            if (found != BuddyMap().end()) {
                int length = ::GetWindowTextLengthW(edit);
                std::wstring text(static_cast<size_t>(length) + 1, L'\0');
                ::GetWindowTextW(edit, text.data(), length + 1);
                text.resize(static_cast<size_t>(length));
                text.erase(std::remove(text.begin(), text.end(), L'\x00A0'), text.end());
                NMUPDOWN notify = {};
                notify.hdr.hwndFrom = found->second;
                notify.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(found->second));
                notify.hdr.code = UDN_DELTAPOS;
                notify.iPos = static_cast<int>(wcstol(text.c_str(), nullptr, 10));
                notify.iDelta = 0;
                ::SendMessageW(::GetParent(found->second), WM_NOTIFY, notify.hdr.idFrom,
                               reinterpret_cast<LPARAM>(&notify));
            }
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

void RemoveHookWhenUnused()
{
    if (BuddyMap().empty() && g_hook) {
        ::UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

} // namespace

bool CFlatSpinButton::HookInstalled()
{
    return g_hook != nullptr;
}

CFlatSpinButton::~CFlatSpinButton()
{
    ForgetBuddy();
    DeletePens();
}

BOOL CFlatSpinButton::Attach(HWND spin)
{
    if (!SubclassWindow(spin))
        return FALSE;
    CreatePens();
    ReadState();
    return TRUE;
}

void CFlatSpinButton::CreatePens()
{
    const int colors[5] = {COLOR_3DDKSHADOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT,
                           COLOR_BTNFACE};
    DeletePens();
    for (int i = 0; i < 5; ++i)
        m_pens[i] = ::CreatePen(PS_SOLID, 1, ::GetSysColor(colors[i]));
}

void CFlatSpinButton::DeletePens()
{
    for (HPEN& pen : m_pens) {
        if (pen)
            ::DeleteObject(pen);
        pen = nullptr;
    }
}

void CFlatSpinButton::ForgetBuddy()
{
    for (auto it = BuddyMap().begin(); it != BuddyMap().end();) {
        if (it->second == m_hWnd || it->first == m_buddy)
            it = BuddyMap().erase(it);
        else
            ++it;
    }
    RemoveHookWhenUnused();
}

void CFlatSpinButton::ReadState()
{
    m_buddy = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, UDM_GETBUDDY, 0, 0));
    DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    if (style & UDS_WRAP) {
        m_ownPaint = false;
        return;
    }
    m_buddySide = (style & UDS_ALIGNRIGHT) ? 1 : (style & UDS_ALIGNLEFT) ? 2 : 0;
    m_vertical = !(style & UDS_HORZ);
    int lower = 0;
    int upper = 0;
    ::SendMessageW(m_hWnd, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                   reinterpret_cast<LPARAM>(&upper));
    m_reversed = true;
    if (lower < upper) {
        m_reversed = false;
    } else {
        std::swap(lower, upper);
    }
    m_lower = lower;
    m_upper = upper;
    BOOL failed = FALSE;
    int position =
        static_cast<int>(::SendMessageW(m_hWnd, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (position < m_lower || position > m_upper)
        position = m_lower;
    m_position = position;
    m_endState = position == m_lower ? kAtLower : position == m_upper ? kAtUpper : kInside;
    wchar_t className[8] = {};
    if (m_buddy && ::GetClassNameW(m_buddy, className, 8) && wcsncmp(className, L"Edit", 4) == 0 &&
        (className[4] == 0)) {
        if (!g_hook)
            g_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, BuddyHook, nullptr, ::GetCurrentThreadId());
        BuddyMap()[m_buddy] = m_hWnd;
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CFlatSpinButton::SetArrowState(int state)
{
    if (m_swap && (state == kAtUpper || state == kAtLower))
        state = state == kAtUpper ? kAtLower : kAtUpper;
    if (state == m_endState)
        return;
    m_endState = state;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT CFlatSpinButton::OnRangeChanged(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    ReadState();
    return result;
}

LRESULT CFlatSpinButton::OnSetBuddy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    ForgetBuddy();
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    ReadState();
    if (HWND buddy = reinterpret_cast<HWND>(wParam))
        ::SetWindowPos(m_hWnd, buddy, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return result;
}

int CFlatSpinButton::EndStateAt(int value) const
{
    int state = kInside;
    if (value == m_lower && value == m_upper)
        state = kSingleValue;
    else if (value == m_upper)
        state = kAtUpper;
    else if (value == m_lower)
        state = kAtLower;
    if (m_swap && (state == kAtUpper || state == kAtLower))
        state = state == kAtUpper ? kAtLower : kAtUpper;
    return state;
}

LRESULT CFlatSpinButton::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || header->code != UDN_DELTAPOS) {
        handled = FALSE;
        return 0;
    }
    auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
    if (change->iDelta == 0) {
        // A number typed into the buddy: the arrows follow it; the control itself has nothing to change.
        m_position = std::clamp(change->iPos, m_lower, m_upper);
        m_endState = EndStateAt(m_position);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 1;
    }
    long long wanted = static_cast<long long>(m_position) + change->iDelta;
    int value = static_cast<int>(std::clamp<long long>(wanted, m_lower, m_upper));
    if (value == m_position)
        return 1;
    m_endState = EndStateAt(value);
    m_pressed = m_endState == kInside;
    m_position = value;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

void CFlatSpinButton::DrawArrow(HDC dc, const RECT& rect, UINT kind, bool disabled, bool pressed)
{
    RECT r = rect;
    UINT state = kind | DFCS_FLAT;
    if (disabled)
        state |= DFCS_INACTIVE;
    if (pressed) {
        state |= DFCS_PUSHED;
        ::OffsetRect(&r, 1, 1);
    }
    ::DrawFrameControl(dc, &r, DFC_SCROLL, state);
    if (!pressed)
        return;
    SelectedObject pen(dc, m_pens[1]);
    ::MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
    ::LineTo(dc, rect.left, rect.top);
    ::LineTo(dc, rect.right, rect.top);
}

void CFlatSpinButton::Paint(HDC target)
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    MemoryDC dc(target);
    GdiObject<HBITMAP> bitmap(
        ::CreateCompatibleBitmap(target, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom)));
    if (!dc || !bitmap)
        return;
    SelectedObject selected(dc.get(), bitmap.get());
    ::FillRect(dc.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT area = client;
    if (m_buddySide != 0) {
        area.top += 2;
        area.bottom -= 2;
        if (m_buddySide == 1)
            area.right -= 2;
        else
            area.left += 2;
    }
    RECT first = area;
    RECT second = area;
    if (m_vertical)
        first.bottom = second.top = (area.top + area.bottom) / 2;
    else
        first.right = second.left = (area.left + area.right) / 2;
    bool firstDisabled = false;
    bool secondDisabled = false;
    if (m_endState == kAtUpper || m_endState == kAtLower) {
        // upper end: the up (vertical) or right (horizontal) arrow; reversed: the other one
        bool upperEnd = m_endState == kAtUpper;
        bool disableFirst = m_vertical ? upperEnd : !upperEnd;
        if (m_reversed)
            disableFirst = !disableFirst;
        firstDisabled = disableFirst;
        secondDisabled = !disableFirst;
    }
    // A disabled spin shows both arrows disabled, as a standard one does.
    if (!::IsWindowEnabled(m_hWnd))
        firstDisabled = secondDisabled = true;
    if (m_pressed && ::IsRectEmpty(&m_pressedRect)) {
        DWORD pos = ::GetMessagePos();
        POINT cursor = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        ::ScreenToClient(m_hWnd, &cursor);
        m_pressedRect = ::PtInRect(&first, cursor) ? first : second;
    }
    bool firstPressed = m_pressed && ::EqualRect(&m_pressedRect, &first);
    bool secondPressed = m_pressed && ::EqualRect(&m_pressedRect, &second);
    DrawArrow(dc.get(), first, m_vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, firstDisabled, firstPressed);
    DrawArrow(dc.get(), second, m_vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, secondDisabled,
              secondPressed);
    m_pressed = false;
    if (m_buddySide != 0) {
        int farX = m_buddySide == 1 ? client.right - 1 : client.left;
        int nearX = m_buddySide == 1 ? client.left : client.right - 1;
        {
            SelectedObject pen(dc.get(), m_pens[1]);
            ::MoveToEx(dc.get(), nearX, client.top, nullptr);
            ::LineTo(dc.get(), farX, client.top);
        }
        {
            SelectedObject pen(dc.get(), m_pens[0]);
            ::MoveToEx(dc.get(), farX, client.top, nullptr);
            ::LineTo(dc.get(), farX, client.bottom - 1);
        }
        SelectedObject pen(dc.get(), m_pens[2]);
        ::MoveToEx(dc.get(), farX, client.bottom - 1, nullptr);
        ::LineTo(dc.get(), nearX, client.bottom - 1);
    }
    ::BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

LRESULT CFlatSpinButton::OnPaint(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_ownPaint) {
        handled = FALSE;
        return 0;
    }
    PAINTSTRUCT paint = {};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    Paint(dc);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CFlatSpinButton::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_ownPaint) {
        handled = FALSE;
        return 0;
    }
    return 1;
}

LRESULT CFlatSpinButton::OnLeftButtonDown(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_pressedRect = RECT{};
    handled = FALSE;
    return 0;
}

LRESULT CFlatSpinButton::OnLeftButtonUp(UINT, WPARAM, LPARAM, BOOL& handled)
{
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
    handled = FALSE;
    return 0;
}

LRESULT CFlatSpinButton::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    ForgetBuddy();
    handled = FALSE;
    return 0;
}
