#include "editor/app/settings/SettingsPage.h"

#include <commctrl.h>

#include <cwchar>

void SettingsPage::RememberShownValues()
{
    if (!m_shown)
        m_shown = std::make_unique<CEditorSettings>(m_settings.GetFiles().GetEnvironment());
    m_shown->CopyValuesFrom(m_settings);
    ReadControls(*m_shown);
}

void SettingsPage::TakeEditedValues()
{
    CEditorSettings edited(m_settings.GetFiles().GetEnvironment());
    edited.CopyValuesFrom(m_settings);
    ReadControls(edited);
    if (m_shown)
        m_settings.TakeChangedValues(*m_shown, edited);
    else
        m_settings.CopyValuesFrom(edited);
    RememberShownValues();
}

SettingsPage::~SettingsPage()
{
    if (m_tip && ::IsWindow(m_tip))
        ::DestroyWindow(m_tip);
}

HWND SettingsPage::CreatePage(HWND parent)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS |
                                              ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    return CreateCore(MAKEINTRESOURCEW(m_templateId), nullptr, parent, 0);
}

HWND SettingsPage::GetToolTip()
{
    if (m_tip || !m_hWnd)
        return m_tip;
    m_tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                              0, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_tip)
        return nullptr;
    ::SendMessageW(m_tip, TTM_ACTIVATE, TRUE, 0);
    ::SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, 600);
    return m_tip;
}

void SettingsPage::SetControlTip(int controlId, LPCWSTR text)
{
    SetWindowTip(::GetDlgItem(m_hWnd, controlId), text);
}

void SettingsPage::SetWindowTip(HWND control, LPCWSTR text)
{
    HWND tip = GetToolTip();
    if (!tip || !control)
        return;
    TTTOOLINFOW tool{sizeof(tool)};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<LPWSTR>(text);
    ::SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

int SettingsPage::ReadNumber(int id) const
{
    wchar_t text[64] = {};
    ::GetDlgItemTextW(m_hWnd, id, text, 64);
    return static_cast<int>(std::wcstol(text, nullptr, 10));
}

LRESULT SettingsPage::OnShowWindow(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (m_tip)
        ::SendMessageW(m_tip, TTM_ACTIVATE, wParam, 0);
    handled = FALSE;
    return 0;
}
