#include "editor/app/settings/SettingsPane.h"

#include "common/SharedLog.h"

SettingsPane::SettingsPane(CEditorSettings& settings, LPCWSTR runKeyPath, LPCWSTR programPath)
    : m_content(runKeyPath ? std::make_unique<SettingsPaneContent>(settings, runKeyPath, programPath)
                           : std::make_unique<SettingsPaneContent>(settings))
{}

SettingsPane::~SettingsPane()
{
    // The content is a child window: it goes before the bar's own window.
    m_content.reset();
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

BOOL SettingsPane::CreatePane(LPCWSTR title, HWND frame, bool visible)
{
    const SIZE size = {kHeight, kHeight};
    const DWORD style = CBRS_ALIGN_BOTTOM | WS_CHILD | (visible ? WS_VISIBLE : 0);
    return Create(title, frame, size, TRUE, kChildId, style);
}

LRESULT SettingsPane::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (!m_content->CreateContent(m_hWnd, client)) {
        WriteLogLine(L"SettingsPane::OnCreate: the settings content could not be created");
        bHandled = TRUE;
        return -1;
    }
    m_content->SetMainWindow(::GetParent(m_hWnd));
    return 0;
}

LRESULT SettingsPane::OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    if (wParam != SIZE_MINIMIZED && m_content->m_hWnd)
        ::SetWindowPos(m_content->m_hWnd, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

BOOL SettingsPane::PreTranslateMessage(MSG* msg)
{
    if (m_content && m_content->TabControl().m_hWnd)
        m_content->TabControl().PreTranslateMessage(msg);
    return CResizableBar::PreTranslateMessage(msg);
}

void SettingsPane::OnDocUpdate(CView*, LPARAM hint, CObject*)
{
    if (hint == kHintLanguage && m_content->m_hWnd)
        m_content->OnLanguageChanged();
}
