#include "editor/controls/HotkeyCtrlEx.h"
#include "common/HandedOutAddresses.h"

#include <commctrl.h>
#include <process.h>
#include "platform/WindowsX.h"

#include "common/BoldCheckBox.h"
#include "common/GdiObjectGuards.h"
#include "common/HotKeyText.h"
#include "common/KernelHandle.h"

namespace
{

constexpr int kFieldId = 1;
constexpr int kWinBoxId = 2;
constexpr int kDoubleBoxId = 3;
constexpr int kArrowId = 4;
constexpr UINT_PTR kRepaintTimer = 1231;
constexpr COLORREF kEmphasis = RGB(0, 0, 255);

struct ControlData
{
    WNDPROC fieldProc = nullptr;
    HANDLE blinkEvent = nullptr;
};

ControlData* DataOf(HWND control)
{
    return reinterpret_cast<ControlData*>(::GetWindowLongPtrW(control, GWLP_USERDATA));
}

HWND Child(HWND control, int id)
{
    return ::GetDlgItem(control, id);
}

HWND BoxOf(WPARAM box, HWND control)
{
    if (box == 1)
        return Child(control, kWinBoxId);
    if (box == 2)
        return Child(control, kDoubleBoxId);
    return nullptr;
}

bool IsChecked(HWND control, int id)
{
    return ::SendMessageW(Child(control, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RepaintField(HWND control)
{
    HWND field = Child(control, kFieldId);
    if (field)
        ::InvalidateRect(field, nullptr, TRUE), ::UpdateWindow(field);
}

UINT HotkeyFlagsToMod(UINT flags)
{
    UINT mods = 0;
    if (flags & HOTKEYF_ALT)
        mods |= MOD_ALT;
    if (flags & HOTKEYF_CONTROL)
        mods |= MOD_CONTROL;
    if (flags & HOTKEYF_SHIFT)
        mods |= MOD_SHIFT;
    return mods;
}

UINT ModToHotkeyFlags(UINT mods)
{
    UINT flags = 0;
    if (mods & MOD_ALT)
        flags |= HOTKEYF_ALT;
    if (mods & MOD_CONTROL)
        flags |= HOTKEYF_CONTROL;
    if (mods & MOD_SHIFT)
        flags |= HOTKEYF_SHIFT;
    return flags;
}

void Notify(HWND control, UINT code)
{
    NMHDR header{control, static_cast<UINT_PTR>(::GetDlgCtrlID(control)), code};
    ::SendMessageW(::GetParent(control), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

CString Spaced(const CString& text)
{
    CString result(text);
    result.Replace(L"+", L" + ");
    return result;
}

// Draws `text` at x, vertically centred; returns the width drawn.
int DrawPart(HDC dc, const RECT& rect, int x, const CString& text, bool ellipsis)
{
    RECT part = rect;
    part.left = x;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (ellipsis ? DT_END_ELLIPSIS : 0);
    ::DrawTextW(dc, text, text.GetLength(), &part, format);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, text.GetLength(), &size);
    return size.cx;
}

HFONT CreateBoldCopy(HFONT font)
{
    LOGFONTW lf{};
    if (!font || !::GetObjectW(font, sizeof(lf), &lf))
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfWeight = FW_BOLD;
    return ::CreateFontIndirectW(&lf);
}

void PaintField(HWND field)
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(field, &ps);
    HWND control = ::GetParent(field);
    const UINT word = static_cast<UINT>(::SendMessageW(field, HKM_GETHOTKEY, 0, 0));
    const UINT key = LOBYTE(word);
    const bool win = key != 0 && ::SendMessageW(control, HKX_GETWIN, 0, 0) != 0;
    const bool twice = key != 0 && ::SendMessageW(control, HKX_GETDOUBLE, 0, 0) != 0;
    const bool enabled = ::IsWindowEnabled(field) != FALSE;
    RECT rect;
    ::GetClientRect(field, &rect);
    const int back = enabled ? COLOR_WINDOW : COLOR_BTNFACE;
    ::FillRect(dc, &rect, ::GetSysColorBrush(back));
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(field, WM_GETFONT, 0, 0));
    GdiObject<HFONT> bold(CreateBoldCopy(font));
    HGDIOBJ oldFont = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    const COLORREF oldBack = ::SetBkColor(dc, ::GetSysColor(back));
    const int oldMode = ::SetBkMode(dc, OPAQUE);
    const COLORREF textColor = ::GetSysColor(key == 0 || !enabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    const COLORREF emphasis = enabled ? kEmphasis : ::GetSysColor(COLOR_GRAYTEXT);
    const COLORREF oldText = ::SetTextColor(dc, textColor);
    CString text =
        key == 0 ? CString(L"None") : Spaced(HotkeyModifiersToText(key, HotkeyFlagsToMod(HIBYTE(word))));
    int x = rect.left + 2;
    if (win) {
        ::SelectObject(dc, bold.get());
        ::SetTextColor(dc, emphasis);
        x += DrawPart(dc, rect, x, L"Win", false);
        ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetTextColor(dc, textColor);
        text = L" + " + text;
    }
    x += DrawPart(dc, rect, x, text, true);
    if (twice) {
        ::SelectObject(dc, bold.get());
        ::SetTextColor(dc, emphasis);
        DrawPart(dc, rect, x, L" + " + HotkeyModifiersToText(key, 0), true);
    }
    ::SetTextColor(dc, oldText);
    ::SetBkMode(dc, oldMode);
    ::SetBkColor(dc, oldBack);
    ::SelectObject(dc, oldFont);
    ::EndPaint(field, &ps);
    ::ValidateRect(field, nullptr);
}

struct BlinkParams
{
    HWND button;
    HANDLE event; // a duplicate the thread owns
};

unsigned __stdcall BlinkThread(void* raw)
{
    BlinkParams params = *static_cast<BlinkParams*>(raw);
    delete static_cast<BlinkParams*>(raw);
    CKernelHandle event(params.event);
    wchar_t text[261] = {};
    ::GetWindowTextW(params.button, text, 260);
    for (int i = 0; text[0] && i < 3 && ::IsWindow(params.button); ++i) {
        ::SetWindowTextW(params.button, L"");
        ::Sleep(300);
        ::SetWindowTextW(params.button, text);
        ::Sleep(400);
    }
    ::ResetEvent(event.Get());
    return 0;
}

void StartBlink(HWND control)
{
    ControlData* data = DataOf(control);
    HWND button = Child(control, kArrowId);
    if (!data || !button || !::IsWindowVisible(button))
        return;
    if (data->blinkEvent && ::WaitForSingleObject(data->blinkEvent, 0) == WAIT_OBJECT_0)
        return;
    if (!data->blinkEvent)
        data->blinkEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!data->blinkEvent)
        return;
    ::SetEvent(data->blinkEvent);
    CKernelHandle copy = DuplicateHandleInProcess(data->blinkEvent);
    auto* params = new BlinkParams{button, copy.Get()};
    const uintptr_t thread = copy ? _beginthreadex(nullptr, 0, BlinkThread, params, 0, nullptr) : 0;
    if (!thread) {
        delete params;
        ::ResetEvent(data->blinkEvent);
        return;
    }
    copy.Release();
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
}

LRESULT CALLBACK FieldProc(HWND field, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND control = ::GetParent(field);
    ControlData* data = DataOf(control);
    WNDPROC previous = data ? data->fieldProc : ::DefWindowProcW;
    switch (msg) {
    case WM_PAINT:
        PaintField(field);
        return 0;
    case WM_SETFOCUS: {
        LRESULT result = ::CallWindowProcW(previous, field, msg, wParam, lParam);
        Notify(control, NM_SETFOCUS);
        StartBlink(control);
        return result;
    }
    case WM_CONTEXTMENU: {
        ::CallWindowProcW(previous, field, msg, wParam, lParam);
        struct
        {
            NMHDR hdr;
            POINT point;
        } record{{control, static_cast<UINT_PTR>(::GetDlgCtrlID(control)), kEditorNotifyContextMenu},
                 {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
        ::SendMessageW(::GetParent(control), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
        return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        // Every release counts, also the one that cleared the field: the page tests the key again.
        LRESULT result = ::CallWindowProcW(previous, field, msg, wParam, lParam);
        ::InvalidateRect(field, nullptr, TRUE);
        Notify(control, kEditorNotifyChanged);
        return result;
    }
    default:
        break;
    }
    LRESULT result = ::CallWindowProcW(previous, field, msg, wParam, lParam);
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_CHAR)
        ::InvalidateRect(field, nullptr, TRUE);
    return result;
}

bool CreateChildren(HWND control, int width)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const int h = ::GetSystemMetrics(SM_CYMENU);
    auto make = [&](LPCWSTR cls, LPCWSTR text, DWORD style, int x, int y, int w, int id) {
        return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, control,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    HWND field = make(HOTKEY_CLASSW, nullptr, WS_TABSTOP, 5, 4, width - 25, kFieldId);
    // Drawn by the control: a pushed-button frame or focus mark would cover the glyph of so narrow a
    // button, and a dialog never makes an owner-drawn button its default one.
    HWND arrow = make(L"Button", L">", BS_OWNERDRAW, width - 19, 4, 15, kArrowId);
    HWND win = make(L"Button", L"WIN", BS_AUTOCHECKBOX, 5, 4 + h + 4, 70, kWinBoxId);
    HWND twice = make(L"Button", L"Double", BS_AUTOCHECKBOX, 80, 4 + h + 4, 70, kDoubleBoxId);
    if (!field || !arrow || !win || !twice)
        return false;
    SubclassBoldCheckBox(win);
    SubclassBoldCheckBox(twice);
    DataOf(control)->fieldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc)));
    return true;
}

void Layout(HWND control, int width)
{
    HWND field = Child(control, kFieldId);
    if (!field)
        return;
    const int h = ::GetSystemMetrics(SM_CYMENU);
    RECT rect;
    ::GetWindowRect(field, &rect);
    ::MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&rect), 2);
    ::SetWindowPos(field, nullptr, 0, 0, width - 25, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::GetWindowRect(field, &rect);
    ::MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&rect), 2);
    const int w = (rect.right - rect.left) / 2 - 5;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(Child(control, kWinBoxId), nullptr, rect.left, rect.bottom + 4, w, h, flags);
    ::SetWindowPos(Child(control, kDoubleBoxId), nullptr, rect.right - rect.left - w, rect.bottom + 4, w, h,
                   flags);
    RepaintField(control);
}

HBRUSH BackgroundBrush(HWND control, HDC dc)
{
    HWND parent = ::GetParent(control);
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
        parent, WM_CTLCOLORMSGBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(parent, GCLP_HBRBACKGROUND));
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(control, GCLP_HBRBACKGROUND));
    return brush ? brush : static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

// The ">" button: a push-button frame and its text centred (empty while it blinks). It is no tab
// stop, so it shows no focus mark: the focus comes to it only by a click.
void DrawArrowButton(const DRAWITEMSTRUCT& item)
{
    RECT rect = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::DrawFrameControl(item.hDC, &rect, DFC_BUTTON,
                       DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));
    wchar_t text[16] = {};
    ::GetWindowTextW(item.hwndItem, text, 16);
    if (!text[0])
        return;
    if (pushed)
        ::OffsetRect(&rect, 1, 1);
    const int color = disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = ::SelectObject(item.hDC, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    const COLORREF oldColor = ::SetTextColor(item.hDC, ::GetSysColor(color));
    const int oldMode = ::SetBkMode(item.hDC, TRANSPARENT);
    ::DrawTextW(item.hDC, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SetBkMode(item.hDC, oldMode);
    ::SetTextColor(item.hDC, oldColor);
    ::SelectObject(item.hDC, oldFont);
}

LRESULT OnCommand(HWND control, WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return 0;
    const int id = LOWORD(wParam);
    if (id == kWinBoxId || id == kDoubleBoxId) {
        RepaintField(control);
        Notify(control, kEditorNotifyChanged);
    } else if (id == kArrowId) {
        NMHOTKEYARROW record{
            {control, static_cast<UINT_PTR>(::GetDlgCtrlID(control)), kEditorNotifyArrowClicked}, {}};
        ::GetWindowRect(reinterpret_cast<HWND>(lParam), &record.buttonRect);
        ::SendMessageW(::GetParent(control), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
    }
    return 0;
}

LRESULT OnPrivate(HWND control, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case HKX_SETBOX: {
        HWND box = BoxOf(wParam, control);
        return box ? ::SendMessageW(box, BM_SETCHECK, lParam, 0) : 0;
    }
    case HKX_GETBOX: {
        HWND box = BoxOf(wParam, control);
        return box ? ::SendMessageW(box, BM_GETCHECK, 0, 0) : 0;
    }
    case HKX_SETHOTKEY: {
        LRESULT result = ::SendMessageW(Child(control, kFieldId), HKM_SETHOTKEY, wParam, 0);
        RepaintField(control);
        return result;
    }
    case HKX_GETHOTKEY:
        return ::SendMessageW(Child(control, kFieldId), HKM_GETHOTKEY, 0, 0);
    case HKX_SETDOUBLECAPTION:
        // Only a caption this process hands over (SetDoubleCaption) is read.
        if (wParam != 0 || !IsHandedOut(HandOverKind::OwnWindowData, reinterpret_cast<LPCWSTR>(lParam),
                                         sizeof(wchar_t)))
            return 0;
        ::SetWindowTextW(Child(control, kDoubleBoxId), reinterpret_cast<LPCWSTR>(lParam));
        return 0;
    case HKX_SETDOUBLE:
    case HKX_SETWIN:
        ::SendMessageW(Child(control, msg == HKX_SETWIN ? kWinBoxId : kDoubleBoxId), BM_SETCHECK,
                       wParam ? BST_CHECKED : BST_UNCHECKED, 0);
        RepaintField(control);
        return 0;
    case HKX_GETDOUBLE:
        return IsChecked(control, kDoubleBoxId) ? 1 : 0;
    case HKX_GETWIN:
        return IsChecked(control, kWinBoxId) ? 1 : 0;
    case HKX_REPAINTLATER:
        ::SetTimer(control, kRepaintTimer, 70, nullptr);
        return 1;
    case HKX_ENABLEDOUBLE:
    case HKX_ENABLEWIN:
        ::EnableWindow(Child(control, msg == HKX_ENABLEWIN ? kWinBoxId : kDoubleBoxId),
                       wParam ? TRUE : FALSE);
        RepaintField(control);
        return 1;
    default:
        return 0;
    }
}

bool ContainsWindow(HWND control, HWND other)
{
    return other && (other == control || ::IsChild(control, other));
}

LRESULT CALLBACK ControlProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if ((msg >= HKX_SETBOX && msg <= HKX_REPAINTLATER) || msg == HKX_ENABLEDOUBLE || msg == HKX_ENABLEWIN)
        return OnPrivate(control, msg, wParam, lParam);
    switch (msg) {
    case WM_NCCREATE:
        ::SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ControlData()));
        break;
    case WM_NCDESTROY: {
        ControlData* data = DataOf(control);
        ::SetWindowLongPtrW(control, GWLP_USERDATA, 0);
        if (data && data->blinkEvent)
            ::CloseHandle(data->blinkEvent);
        delete data;
        break;
    }
    case WM_CREATE: {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_HOTKEY_CLASS};
        ::InitCommonControlsEx(&icc);
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (!CreateChildren(control, cs->cx))
            return -1;
        RepaintField(control);
        ::PostMessageW(control, HKX_REPAINTLATER, 0, 0);
        return 0;
    }
    case WM_SIZE:
        if (wParam == SIZE_RESTORED)
            Layout(control, LOWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {155, 2 * ::GetSystemMetrics(SM_CYMENU) + 12};
        return 0;
    case WM_ERASEBKGND: {
        RECT rect;
        ::GetClientRect(control, &rect);
        ::FillRect(reinterpret_cast<HDC>(wParam), &rect,
                   BackgroundBrush(control, reinterpret_cast<HDC>(wParam)));
        ::PostMessageW(control, HKX_REPAINTLATER, 0, 0);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kRepaintTimer) {
            ::KillTimer(control, kRepaintTimer);
            RepaintField(control);
        }
        return 0;
    case WM_SETFOCUS:
        if (!::IsWindowEnabled(control) || ContainsWindow(control, reinterpret_cast<HWND>(wParam)))
            return 0;
        // The field tells the parent when it takes the focus; only a field that did not take it leaves
        // the notification to the control.
        ::SetFocus(Child(control, kFieldId));
        if (::GetFocus() != Child(control, kFieldId))
            Notify(control, NM_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (!ContainsWindow(control, reinterpret_cast<HWND>(wParam)))
            Notify(control, NM_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        for (HWND child = ::GetWindow(control, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            ::EnableWindow(child, static_cast<BOOL>(wParam));
        RepaintField(control);
        return 0;
    case WM_SETFONT:
        for (HWND child = ::GetWindow(control, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            ::SendMessageW(child, WM_SETFONT, wParam, lParam);
        return 0;
    case WM_COMMAND:
        return OnCommand(control, wParam, lParam);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_BUTTON || item->CtlID != kArrowId)
            break;
        DrawArrowButton(*item);
        return TRUE;
    }
    default:
        break;
    }
    return ::DefWindowProcW(control, msg, wParam, lParam);
}

} // namespace

LPCWSTR GetHotkeyCtrlExClassName()
{
    return L"HotkeyCtrlEx_Adv";
}

bool RegisterHotkeyCtrlExClass()
{
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ControlProc;
    wc.cbWndExtra = 4;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = GetHotkeyCtrlExClassName();
    if (::RegisterClassExW(&wc))
        return true;
    WNDCLASSEXW existing{sizeof(existing)};
    return ::GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing) != FALSE;
}

bool IsHotkeyCtrlBlinking(HWND control)
{
    ControlData* data = ::IsWindow(control) ? DataOf(control) : nullptr;
    return data && data->blinkEvent && ::WaitForSingleObject(data->blinkEvent, 0) == WAIT_OBJECT_0;
}

CString HotkeyModifiersToText(UINT virtualKey, UINT modifiers)
{
    return HotKeyToText(virtualKey, modifiers);
}

CString HotkeyInfoToText(const HotkeyInfo& info)
{
    CString text = HotkeyModifiersToText(info.virtualKey, info.modifiers);
    if (info.IsDouble())
        text += L" - x 2";
    return text;
}

HWND CHotkeyCtrlExAdv::Create(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    if (!RegisterHotkeyCtrlExClass())
        return nullptr;
    m_hWnd = ::CreateWindowExW(0, GetHotkeyCtrlExClassName(), nullptr, style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                               nullptr);
    return m_hWnd;
}

bool CHotkeyCtrlExAdv::SetHotkey(UINT virtualKey, UINT modifiers, bool win, bool doublePress)
{
    const WORD word = MAKEWORD(static_cast<BYTE>(virtualKey), static_cast<BYTE>(ModToHotkeyFlags(modifiers)));
    ::SendMessageW(m_hWnd, HKX_SETHOTKEY, word, 0);
    ::SendMessageW(m_hWnd, HKX_SETWIN, win ? 1 : 0, 0);
    ::SendMessageW(m_hWnd, HKX_SETDOUBLE, doublePress ? 1 : 0, 0);
    return static_cast<WORD>(::SendMessageW(m_hWnd, HKX_GETHOTKEY, 0, 0)) == word;
}

void CHotkeyCtrlExAdv::GetHotkey(UINT& virtualKey, UINT& modifiers) const
{
    const UINT word = static_cast<UINT>(::SendMessageW(m_hWnd, HKX_GETHOTKEY, 0, 0));
    virtualKey = LOBYTE(word);
    modifiers = HotkeyFlagsToMod(HIBYTE(word));
}

bool CHotkeyCtrlExAdv::GetHotkey(UINT& virtualKey, UINT& modifiers, bool& win, bool& doublePress) const
{
    GetHotkey(virtualKey, modifiers);
    win = ::SendMessageW(m_hWnd, HKX_GETWIN, 0, 0) != 0;
    doublePress = ::SendMessageW(m_hWnd, HKX_GETDOUBLE, 0, 0) != 0;
    return true;
}

void CHotkeyCtrlExAdv::SetDoubleCaption(LPCWSTR text)
{
    if (!text)
        return;
    CHandOverScope handed(HandOverKind::OwnWindowData, text, (::lstrlenW(text) + 1) * sizeof(wchar_t));
    ::SendMessageW(m_hWnd, HKX_SETDOUBLECAPTION, 0, reinterpret_cast<LPARAM>(text));
}

bool CHotkeyCtrlExAdv::GetHotkeyInfo(HotkeyInfo& info) const
{
    UINT key = 0;
    UINT mods = 0;
    bool win = false;
    bool doublePress = false;
    GetHotkey(key, mods, win, doublePress);
    info.virtualKey = static_cast<WORD>(key);
    info.modifiers = static_cast<WORD>(win ? (mods | MOD_WIN) : (mods & ~MOD_WIN));
    info.flags = doublePress ? (info.flags | 1) : (info.flags & ~1);
    return true;
}

bool CHotkeyCtrlExAdv::SetHotkeyInfo(const HotkeyInfo& info)
{
    return SetHotkey(info.virtualKey, info.modifiers, (info.modifiers & MOD_WIN) != 0, info.IsDouble());
}
