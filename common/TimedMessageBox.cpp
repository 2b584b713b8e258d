#include "common/TimedMessageBox.h"

#include "common/OsVersionInfo.h"
#include "common/RuntimeBinding.h"
#include "common/SystemFunctions.h"
#include "common/WindowSubclassRegistry.h"

#include <algorithm>
#include <memory>
#include <thread>

namespace
{
const wchar_t kDialogClass[] = L"#32770";
const int kFirstExtraControlId = 0x6100;
const int kMaxCaptionLength = 2609;
const int kBoldTextMaxLength = 60;
const UINT_PTR kMoveByBody = SC_MOVE | HTCAPTION;

bool HasClass(HWND window, const wchar_t* className)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return ::lstrcmpiW(name, className) == 0;
}

CString WindowText(HWND window, int maxLength)
{
    CString text;
    wchar_t* buffer = text.GetBuffer(maxLength + 1);
    const int length = ::GetWindowTextW(window, buffer, maxLength + 1);
    text.ReleaseBuffer(length > 0 ? length : 0);
    return text;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className)
{
    std::vector<HWND> found;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (HasClass(child, className))
            found.push_back(child);
    }
    return found;
}

bool HasVisibleStyle(HWND window)
{
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsIconStatic(HWND window)
{
    return (::GetWindowLongPtrW(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

RECT ClientRectOfChild(HWND parent, HWND child)
{
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// --- Per-thread state ---------------------------------------------------------

struct ThreadBoxState
{
    bool busy = false;
    HHOOK cbtHook = nullptr;
    HHOOK filterHook = nullptr;
    CTimedMessageBox* current = nullptr;
    HFONT boldCheckFont = nullptr;

    ~ThreadBoxState()
    {
        if (boldCheckFont)
            ::DeleteObject(boldCheckFont);
    }

    HFONT BoldCheckFont()
    {
        if (!boldCheckFont) {
            LOGFONTW font = {};
            ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
            font.lfWeight = FW_BOLD;
            boldCheckFont = ::CreateFontIndirectW(&font);
        }
        return boldCheckFont;
    }

    void RemoveFilterHook()
    {
        if (filterHook)
            ::UnhookWindowsHookEx(filterHook);
        filterHook = nullptr;
    }
};

thread_local ThreadBoxState t_box;

// --- Time-out of the plain timed boxes ------------------------------------------
//
// The system's own time-out of MessageBoxTimeoutW is not there on every system,
// so each timed box also gets a thread timer of its own that ends the dialog
// with kMessageBoxTimedOut. A CBT hook tells which dialog belongs to which call
// (calls may nest on one thread: the innermost waiting call takes the next box).

struct BoxTimeout
{
    HWND dialog = nullptr;
    UINT_PTR timer = 0;
};

thread_local std::vector<BoxTimeout*> t_timeouts;
thread_local HHOOK t_timeoutHook = nullptr;

LRESULT CALLBACK TimeoutCbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && HasClass(reinterpret_cast<HWND>(wParam), kDialogClass)) {
        for (auto it = t_timeouts.rbegin(); it != t_timeouts.rend(); ++it) {
            if (!(*it)->dialog) {
                (*it)->dialog = reinterpret_cast<HWND>(wParam);
                break;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK TimeoutTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    for (BoxTimeout* timeout : t_timeouts) {
        if (timeout->timer != id)
            continue;
        if (!timeout->dialog || !::IsWindow(timeout->dialog))
            return; // not shown yet: try again at the next tick
        ::KillTimer(nullptr, id);
        timeout->timer = 0;
        ::EndDialog(timeout->dialog, kMessageBoxTimedOut);
        return;
    }
    ::KillTimer(nullptr, id);
}

class CBoxTimeoutGuard
{
public:
    explicit CBoxTimeoutGuard(DWORD timeoutMs)
    {
        if (timeoutMs == 0 || timeoutMs == INFINITE)
            return;
        if (t_timeouts.empty() && !t_timeoutHook)
            t_timeoutHook = ::SetWindowsHookExW(WH_CBT, &TimeoutCbtProc, nullptr, ::GetCurrentThreadId());
        m_timeout.timer = ::SetTimer(nullptr, 0, timeoutMs, &TimeoutTimerProc);
        t_timeouts.push_back(&m_timeout);
        m_active = true;
    }
    ~CBoxTimeoutGuard()
    {
        if (!m_active)
            return;
        if (m_timeout.timer)
            ::KillTimer(nullptr, m_timeout.timer);
        t_timeouts.erase(std::remove(t_timeouts.begin(), t_timeouts.end(), &m_timeout), t_timeouts.end());
        if (t_timeouts.empty() && t_timeoutHook) {
            ::UnhookWindowsHookEx(t_timeoutHook);
            t_timeoutHook = nullptr;
        }
    }
    CBoxTimeoutGuard(const CBoxTimeoutGuard&) = delete;
    CBoxTimeoutGuard& operator=(const CBoxTimeoutGuard&) = delete;

private:
    BoxTimeout m_timeout;
    bool m_active = false;
};

// The box stays open: its time-out no longer runs.
void CancelBoxTimeout(HWND dialog)
{
    for (BoxTimeout* timeout : t_timeouts) {
        if (timeout->dialog == dialog && timeout->timer) {
            ::KillTimer(nullptr, timeout->timer);
            timeout->timer = 0;
        }
    }
}

using MessageBoxTimeoutWFn = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);

MessageBoxTimeoutWFn MessageBoxTimeoutFunction()
{
    static const MessageBoxTimeoutWFn fn =
        FindFunctionInUse<MessageBoxTimeoutWFn>(L"user32.dll", "MessageBoxTimeoutW");
    return fn;
}

// --- Blinking after a stop --------------------------------------------------------

struct BlinkRequest
{
    HWND dialog = nullptr;
    HWND target = nullptr; // null: blink the caption
};

HWND BlinkTarget(HWND dialog)
{
    const std::vector<HWND> statics = ChildrenOfClass(dialog, L"Static");
    for (HWND s : statics) {
        if (IsIconStatic(s))
            return s;
    }
    const std::vector<HWND> buttons = ChildrenOfClass(dialog, L"Button");
    if (!buttons.empty())
        return buttons.front();
    return statics.empty() ? nullptr : statics.front();
}

void Blink(std::unique_ptr<BlinkRequest> request)
{
    const HWND dialog = request->dialog;
    const HWND target = request->target;
    const CString caption = target ? CString() : WindowText(dialog, 999);
    for (int i = 0; i < 3; ++i) {
        if (!::IsWindow(dialog))
            return;
        if (target)
            ::ShowWindow(target, SW_HIDE);
        else
            ::SetWindowTextW(dialog, L"");
        ::Sleep(350);
        if (!::IsWindow(dialog))
            return;
        if (target)
            ::ShowWindow(target, SW_SHOW);
        else
            ::SetWindowTextW(dialog, caption);
        ::Sleep(250);
    }
}

void StartBlink(HWND dialog)
{
    auto request = std::make_unique<BlinkRequest>();
    request->dialog = dialog;
    request->target = BlinkTarget(dialog);
    std::thread(&Blink, std::move(request)).detach();
}
} // namespace

// --- Plain timed boxes -----------------------------------------------------------

int MessageBoxTimeoutOr(HWND owner, LPCWSTR caption, LPCWSTR text, UINT type, DWORD timeoutMs,
                        int resultOnTimeout)
{
    const MessageBoxTimeoutWFn fn = MessageBoxTimeoutFunction();
    if (!fn)
        return 0;
    CBoxTimeoutGuard timeout(timeoutMs);
    const int result = fn(owner, text, caption, type, 0, timeoutMs);
    return result == kMessageBoxTimedOut ? resultOnTimeout : result;
}

int MessageBoxTimeout(HWND owner, LPCWSTR caption, LPCWSTR text, UINT type, DWORD timeoutMs)
{
    return MessageBoxTimeoutOr(owner, caption, text, type, timeoutMs, kMessageBoxTimedOut);
}

// --- The extended family ------------------------------------------------------------

int RunExtendedMessageBox(HWND owner, UINT type, LPCWSTR text, LPCWSTR caption, LPCWSTR extraTexts,
                          std::set<int>* checked, const std::set<int>* disabled, int x, int y,
                          MessageBoxIconCallback iconCallback, void* userData,
                          const MessageBoxButtonTexts* buttonTexts)
{
    CTimedMessageBox box(type);
    if (checked)
        box.SetChecked(*checked);
    if (disabled)
        box.SetDisabled(*disabled);
    box.SetExtraTexts(extraTexts);
    box.SetPosition(x, y);
    box.SetIcon(iconCallback, userData);
    if (buttonTexts)
        box.SetButtonTexts(*buttonTexts);
    const int result = box.Run(owner, text, caption);
    if (result && checked)
        *checked = box.GetChecked();
    return result;
}

int ShowTimedCheckBoxMessage(HWND owner, UINT type, LPCWSTR text, LPCWSTR caption, LPCWSTR checkText,
                             bool* checked, bool disabled, int x, int y, MessageBoxIconCallback iconCallback,
                             void* userData, const MessageBoxButtonTexts* buttonTexts)
{
    std::set<int> checkedSet;
    if (checked && *checked)
        checkedSet.insert(0);
    std::set<int> disabledSet;
    if (disabled)
        disabledSet.insert(0);
    const int result =
        RunExtendedMessageBox(owner, type, text, caption, checkText ? checkText : L"", &checkedSet,
                              &disabledSet, x, y, iconCallback, userData, buttonTexts);
    if (result && checked)
        *checked = checkedSet.count(0) != 0;
    return result;
}

int ShowTimedConfirm(HWND owner, LPCWSTR caption, LPCWSTR text, UINT type, DWORD timeoutMs,
                     int resultOnTimeout, bool stopOnInteraction)
{
    CTimedMessageBox box(type);
    box.SetTimed(timeoutMs, resultOnTimeout, stopOnInteraction);
    return box.Run(owner, text, caption);
}

CTimedMessageBox::CTimedMessageBox(UINT type) : m_type(type) {}

CTimedMessageBox::~CTimedMessageBox()
{
    if (m_boldTextFont)
        ::DeleteObject(m_boldTextFont);
    if (t_box.current == this)
        t_box.current = nullptr;
}

void CTimedMessageBox::SetExtraTexts(LPCWSTR extraTexts)
{
    m_extraTexts.clear();
    m_extraKind = ExtraNone;
    if (!extraTexts || !*extraTexts)
        return;
    const CString all = extraTexts;
    int start = 0;
    bool first = true;
    while (start <= all.GetLength()) {
        int end = all.Find(L'\n', start);
        if (end < 0)
            end = all.GetLength();
        const CString piece = all.Mid(start, end - start);
        if (first || !piece.IsEmpty())
            m_extraTexts.push_back(piece);
        first = false;
        start = end + 1;
    }
    m_extraKind = ExtraCheckBoxes;
}

void CTimedMessageBox::SetPosition(int x, int y)
{
    m_x = x;
    m_y = y;
}

void CTimedMessageBox::SetIcon(MessageBoxIconCallback callback, void* userData)
{
    m_iconCallback = callback;
    m_userData = userData;
}

void CTimedMessageBox::SetTimed(DWORD timeoutMs, int resultOnTimeout, bool stopOnInteraction)
{
    m_timeoutMs = timeoutMs;
    m_timeoutResult = resultOnTimeout;
    m_stopOnInteraction = stopOnInteraction;
}

int CTimedMessageBox::Run(HWND owner, LPCWSTR text, LPCWSTR caption)
{
    if (t_box.busy)
        return 0;
    if (!t_box.cbtHook)
        t_box.cbtHook = ::SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());

    t_box.busy = true;
    t_box.current = this;
    const int result = IsTimed()
                           ? MessageBoxTimeoutOr(owner, caption, text, m_type, m_timeoutMs, m_timeoutResult)
                           : ::MessageBoxW(owner, text, caption, m_type);
    t_box.busy = false;
    t_box.current = nullptr;
    if (t_box.cbtHook) {
        ::UnhookWindowsHookEx(t_box.cbtHook);
        t_box.cbtHook = nullptr;
    }
    t_box.RemoveFilterHook();
    return result;
}

LRESULT CALLBACK CTimedMessageBox::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    CTimedMessageBox* box = t_box.current;
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code >= 0 && box && HasClass(window, kDialogClass)) {
        switch (code) {
        case HCBT_CREATEWND:
            if (!box->m_dialog)
                box->OnCreateDialog(window);
            break;
        case HCBT_ACTIVATE:
            if (window == box->m_dialog) {
                box->m_activated = true;
                box->OnActivateDialog();
            }
            break;
        case HCBT_DESTROYWND:
            if (window == box->m_dialog)
                box->OnDestroyDialog();
            break;
        default:
            break;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CTimedMessageBox::MessageFilterProc(int code, WPARAM wParam, LPARAM lParam)
{
    CTimedMessageBox* box = t_box.current;
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg && msg->message == WM_KEYDOWN && box && box->IsTimed() &&
        box->m_stopOnInteraction) {
        const HWND foreground = ::GetForegroundWindow();
        if (foreground && ::GetWindowThreadProcessId(foreground, nullptr) == ::GetCurrentThreadId())
            box->Stop();
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CTimedMessageBox::OnCreateDialog(HWND dialog)
{
    m_dialog = dialog;
    SubclassWindowWithCallback(dialog, &DialogCallback, this);
}

void CTimedMessageBox::OnActivateDialog()
{
    // Some systems activate the box before its own WM_INITDIALOG has placed
    // the buttons: the layout waits for both.
    if (m_laidOut || !m_activated || !m_initialised)
        return;
    m_laidOut = true;
    LayOut();
    if (IsAppThemedDyn()) {
        for (HWND control : m_extraControls)
            SetWindowThemeDyn(control, L"Exporer", L"Button");
    }
    CentreButtons();
}

void CTimedMessageBox::OnDestroyDialog()
{
    t_box.RemoveFilterHook();
    ::KillTimer(m_dialog, kCountdownTimer);
    if (!m_extraControls.empty()) {
        std::set<int> checked;
        for (size_t i = 0; i < m_extraControls.size(); ++i) {
            if (::SendMessageW(m_extraControls[i], BM_GETCHECK, 0, 0) == BST_CHECKED)
                checked.insert(static_cast<int>(i));
        }
        m_checked = checked;
    }
    UnsubclassWindowWithCallback(m_dialog);
}

LRESULT CTimedMessageBox::DialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         void* userData, BOOL& callPrevious, WNDPROC previousProc)
{
    auto* box = static_cast<CTimedMessageBox*>(userData);
    if (!box || window != box->m_dialog)
        return 0;
    return box->OnDialogMessage(message, wParam, lParam, callPrevious, previousProc);
}

LRESULT CTimedMessageBox::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& callPrevious,
                                          WNDPROC previousProc)
{
    switch (message) {
    case WM_INITDIALOG: {
        callPrevious = FALSE;
        const LRESULT result = ::CallWindowProcW(previousProc, m_dialog, message, wParam, lParam);
        m_initialised = true;
        if (IsTimed())
            OnInitDialog();
        OnActivateDialog();
        return result;
    }
    case WM_TIMER:
        if (wParam == kCountdownTimer && IsTimed()) {
            callPrevious = FALSE;
            if (!m_stopped) {
                m_secondsLeft = std::max(0, m_secondsLeft - 1);
                UpdateCaption();
            }
            return 0;
        }
        if (IsTimed() && m_stopped)
            callPrevious = FALSE; // the system's own time-out no longer closes the box
        return 0;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        if (IsTimed() && m_stopOnInteraction)
            Stop();
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        callPrevious = FALSE;
        return ::DefWindowProcW(m_dialog, message, wParam, lParam);
    case WM_LBUTTONDOWN:
        // Drag the box by its body.
        callPrevious = FALSE;
        ::ReleaseCapture();
        ::SendMessageW(m_dialog, WM_SYSCOMMAND, kMoveByBody, 0);
        return 0;
    default:
        return 0;
    }
}

void CTimedMessageBox::OnInitDialog()
{
    m_secondsLeft = static_cast<int>(m_timeoutMs / 1000);
    m_savedCaption = WindowText(m_dialog, kMaxCaptionLength);
    ::SetTimer(m_dialog, kCountdownTimer, 1000, nullptr);
    UpdateCaption();
    if ((m_flags & kUseMessageFilter) && !t_box.filterHook)
        t_box.filterHook =
            ::SetWindowsHookExW(WH_MSGFILTER, &MessageFilterProc, nullptr, ::GetCurrentThreadId());
}

void CTimedMessageBox::UpdateCaption()
{
    CString caption;
    if (m_stopped)
        caption = L"Stopped ";
    caption.AppendFormat(L"[%d] - %s", m_secondsLeft, m_savedCaption.GetString());
    ::SetWindowTextW(m_dialog, caption);
}

void CTimedMessageBox::Stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    ::KillTimer(m_dialog, kCountdownTimer);
    ::KillTimer(m_dialog, 0);
    CancelBoxTimeout(m_dialog);
    UpdateCaption();
    StartBlink(m_dialog);
    ::MessageBeep(0xFFFFFFFF);
}

// --- Layout ---------------------------------------------------------------------------

void CTimedMessageBox::LayOut()
{
    if (COsVersionInfo::IsVistaOrLater()) {
        if (HWND stray = ::GetDlgItem(m_dialog, 51966))
            ::DestroyWindow(stray);
    }

    HWND icon = nullptr;
    HWND text = nullptr;
    for (HWND s : ChildrenOfClass(m_dialog, L"Static")) {
        if (!icon && IsIconStatic(s))
            icon = s;
        else if (!text && !IsIconStatic(s))
            text = s;
    }
    if (icon && m_iconCallback) {
        if (HICON image = m_iconCallback(m_userData))
            ::SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(image), 0);
    }
    if (text && ::GetWindowTextLengthW(text) <= kBoldTextMaxLength)
        EmboldenText(text);

    const int checkHeight = ::GetSystemMetrics(SM_CYMENUCHECK);
    const int pitch = checkHeight + checkHeight / 2;
    int left = 0;
    int bottom = 0;
    bool first = true;
    for (HWND w : {icon, text}) {
        if (!w || !HasVisibleStyle(w))
            continue;
        const RECT r = ClientRectOfChild(m_dialog, w);
        left = first ? r.left : std::min<int>(left, r.left);
        bottom = first ? r.bottom : std::max<int>(bottom, r.bottom);
        first = false;
    }
    if (COsVersionInfo::IsVistaOrLater())
        left = ::GetSystemMetrics(SM_CXMENUCHECK);
    int top = bottom + checkHeight / 2;
    if (COsVersionInfo::IsWin7OrLater())
        top += checkHeight / 2 + checkHeight;

    const int extraWidth = m_extraKind == ExtraCheckBoxes ? MeasureExtraWidth() : 0;
    if (m_extraKind == ExtraCheckBoxes)
        CreateExtraControls(left, top, extraWidth);

    // Room for the extra controls: the buttons go below them.
    const std::vector<HWND> buttons = StandardButtons();
    int extraHeight = static_cast<int>(m_extraControls.size()) * pitch;
    if (!m_extraControls.empty() && !buttons.empty()) {
        const int controlsBottom = ClientRectOfChild(m_dialog, m_extraControls.back()).bottom;
        int buttonsTop = ClientRectOfChild(m_dialog, buttons.front()).top;
        for (HWND b : buttons)
            buttonsTop = std::min<int>(buttonsTop, ClientRectOfChild(m_dialog, b).top);
        extraHeight = std::max(extraHeight, controlsBottom + checkHeight / 2 - buttonsTop);
    }
    for (HWND b : buttons) {
        const RECT r = ClientRectOfChild(m_dialog, b);
        ::SetWindowPos(b, nullptr, r.left, r.top + extraHeight, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    RECT client = {};
    ::GetClientRect(m_dialog, &client);
    client.bottom += extraHeight;
    client.right = std::max<LONG>(client.right, extraWidth + 2 * left);
    RECT frame = client;
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(m_dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(m_dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (m_x == -1 && m_y == -1) {
        ::SetWindowPos(m_dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        const int x = std::max(0, std::min(m_x, ::GetSystemMetrics(SM_CXFULLSCREEN) - width));
        const int y = std::max(0, std::min(m_y, ::GetSystemMetrics(SM_CYFULLSCREEN) - height));
        ::SetWindowPos(m_dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    for (const auto& [id, buttonText] : m_buttonTexts) {
        if (!buttonText.IsEmpty())
            ::SetDlgItemTextW(m_dialog, id, buttonText);
    }
}

void CTimedMessageBox::EmboldenText(HWND text)
{
    const HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(m_dialog, WM_GETFONT, 0, 0));
    LOGFONTW font = {};
    if (!::GetObjectW(dialogFont ? static_cast<HGDIOBJ>(dialogFont) : ::GetStockObject(DEFAULT_GUI_FONT),
                      sizeof(font), &font))
        return;
    font.lfWeight = FW_BOLD;
    if (m_boldTextFont)
        ::DeleteObject(m_boldTextFont);
    m_boldTextFont = ::CreateFontIndirectW(&font);
    if (!m_boldTextFont)
        return;
    ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldTextFont), TRUE);

    const CString content = WindowText(text, kBoldTextMaxLength);
    RECT needed = {};
    HDC dc = ::GetDC(text);
    const HGDIOBJ old = ::SelectObject(dc, m_boldTextFont);
    UINT format = DT_CALCRECT;
    if (::GetWindowLongPtrW(text, GWL_STYLE) & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    ::DrawTextW(dc, content, content.GetLength(), &needed, format);
    ::SelectObject(dc, old);
    ::ReleaseDC(text, dc);

    RECT current = {};
    ::GetClientRect(text, &current);
    const int grow = (needed.right - needed.left) - (current.right - current.left);
    if (grow <= 0)
        return;
    RECT textRect = {};
    ::GetWindowRect(text, &textRect);
    ::SetWindowPos(text, nullptr, 0, 0, textRect.right - textRect.left + grow, textRect.bottom - textRect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT dialogRect = {};
    ::GetWindowRect(m_dialog, &dialogRect);
    ::SetWindowPos(m_dialog, nullptr, 0, 0, dialogRect.right - dialogRect.left + grow,
                   dialogRect.bottom - dialogRect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CTimedMessageBox::MeasureExtraWidth() const
{
    int widest = 0;
    HDC dc = ::GetDC(m_dialog);
    const HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(m_dialog, WM_GETFONT, 0, 0));
    const HGDIOBJ old = dialogFont ? ::SelectObject(dc, dialogFont) : nullptr;
    for (const CString& text : m_extraTexts) {
        RECT r = {};
        ::DrawTextW(dc, text, text.GetLength(), &r, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
        widest = std::max<int>(widest, r.right - r.left);
    }
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(m_dialog, dc);
    return widest + 2 * ::GetSystemMetrics(SM_CXMENUCHECK);
}

void CTimedMessageBox::CreateExtraControls(int left, int top, int width)
{
    const int height = ::GetSystemMetrics(SM_CYMENUCHECK);
    const int pitch = height + height / 2;
    const HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(m_dialog, WM_GETFONT, 0, 0));
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_dialog, GWLP_HINSTANCE));
    HWND insertAfter = LastStandardButton();

    for (size_t i = 0; i < m_extraTexts.size(); ++i) {
        const int index = static_cast<int>(i);
        HWND control = ::CreateWindowExW(
            WS_EX_NOPARENTNOTIFY, L"BUTTON", m_extraTexts[i],
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, left, top + index * pitch, width, height,
            m_dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstExtraControlId + index)), instance,
            nullptr);
        if (!control)
            continue;
        m_extraControls.push_back(control);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
        SubclassWindowWithCallback(control, &CheckBoxCallback, this);
        if (m_checked.count(index))
            ::SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
        if (m_disabled.count(index))
            ::EnableWindow(control, FALSE);
        // Tab order: after the box's last button, then one after the other.
        ::SetWindowPos(control, insertAfter ? insertAfter : HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        insertAfter = control;
    }
}

LRESULT CTimedMessageBox::CheckBoxCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void*,
                                           BOOL& callPrevious, WNDPROC previousProc)
{
    if (message != BM_SETCHECK)
        return 0;
    callPrevious = FALSE;
    const LRESULT before = ::CallWindowProcW(previousProc, window, BM_GETCHECK, 0, 0);
    const LRESULT result = ::CallWindowProcW(previousProc, window, message, wParam, lParam);
    const LRESULT after = ::CallWindowProcW(previousProc, window, BM_GETCHECK, 0, 0);
    if (before != after) {
        const HGDIOBJ font =
            after == BST_CHECKED ? t_box.BoldCheckFont() : ::GetStockObject(DEFAULT_GUI_FONT);
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    return result;
}

std::vector<HWND> CTimedMessageBox::StandardButtons() const
{
    std::vector<HWND> buttons;
    for (HWND b : ChildrenOfClass(m_dialog, L"Button")) {
        if (std::find(m_extraControls.begin(), m_extraControls.end(), b) == m_extraControls.end())
            buttons.push_back(b);
    }
    return buttons;
}

HWND CTimedMessageBox::LastStandardButton() const
{
    const std::vector<HWND> buttons = StandardButtons();
    return buttons.empty() ? nullptr : buttons.back();
}

void CTimedMessageBox::CentreButtons()
{
    std::vector<HWND> buttons;
    for (HWND b : StandardButtons()) {
        if (HasVisibleStyle(b))
            buttons.push_back(b);
    }
    if (buttons.empty())
        return;
    std::sort(buttons.begin(), buttons.end(), [this](HWND a, HWND b) {
        return ClientRectOfChild(m_dialog, a).left < ClientRectOfChild(m_dialog, b).left;
    });
    const RECT firstRect = ClientRectOfChild(m_dialog, buttons.front());
    const int pitch = (firstRect.right - firstRect.left) + 5;
    RECT client = {};
    ::GetClientRect(m_dialog, &client);
    const int count = static_cast<int>(buttons.size());
    const int firstLeft = (client.right - pitch * count + 5) / 2;
    for (int i = 0; i < count; ++i) {
        const RECT r = ClientRectOfChild(m_dialog, buttons[i]);
        ::SetWindowPos(buttons[i], nullptr, firstLeft + i * pitch, r.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
