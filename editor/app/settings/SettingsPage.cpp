#include "editor/app/settings/SettingsPage.h"

#include <commctrl.h>

#include <cwchar>

namespace
{
CString WindowText(HWND window)
{
    CString text;
    const int length = ::GetWindowTextLengthW(window);
    ::GetWindowTextW(window, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
    return text;
}

bool IsEditBox(HWND window)
{
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    return ::lstrcmpiW(className, L"Edit") == 0;
}

// What the user typed into one edit box, with the caret.
struct TypedText
{
    HWND edit;
    CString text;
    DWORD start = 0;
    DWORD end = 0;
};
} // namespace

void SettingsPage::RememberShownValues()
{
    if (!m_shown)
        m_shown = std::make_unique<CEditorSettings>(m_settings.GetFiles().GetEnvironment());
    m_shown->CopyValuesFrom(m_settings);
    ReadControls(*m_shown);
    m_shownTexts.clear();
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (IsEditBox(child))
            m_shownTexts.emplace_back(child, WindowText(child));
}

std::vector<HWND> SettingsPage::TypedEditBoxes() const
{
    std::vector<HWND> typed;
    for (const auto& [edit, text] : m_shownTexts)
        if (::IsWindow(edit) && WindowText(edit) != text)
            typed.push_back(edit);
    return typed;
}

void SettingsPage::Reload()
{
    if (!m_hWnd || !m_shown) {
        LoadFromSettings();
        return;
    }
    const CSettingsEnvironment& environment = m_settings.GetFiles().GetEnvironment();
    CEditorSettings typed(environment);
    typed.CopyValuesFrom(m_settings);
    ReadControls(typed);
    CEditorSettings shownBefore(environment);
    shownBefore.CopyValuesFrom(*m_shown);
    std::vector<TypedText> texts;
    for (HWND edit : TypedEditBoxes()) {
        TypedText kept{edit, WindowText(edit)};
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&kept.start), reinterpret_cast<LPARAM>(&kept.end));
        texts.push_back(kept);
    }
    LoadFromSettings();
    if (shownBefore.SameValuesAs(typed) && texts.empty())
        return;
    // The reloaded values with the user's changes on top are shown; what the load showed stays the
    // reference, so the user's changes are still taken by the next save.
    CEditorSettings reloadedShown(environment);
    reloadedShown.CopyValuesFrom(*m_shown);
    const std::vector<std::pair<HWND, CString>> reloadedTexts = m_shownTexts;
    CEditorSettings reloaded(environment);
    reloaded.CopyValuesFrom(m_settings);
    CEditorSettings withTyped(environment);
    withTyped.CopyValuesFrom(m_settings);
    withTyped.TakeChangedValues(shownBefore, typed);
    m_settings.CopyValuesFrom(withTyped);
    LoadFromSettings();
    m_settings.CopyValuesFrom(reloaded);
    m_shown->CopyValuesFrom(reloadedShown);
    m_shownTexts = reloadedTexts;
    for (const TypedText& kept : texts) {
        if (WindowText(kept.edit) != kept.text)
            ::SetWindowTextW(kept.edit, kept.text);
        ::SendMessageW(kept.edit, EM_SETSEL, kept.start, kept.end);
    }
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
