#include "online/UpdateCheckWindow.h"

#include "common/LocalizedString.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/TextConversion.h"
#include "common/html/HtmlView.h"
#include "online/CSCVUrl.h"
#include "online/HtmlTexts.h"
#include "online/ProgramWindowIcons.h"
#include "resources/ScrivolanterRes.h"

#include <shellapi.h>

#include <string>

namespace
{
HWND g_openUpdateCheckWindow = nullptr;

HELEMENT FindElement(HWND view, LPCWSTR id)
{
    HELEMENT root = nullptr;
    HELEMENT found = nullptr;
    if (HTMLayoutGetRootElement(view, &root) != HLDOM_OK)
        return nullptr;
    HTMLayoutGetElementById(root, id, &found);
    return found;
}

bool IsTicked(HELEMENT element)
{
    UINT state = 0;
    return HTMLayoutGetElementState(element, &state) == HLDOM_OK && (state & STATE_CHECKED) != 0;
}

void OpenWithShell(HWND owner, const CString& address)
{
    ::ShellExecuteW(owner, L"open", address, nullptr, nullptr, SW_SHOW);
}
} // namespace

CUpdateCheckWindow::CUpdateCheckWindow(const CUpdateInfo& info, CUpdateWindowServices services)
    : m_info(info), m_services(std::move(services))
{
    if (!m_services.openLink)
        m_services.openLink = OpenWithShell;
    if (!m_services.pageContext)
        m_services.pageContext = CurrentUpdatePageContext;
}

HWND CUpdateCheckWindow::GetOpenUpdateCheckWindow()
{
    if (g_openUpdateCheckWindow && !::IsWindow(g_openUpdateCheckWindow))
        g_openUpdateCheckWindow = nullptr;
    return g_openUpdateCheckWindow;
}

LRESULT CUpdateCheckWindow::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    g_openUpdateCheckWindow = m_hWnd;
    SetProgramWindowIcons(m_hWnd);
    CenterWindow(::GetDesktopWindow());
    SetWindowText(L"Scrivolanter : " + LoadLocalizedTextOr(244, L"Check For Updates"));
    SetDlgItemText(IDCANCEL, LoadLocalizedTextOr(241, L"Close"));
    SetDlgItemText(IDC_UPDATE_VISIT, LoadLocalizedTextOr(265, L"Visit to us"));
    CreateView();
    const std::string page = WideToUtf8(BuildUpdatePageHtml(m_info, m_services.pageContext()));
    m_loaded = m_view && HTMLayoutLoadHtml(m_view, reinterpret_cast<const BYTE*>(page.data()),
                                           static_cast<UINT>(page.size()));
    if (m_loaded)
        RestyleSettings();
    else
        LogError(L"Update window: the page could not be loaded");
    if (m_view)
        ::ShowWindow(m_view, SW_SHOW);
    PostMessage(kBringForwardMessage);
    return TRUE;
}

void CUpdateCheckWindow::CreateView()
{
    HWND placeholder = GetDlgItem(IDC_UPDATE_HTML);
    RECT rect{};
    if (placeholder) {
        ::GetWindowRect(placeholder, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        ::DestroyWindow(placeholder);
    }
    m_view = ::CreateWindowExW(WS_EX_CLIENTEDGE, HTMLayoutClassNameW(), L"", WS_CHILD | WS_TABSTOP, rect.left,
                               rect.top, rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_UPDATE_HTML)),
                               ::GetModuleHandleW(nullptr), nullptr);
    if (!m_view) {
        LogError(L"Update window: the HTML view could not be created");
        return;
    }
    HTMLayoutWindowAttachEventHandler(m_view, &CUpdateCheckWindow::OnPageEvent, this, HANDLE_ALL);
}

BOOL CALLBACK CUpdateCheckWindow::OnPageEvent(LPVOID tag, HELEMENT he, UINT group, LPVOID params)
{
    auto* self = static_cast<CUpdateCheckWindow*>(tag);
    if (group == HANDLE_MOUSE) {
        const auto* mouse = static_cast<const MOUSE_PARAMS*>(params);
        UINT type = CTL_NO;
        HTMLayoutControlGetType(mouse->target, &type);
        if (mouse->cmd == MOUSE_DOWN && mouse->button_state == MAIN_MOUSE_BUTTON && type == CTL_NO) {
            self->DragWindow();
            return TRUE;
        }
        return FALSE;
    }
    if (group != HANDLE_BEHAVIOR_EVENT)
        return FALSE;
    const auto* behavior = static_cast<const BEHAVIOR_EVENT_PARAMS*>(params);
    if (behavior->cmd == BUTTON_STATE_CHANGED) {
        self->RestyleSettings();
        return FALSE;
    }
    if (behavior->cmd != (HYPERLINK_CLICK | SINKING))
        return FALSE;
    LPCWSTR href = nullptr;
    HTMLayoutGetAttributeByName(behavior->heTarget, "href", &href);
    if (!href || !*href || href[0] == L'#')
        return FALSE; // in-page links scroll the page
    if (::lstrcmpiW(href, kCheckAgainLink) == 0) {
        // The program runs the check (the event its tray window watches) once this window is gone.
        self->EndDialog(IDRETRY);
        if (HANDLE again =
                ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\Scrivolanter_CommandCheckForUpdates")) {
            ::SetEvent(again);
            ::CloseHandle(again);
        }
        return TRUE;
    }
    if (!IsOpenableLink(href)) {
        LogError(L"Update window: a link that is no web or mail address was not opened");
        return TRUE;
    }
    self->m_services.openLink(self->m_hWnd, href);
    return TRUE;
}

void CUpdateCheckWindow::RestyleSettings()
{
    HELEMENT check = FindElement(m_view, kAutoCheckElementId);
    if (!check)
        return;
    const bool ticked = IsTicked(check);
    HTMLayoutSetStyleAttribute(check, nullptr, nullptr);
    HTMLayoutSetStyleAttribute(check, "color", ticked ? L"green" : L"red");
    if (HELEMENT days = FindElement(m_view, kDaysNumberElementId))
        HTMLayoutSetElementState(days, ticked ? 0 : STATE_DISABLED, ticked ? STATE_DISABLED : 0, TRUE);
    if (HELEMENT text = FindElement(m_view, kDaysTextElementId)) {
        HTMLayoutSetStyleAttribute(text, nullptr, nullptr);
        if (!ticked) {
            HTMLayoutSetStyleAttribute(text, "color", L"gray");
            HTMLayoutSetStyleAttribute(text, "text-decoration", L"line-through");
        }
    }
}

void CUpdateCheckWindow::SaveSettings()
{
    HELEMENT check = FindElement(m_view, kAutoCheckElementId);
    if (!check)
        return;
    CSettings& settings = GetSettings();
    settings.AutoCheckForUpdates = IsTicked(check) ? 1 : 0;
    if (HELEMENT days = FindElement(m_view, kDaysNumberElementId)) {
        VALUE value;
        ValueInit(&value);
        // An empty or non-numeric field keeps the stored days; a number out
        // of range is brought into it by the setter.
        if (HTMLayoutControlGetValue(days, &value) == HLDOM_OK && value.t == T_INT)
            settings.SetDaysCheckForUpdates(value.i);
        ValueClear(&value);
    }
    // Only the two keys of this window: the editor may have written others meanwhile.
    settings.WriteInt(L"AutoCheckForUpdates", settings.AutoCheckForUpdates);
    settings.WriteInt(L"DaysCheckForUpdates", settings.DaysCheckForUpdates);
}

void CUpdateCheckWindow::DragWindow()
{
    ::ReleaseCapture();
    SendMessage(WM_SYSCOMMAND, 0xF012, 0);
}

LRESULT CUpdateCheckWindow::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    DragWindow();
    return 0;
}

LRESULT CUpdateCheckWindow::OnBringForward(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND foreground = ::GetForegroundWindow();
    const DWORD own = ::GetCurrentThreadId();
    const DWORD other = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = other && other != own && ::AttachThreadInput(own, other, TRUE);
    if (attached)
        WriteLogLine(L"Well, well! Attached Thread Input");
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    ::SetFocus(m_hWnd);
    if (attached)
        ::AttachThreadInput(own, other, FALSE);
    return 0;
}

LRESULT CUpdateCheckWindow::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_loaded)
        SaveSettings();
    if (g_openUpdateCheckWindow == m_hWnd)
        g_openUpdateCheckWindow = nullptr;
    handled = FALSE;
    return 0;
}

LRESULT CUpdateCheckWindow::OnClose(WORD, WORD, HWND, BOOL&)
{
    EndDialog(0);
    return 0;
}

LRESULT CUpdateCheckWindow::OnVisit(WORD, WORD, HWND, BOOL&)
{
    CSCVUrl::OpenUrl(m_hWnd, CSCVUrl::HomePageUrl());
    return 0;
}

INT_PTR ShowUpdateCheckWindow(const CUpdateInfo& info)
{
    if (HWND open = CUpdateCheckWindow::GetOpenUpdateCheckWindow()) {
        ::ShowWindow(open, SW_RESTORE);
        ::PostMessageW(open, CUpdateCheckWindow::kBringForwardMessage, 0, 0);
        return 0;
    }
    CUpdateCheckWindow window(info);
    return window.DoModal(nullptr);
}
