#include "editor/app/text/PhraseTextEdit.h"

#include "common/LocalizedString.h"
#include "common/RichEditEditing.h"
#include "editor/app/text/EditorMacroMenu.h"
#include "editor/app/text/EditorMacros.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/RichEditObjectModel.h"
#include "engine/InputMarkers.h"

#include <commctrl.h>
#include "platform/WindowsX.h"

namespace
{

constexpr LONG kTextLimit = 50000;
constexpr int kMacroSearchReach = 64;

struct MenuItemText
{
    UINT id;
    const wchar_t* english;
};

HFONT TipFont()
{
    static const HFONT font = [] {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            return static_cast<HFONT>(nullptr);
        metrics.lfCaptionFont.lfWeight = FW_NORMAL;
        return ::CreateFontIndirectW(&metrics.lfCaptionFont);
    }();
    return font;
}

bool Covers(int start, int length, int index)
{
    return index >= start && index < start + length;
}

} // namespace

bool IsKeyBlockedWhenReadOnly(UINT virtualKey, bool ctrlHeld)
{
    if (ctrlHeld)
        return false;
    switch (virtualKey) {
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_INSERT:
        return false;
    default:
        return true;
    }
}

CString FindMacroAt(const CString& text, int index)
{
    for (int i = 0; i < GetMacroCount(); ++i) {
        const CString name = GetMacroName(i);
        for (int found = text.Find(name.GetString()); found >= 0;
             found = text.Find(name.GetString(), found + 1)) {
            if (Covers(found, name.GetLength(), index))
                return name;
        }
    }
    for (int m = 0; m < GetInputMarkerCount(); ++m) {
        const InputMarker* marker = GetInputMarker(m);
        for (int start = text.Find(marker->start); start >= 0 && start <= index;
             start = text.Find(marker->start, start + 1)) {
            const int end = text.Find(marker->end, start + lstrlenW(marker->start));
            const int spanEnd = end < 0 ? text.GetLength() : end + lstrlenW(marker->end);
            if (Covers(start, spanEnd - start, index))
                return marker->name;
        }
    }
    return CString();
}

CString BuildMacroTipHtml(const CString& macro, const CString& description)
{
    return L"<font size=12pt><b>" + LoadLocalizedTextOr(130, L"Macro") + L" <font color=orange>" + macro +
           L"</font></font></b><br><hr color=gray><br><font color=gray>" + description + L"</font>";
}

PhraseTextEdit::PhraseTextEdit() : CResourceCueTextPainter(&m_hWnd, kCueTextTypeHere) {}

PhraseTextEdit::~PhraseTextEdit()
{
    if (IsWindow())
        DestroyWindow();
}

HWND PhraseTextEdit::CreateEdit(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    ::LoadLibraryW(L"riched20.dll");
    return Create(parent, rect, nullptr, style, WS_EX_CLIENTEDGE, id);
}

void PhraseTextEdit::SetReadOnly(bool on)
{
    m_readOnly = on;
    if (SendMessage(EM_SETREADONLY, on ? TRUE : FALSE, 0))
        SendMessage(EM_SETBKGNDCOLOR, 0, ::GetSysColor(on ? COLOR_BTNFACE : COLOR_WINDOW));
}

bool PhraseTextEdit::HasSelection() const
{
    CHARRANGE range = {};
    ::SendMessageW(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax != range.cpMin;
}

void PhraseTextEdit::Clear()
{
    if (m_readOnly)
        return;
    SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
    SendMessage(EM_SETMODIFY, TRUE, 0);
}

bool PhraseTextEdit::HasEffect(DWORD mask) const
{
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = mask;
    ::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION | SCF_WORD, reinterpret_cast<LPARAM>(&format));
    return (format.dwEffects & mask) != 0;
}

void PhraseTextEdit::SetEffect(DWORD mask, bool on)
{
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = mask;
    format.dwEffects = on ? mask : 0;
    SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessage(EM_SETMODIFY, TRUE, 0);
}

bool PhraseTextEdit::ShouldShow()
{
    return IsWindow() && GetRichEditTextLength(m_hWnd) == 0 && ::GetFocus() != m_hWnd;
}

CString PhraseTextEdit::GetText()
{
    switch (GetTextId()) {
    case kCueTextTypeHere:
        return LoadLocalizedTextOr(kCueTextTypeHere, L"Type text for pasting here...");
    case kCueTextApplication:
        return LoadLocalizedTextOr(kCueTextApplication,
                                   L"Type application path, URL, email address and etc...");
    default:
        return CResourceCueTextPainter::GetText();
    }
}

CString PhraseTextEdit::MacroAtPoint(POINT client) const
{
    const LONG length = GetRichEditTextLength(m_hWnd);
    if (length <= 0)
        return CString();
    POINTL lastCharPoint = {};
    ::SendMessageW(m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&lastCharPoint), length - 1);
    if (client.y > lastCharPoint.y + 20)
        return CString();
    POINTL point = {client.x, client.y};
    const auto at =
        static_cast<LONG>(::SendMessageW(m_hWnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point)));
    const LONG first = at > kMacroSearchReach ? at - kMacroSearchReach : 0;
    const LONG last = at + kMacroSearchReach < length ? at + kMacroSearchReach : length;
    return FindMacroAt(GetRangeText(m_hWnd, first, last), static_cast<int>(at - first));
}

void PhraseTextEdit::SetClock(ToolTipClock* clock)
{
    m_clock = clock ? clock : &m_defaultClock;
}

HMENU PhraseTextEdit::BuildContextMenu() const
{
    static const MenuItemText kItems[] = {
        {57643, L"&Undo\tCtrl+Z"},
        {57644, L"Redo\tCtrl+Y"},
        {0, nullptr},
        {57632, L"Clear"},
        {57635, L"Cu&t\tCtrl+X"},
        {57634, L"&Copy\tCtrl+C"},
        {57637, L"&Paste\tCtrl+V"},
        {0, nullptr},
        {57642, L"Select All"},
        {32793, L"Into Menu Name"},
    };
    HMENU menu = ::CreatePopupMenu();
    for (const MenuItemText& item : kItems) {
        if (item.id == 0)
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuW(menu, MF_STRING, item.id, GetMainMenuItemText(item.id, item.english).GetString());
    }
    // The macro pop-up's caption comes in the user's language already and its items are macro names.
    LocalizeMenu(menu);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    HMENU macros = ::CreatePopupMenu();
    AppendMacroMenuItems(macros);
    ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(macros),
                  LoadLocalizedTextOr(130, L"Macro").GetString());
    return menu;
}

LRESULT PhraseTextEdit::CallDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

LRESULT PhraseTextEdit::OnRelayToTips(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (!m_tipsDirty)
        return 0;
    MSG relayed = {m_hWnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    ::GetCursorPos(&relayed.pt);
    if (m_toolTip)
        ::SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    if (m_htmlTip.IsWindow())
        m_htmlTip.RelayEvent(&relayed);
    return 0;
}

LRESULT PhraseTextEdit::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = CallDefault(message, wParam, lParam);
    if (result == -1)
        return result;
    const auto mask = static_cast<DWORD>(SendMessage(EM_GETEVENTMASK, 0, 0));
    SendMessage(EM_SETEVENTMASK, 0, 0);
    SendMessage(EM_EXLIMITTEXT, 0, kTextLimit);
    SendMessage(EM_SETEVENTMASK, 0, mask | ENM_LINK);
    CreateTips();
    return result;
}

void PhraseTextEdit::CreateTips()
{
    m_toolTip =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (m_toolTip) {
        if (HFONT font = TipFont())
            ::SendMessageW(m_toolTip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        RECT client = {};
        GetClientRect(&client);
        ::SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, (client.right / 3) * 2);
        ::SendMessageW(m_toolTip, TTM_ACTIVATE, TRUE, 0);
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (m_htmlTip.Create(m_hWnd, TRUE)) {
        m_htmlTip.SetBehaviour(m_htmlTip.GetBehaviour() | kTipTrack | kTipStay);
        m_htmlTip.AddTool(m_hWnd);
    }
}

LRESULT PhraseTextEdit::OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (!ShouldShow() || GetText().IsEmpty())
        return CallDefault(message, wParam, lParam);
    PAINTSTRUCT paint = {};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    Paint(dc);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT PhraseTextEdit::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    Invalidate();
    return 0;
}

LRESULT PhraseTextEdit::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    Invalidate();
    m_lastPoint = {};
    m_tipsDirty = true;
    HideMacroTip();
    return 0;
}

LRESULT PhraseTextEdit::OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (point.x == -1 && point.y == -1) {
        CHARRANGE range = {};
        SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        POINTL at = {};
        SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at),
                    range.cpMax > range.cpMin ? range.cpMax : range.cpMin);
        point = {at.x, at.y + 10};
        ClientToScreen(&point);
    }
    HMENU menu = BuildContextMenu();
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, GetParent(), nullptr);
    ::DestroyMenu(menu);
    return 0;
}

LRESULT PhraseTextEdit::OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = CallDefault(message, wParam, lParam);
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (point.x == m_lastPoint.x && point.y == m_lastPoint.y)
        return result;
    m_lastPoint = point;
    m_tipsDirty = true;
    if (!MacroAtPoint(point).IsEmpty())
        m_clock->StartTimer(m_hWnd, kTipTimer, kTipDelay);
    HideMacroTip();
    return result;
}

LRESULT PhraseTextEdit::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kTipTimer) {
        handled = FALSE;
        return 0;
    }
    m_clock->StopTimer(m_hWnd, kTipTimer);
    ShowTipIfResting();
    return 0;
}

void PhraseTextEdit::ShowTipIfResting()
{
    POINT cursor = m_clock->CursorPos();
    ScreenToClient(&cursor);
    if (cursor.x != m_lastPoint.x || cursor.y != m_lastPoint.y)
        return;
    const CString macro = MacroAtPoint(m_lastPoint);
    const CString description = macro.IsEmpty() ? CString() : GetMacroDescriptionTip(macro);
    if (description.IsEmpty()) {
        HideMacroTip();
        return;
    }
    const CString html = BuildMacroTipHtml(macro, description);
    if (html == m_shownTip) {
        m_tipsDirty = false;
        return;
    }
    m_shownTip = html;
    m_tipsDirty = true;
    if (m_htmlTip.IsWindow()) {
        m_htmlTip.SetDelayTime(3, 2000);
        POINT screen = m_lastPoint;
        ClientToScreen(&screen);
        m_htmlTip.ShowTipAt(screen, html.GetString(), nullptr);
    }
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
    }
}

void PhraseTextEdit::HideMacroTip()
{
    m_shownTip.Empty();
    if (m_htmlTip.IsWindow())
        m_htmlTip.HideTip();
}

LRESULT PhraseTextEdit::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    HideMacroTip();
    m_trackingLeave = false;
    return 0;
}

LRESULT PhraseTextEdit::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const auto key = static_cast<UINT>(wParam);
    if (m_readOnly && IsKeyBlockedWhenReadOnly(key, ::GetKeyState(VK_CONTROL) < 0)) {
        NMHDR header = {m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), kPhraseEditTypingIntoReadOnly};
        ::SendMessageW(GetParent(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        return 0;
    }
    handled = FALSE;
    if (key == VK_INSERT)
        NoteInsertKey(m_hWnd);
    return 0;
}

LRESULT PhraseTextEdit::OnKeyUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = CallDefault(message, wParam, lParam);
    if (wParam == VK_INSERT && IsOvertypeMode(m_hWnd))
        SetOvertypeMode(m_hWnd, false);
    return result;
}

bool PhraseTextEdit::IsOverLink(const ENLINK& link) const
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    POINTL point = {cursor.x, cursor.y};
    const auto at =
        static_cast<LONG>(::SendMessageW(m_hWnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point)));
    if (at < link.chrg.cpMin || at >= link.chrg.cpMax)
        return false;
    POINTL charPoint = {};
    ::SendMessageW(m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&charPoint), at);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE;
    ::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    HDC dc = ::GetDC(m_hWnd);
    const int lineHeight = ::MulDiv(format.yHeight / 20, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    ::ReleaseDC(m_hWnd, dc);
    const LONG distance = cursor.y - charPoint.y;
    return distance >= 0 && distance <= lineHeight;
}

LRESULT PhraseTextEdit::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code != EN_LINK) {
        handled = FALSE;
        return 0;
    }
    const auto* link = reinterpret_cast<const ENLINK*>(lParam);
    if (link->msg == WM_SETCURSOR && !IsOverLink(*link))
        return 1;
    handled = FALSE;
    return 0;
}

LRESULT PhraseTextEdit::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_htmlTip.IsWindow())
        m_htmlTip.DestroyWindow();
    if (m_toolTip)
        ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    return 0;
}
