#include "app/tray/TrayTipContext.h"

#include "app/tray/AppIcons.h"
#include "app/AppObjects.h"
#include "app/AppTexts.h"
#include "app/ProgramLauncher.h"
#include "app/tray/SCVTrayWnd.h"
#include "app/VersionTexts.h"
#include "common/HandedOutAddresses.h"
#include "common/MenuLocalizer.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "engine/CCHQueue.h"
#include "online/ProgramFilePaths.h"
#include "online/CSCVUrl.h"

#include "menus/phrasemenu/PopupMenuRes.h"
#include "app/tray/TrayMenuRes.h"

CString GetTrayCommandUrl(UINT command)
{
    switch (command) {
    case ID_TRAY_WEB_SITE:
        return CSCVUrl::HomePageUrl();
    case ID_TRAY_QUICK_START:
        return CSCVUrl::BuildQuickStartUrl(GetShortVersionText());
    case ID_TRAY_NEWSLETTER:
        return CSCVUrl::SubscribePageUrl();
    case ID_TRAY_FORUM:
        return CSCVUrl::ForumPageUrl();
    case ID_TRAY_FAQ:
        return CSCVUrl::FaqPageUrl();
    case ID_TRAY_RSS:
        return CSCVUrl::NewsFeedUrl();
    case ID_TRAY_VIDEO:
        return CSCVUrl::VideoPageUrl();
    case ID_TRAY_FACEBOOK:
        return CSCVUrl::FacebookPageUrl();
    case ID_TRAY_TELEGRAM:
        return CSCVUrl::TelegramChannelUrl();
    case ID_TRAY_VK:
        return CSCVUrl::VkPageUrl();
    case ID_TRAY_SUPPORT:
        return CSCVUrl::SupportPageUrl();
    case ID_TRAY_HOW_TO_LOCALIZE:
        return CSCVUrl::TranslationHowToUrl();
    case ID_TRAY_EMAIL:
        return CSCVUrl::SupportMailtoAddress();
    default:
        return CString();
    }
}

CString CTrayTipContext::GetHotKeyText()
{
    return GetHotKeyDisplayText();
}

CString CTrayTipContext::GetOnOffText(bool on)
{
    return on ? GetTurnOnTextDefault() : GetTurnOffTextDefault();
}

bool CTrayTipContext::IsAutoStartEnabled()
{
    return ::IsAutoStartEnabled();
}

bool CTrayTipContext::IsMuteMode()
{
    return CAppObjects::IsMuteMode();
}

CString CTrayTipContext::GetPhrasesFolderText()
{
    return GetPhrasesFolderDisplayText();
}

CString CTrayTipContext::GetLogFilePath()
{
    return LogReportPath();
}

CString CTrayTipContext::GetSettingsFilePath()
{
    return GetSettings().GetFiles().GetSettingsFilePath() + L", [" + GetSettingsSectionName() + L"]";
}

CString CTrayTipContext::GetCommandUrl(UINT command)
{
    return GetTrayCommandUrl(command);
}

CString CTrayTipContext::GetAboutText()
{
    CString text = GetProductVersionText(true);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    text += L"\n";
    text += path;
    if (m_window) {
        text += L"\n";
        text += m_window->IsCoreInstalled() ? GetTurnOnTextDefault() : GetTurnOffTextDefault();
    }
    return text;
}

CString CTrayTipContext::GetMenuCommandText(UINT command)
{
    // The tray menu first; commands only the pane's item menu carries (Copy) take its text.
    CString text = CAppObjects::GetLocalizer().GetItemText(IDR_TRAY_MENU, command);
    if (text.IsEmpty())
        text = CAppObjects::GetLocalizer().GetItemText(IDR_MENU_RIGHT_CLICK, command);
    return text;
}

HICON CTrayTipContext::LoadProgramIcon()
{
    return LoadAppIcon(1);
}

CString CTrayTipContext::GetPaneItemData(int form)
{
    CString data;
    if (m_window && m_window->m_hWnd) {
        const CHandOverScope handOver(HandOverKind::StringObject, &data, sizeof(data));
        ::SendMessageW(m_window->m_hWnd, WM_SCV_GET_SELECTED_ITEM_CONTENT, static_cast<WPARAM>(form),
                       reinterpret_cast<LPARAM>(&data));
    }
    return data;
}

CString CTrayTipContext::GetPaneSelectionText()
{
    if (!m_window || !m_window->m_hWnd)
        return CString();
    const auto* holder = reinterpret_cast<const FloatPaneTextHolder*>(
        ::SendMessageW(m_window->m_hWnd, WM_SCV_GET_FLOAT_PANE_TEXT, 0, 0));
    return holder ? holder->preview : CString();
}

HICON CTrayTipContext::LoadTipIcon(const TipIconSource& source)
{
    return ::LoadTipIcon(source);
}

CString CTrayTipContext::GetOpenWithProgram()
{
    return GetOpenWithProgramForCurrentItem();
}

bool CTrayTipContext::GetLatestUndoRecord(DWORD& ageMs, CString& text, int& action)
{
    if (!m_window)
        return false;
    const UNDO_ITEM* record = m_window->GetClipboardHistory().GetQueue().Get_Undo_Item_By_Index(0);
    if (!record)
        return false;
    ageMs = ::GetTickCount() - static_cast<DWORD>(record->tickCount);
    text = record->text;
    action = record->action;
    return true;
}
