#include "editor/app/settings/SettingsPaneContent.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "common/LocalizedString.h"
#include "common/WellKnownNames.h"

namespace
{

struct ToolButton
{
    UINT command;
    UINT text;
    UINT tip;
};

const ToolButton kButtons[] = {
    {kHideSettingsCommand, IDS_SET_HIDE, IDS_SET_HIDE_TIP},
    {0, 0, 0},
    {kSaveAndCloseCommand, IDS_SET_SAVE_AND_CLOSE, IDS_SET_SAVE_AND_CLOSE_TIP},
};

const UINT kTabTexts[] = {IDS_SET_TAB_MISC, IDS_SET_TAB_FLOAT_PANE};
const UINT kTabTips[] = {IDS_SET_TAB_MISC_TIP, IDS_SET_TAB_FLOAT_PANE_TIP};
constexpr int kPageCount = 2;
constexpr int kFallbackToolbarWidth = 142;

const ToolButton* FindButton(UINT command)
{
    for (const ToolButton& button : kButtons)
        if (button.command != 0 && button.command == command)
            return &button;
    return nullptr;
}

} // namespace

CString FormatSettingsTip(const CString& text)
{
    const int colon = text.Find(L':', 1);
    if (colon < 1)
        return text;
    CString title = text.Left(colon);
    CString list = text.Mid(colon + 1);
    const CString prefix = L"\n     \x2022";
    list.Replace(L",", prefix);
    return title + L"\n" + CString(L'\x2014', 25) + prefix + list;
}

SettingsPaneContent::SettingsPaneContent(CEditorSettings& settings, LPCWSTR runKeyPath, LPCWSTR programPath)
    : m_settings(settings), m_current(settings.GetLastSettingsTab()),
      m_misc(settings, runKeyPath, programPath),
      m_floatPane(std::make_unique<FloatPaneSettingsPage>(settings))
{}

SettingsPaneContent::SettingsPaneContent(CEditorSettings& settings)
    : m_settings(settings), m_current(settings.GetLastSettingsTab()), m_misc(settings),
      m_floatPane(std::make_unique<FloatPaneSettingsPage>(settings))
{}

SettingsPaneContent::~SettingsPaneContent()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

HWND SettingsPaneContent::CreateContent(HWND parent, const RECT& rect)
{
    return Create(parent, rect, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
}

SettingsPage* SettingsPaneContent::GetPage(int index)
{
    if (index == 0)
        return &m_misc;
    if (index == 1)
        return m_floatPane.get();
    return nullptr;
}

CString SettingsPaneContent::TabTip(int page)
{
    CString text = page >= 0 && page < kPageCount ? LoadLocalizedString(kTabTips[page]) : CString();
    if (text.IsEmpty())
        text = LoadLocalizedString(IDS_SET_SETTINGS);
    else
        text += L"\x2026";
    return FormatSettingsTip(text);
}

int SettingsPaneContent::RowHeight() const
{
    return ::GetSystemMetrics(SM_CYCAPTION) + 2 * ::GetSystemMetrics(SM_CYBORDER);
}

bool SettingsPaneContent::CreatePageWindow(int index)
{
    SettingsPage* page = GetPage(index);
    if (!page)
        return false;
    if (page->m_hWnd)
        return true;
    if (!page->CreatePage(m_viewport.m_hWnd))
        return false;
    // The template's size, before any layout stretches the page: what the page needs to show whole.
    RECT rect = {};
    ::GetWindowRect(page->m_hWnd, &rect);
    m_pageSizes[index] = {rect.right - rect.left, rect.bottom - rect.top};
    page->Localize();
    Layout();
    return true;
}

void SettingsPaneContent::ShowCurrentPageInViewport()
{
    SettingsPage* page = GetPage(m_current);
    if (page && page->m_hWnd)
        m_viewport.ShowPage(page->m_hWnd, m_pageSizes[m_current]);
    else
        m_viewport.ShowPage(nullptr, SIZE{});
}

void SettingsPaneContent::CreateToolbar(int width, int height)
{
    const RECT place = {width - 100, 0, width, height};
    // The toolbar holds the two button images, Hide (148) and Save And Close (155), in this order.
    if (!m_toolbar.CreateBar(m_hWnd, place, kSettingsToolbarId,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS |
                                 CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN))
        return;
    ::SendMessageW(m_toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(0, height - 2));
    const DWORD padding = static_cast<DWORD>(::SendMessageW(m_toolbar, TB_GETPADDING, 0, 0));
    ::SendMessageW(m_toolbar, TB_SETPADDING, 0, MAKELPARAM(4, HIWORD(padding)));
    wchar_t strings[1000] = {};
    size_t used = 0;
    for (const ToolButton& button : kButtons) {
        if (button.command == 0)
            continue;
        const CString text = LoadLocalizedString(button.text);
        const size_t length = static_cast<size_t>(text.GetLength());
        if (used + length + 2 >= 1000)
            break;
        wmemcpy(strings + used, text.GetString(), length);
        used += length + 1;
    }
    ::SendMessageW(m_toolbar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(strings));
    int ordinal = 0;
    for (const ToolButton& button : kButtons) {
        TBBUTTON tb{};
        if (button.command == 0)
            tb.fsStyle = BTNS_SEP;
        else {
            tb.idCommand = static_cast<int>(button.command);
            tb.fsState = TBSTATE_ENABLED;
            tb.fsStyle = BTNS_SHOWTEXT | BTNS_AUTOSIZE; // both buttons fit the row
            tb.iBitmap = ordinal;
            tb.iString = ordinal++;
        }
        ::SendMessageW(m_toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
    }
}

int SettingsPaneContent::ToolbarWidth() const
{
    // The buttons size themselves from their texts in the font in use, so every language fits.
    return m_toolbar ? m_toolbar.WantedWidth() : kFallbackToolbarWidth;
}

void SettingsPaneContent::Layout()
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int width = client.right;
    const int height = client.bottom;
    const int row = RowHeight();
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    const int toolbarWidth = ToolbarWidth();
    if (m_toolbar)
        ::SetWindowPos(m_toolbar, nullptr, 0, 0, toolbarWidth, row, flags);
    if (m_tab.m_hWnd)
        ::SetWindowPos(m_tab, nullptr, toolbarWidth + 10, 0, width - toolbarWidth, row, flags);
    if (m_viewport.m_hWnd)
        ::SetWindowPos(m_viewport, nullptr, 0, row + 2, width, std::max(0, height - row - 2), flags);
}

LRESULT SettingsPaneContent::OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    const int row = RowHeight();
    if (!m_viewport.CreateViewport(m_hWnd, RECT{0, row + 2, cs->cx, std::max(row + 2, cs->cy)}))
        return -1;
    if (!m_tab.Create(m_hWnd, RECT{0, 0, cs->cx, row}, kSettingsTabId, WS_CHILD))
        return -1;
    for (int i = 0; i < kPageCount; ++i)
        m_tab.InsertTab(i, LoadLocalizedString(kTabTexts[i]), i);
    int selected = 0;
    for (int i = 0; i < kPageCount; ++i)
        if (m_tab.GetTabItemParam(i) == m_current)
            selected = i;
    ::SendMessageW(m_tab, TCM_SETCURSEL, selected, 0);
    m_current = static_cast<int>(m_tab.GetTabItemParam(selected));
    if (::SendMessageW(m_tab, TCM_GETITEMCOUNT, 0, 0) > 1)
        ::ShowWindow(m_tab, SW_SHOW);
    CreatePageWindow(m_current);
    if (SettingsPage* page = GetPage(m_current); page && page->m_hWnd)
        ::ShowWindow(page->m_hWnd, SW_SHOW);
    CreateToolbar(cs->cx, row);
    Layout();
    ShowCurrentPageInViewport();
    return 0;
}

LRESULT SettingsPaneContent::OnSize(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam != SIZE_MINIMIZED)
        Layout();
    return 0;
}

LRESULT SettingsPaneContent::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_settings.SetLastSettingsTab(m_current);
    handled = FALSE;
    return 0;
}

bool SettingsPaneContent::SelectPage(int index)
{
    SettingsPage* next = GetPage(index);
    if (!next)
        return false;
    if (index == m_current)
        return true;
    if (!CreatePageWindow(index))
        return false;
    SettingsPage* old = GetPage(m_current);
    m_current = index;
    for (int i = 0; i < kPageCount; ++i)
        if (m_tab.GetTabItemParam(i) == index && ::SendMessageW(m_tab, TCM_GETCURSEL, 0, 0) != i)
            ::SendMessageW(m_tab, TCM_SETCURSEL, i, 0);
    if (old && old->m_hWnd) {
        old->SaveToSettings();
        ::ShowWindow(old->m_hWnd, SW_HIDE);
    }
    Layout();
    ShowCurrentPageInViewport();
    next->LoadFromSettings();
    ::ShowWindow(next->m_hWnd, SW_SHOW);
    if (index == 1)
        PulseNamedEvent(GetFloatPaneBlinkEventName());
    return true;
}

void SettingsPaneContent::ReloadCurrentPage()
{
    // A hidden page loads the settings when it is selected next; until then its boxes write nothing
    // back (a page takes only what the user changed on it).
    if (SettingsPage* page = GetPage(m_current); page && page->m_hWnd)
        page->Reload();
}

void SettingsPaneContent::OnLanguageChanged()
{
    ::SendMessageW(m_tab, WM_SETREDRAW, FALSE, 0);
    if (m_toolbar)
        ::SendMessageW(m_toolbar, WM_SETREDRAW, FALSE, 0);
    const int count = static_cast<int>(::SendMessageW(m_tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LPARAM page = m_tab.GetTabItemParam(i);
        if (page < 0 || page >= kPageCount)
            continue;
        const CString text = LoadLocalizedString(kTabTexts[page]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPWSTR>(text.GetString());
        ::SendMessageW(m_tab, TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    for (const ToolButton& button : kButtons) {
        if (button.command == 0 || !m_toolbar)
            continue;
        const CString text = LoadLocalizedString(button.text);
        TBBUTTONINFOW info{sizeof(info)};
        info.dwMask = TBIF_TEXT;
        info.pszText = const_cast<LPWSTR>(text.GetString());
        ::SendMessageW(m_toolbar, TB_SETBUTTONINFOW, button.command, reinterpret_cast<LPARAM>(&info));
    }
    for (int i = 0; i < kPageCount; ++i)
        if (SettingsPage* page = GetPage(i); page && page->m_hWnd)
            page->Localize();
    ::SendMessageW(m_tab, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_tab, nullptr, TRUE);
    if (m_toolbar) {
        ::SendMessageW(m_toolbar, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_toolbar, nullptr, TRUE);
    }
}

LRESULT SettingsPaneContent::OnSaveAndClose(WORD, WORD, HWND, BOOL&)
{
    m_settings.SaveEditor();
    HWND main = m_mainWindow ? m_mainWindow : ::GetAncestor(m_hWnd, GA_ROOT);
    // Posted: the toolbar that sent the command goes on with the click after this returns, and the close
    // destroys it.
    if (main && main != m_hWnd)
        ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

LRESULT SettingsPaneContent::OnHide(WORD, WORD, HWND, BOOL&)
{
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, kHideSettingsCommand, 0);
    return 0;
}

LRESULT SettingsPaneContent::OnTabChange(int, LPNMHDR, BOOL&)
{
    const int selected = static_cast<int>(::SendMessageW(m_tab, TCM_GETCURSEL, 0, 0));
    const int page = static_cast<int>(m_tab.GetTabItemParam(selected));
    if (page == 0 || page == 1)
        SelectPage(page);
    return 0;
}

LRESULT SettingsPaneContent::OnTabTip(int, LPNMHDR header, BOOL&)
{
    auto* record = reinterpret_cast<NMTABTIPTEXT*>(header);
    const CString text = TabTip(static_cast<int>(record->param));
    wcsncpy(record->tipText, text, 1023);
    record->tipText[1023] = L'\0';
    return text.IsEmpty() ? 0 : 1;
}

LRESULT SettingsPaneContent::OnToolbarTip(int, LPNMHDR header, BOOL&)
{
    auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(header);
    const ToolButton* button = FindButton(static_cast<UINT>(tip->iItem));
    if (!button || !tip->pszText || tip->cchTextMax <= 0)
        return 0;
    const CString text = LoadLocalizedString(button->tip);
    wcsncpy(tip->pszText, text, static_cast<size_t>(tip->cchTextMax - 1));
    tip->pszText[tip->cchTextMax - 1] = L'\0';
    return 0;
}
