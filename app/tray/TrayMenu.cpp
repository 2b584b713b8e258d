// The tray menu of CSCVTrayWnd: showing it, bringing its items up to date
// when a pop-up opens, the language pop-up, and the menu messages the
// tooltip follows.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/AppObjects.h"
#include "app/ProgramLauncher.h"
#include "app/tray/SCVTrayWnd.h"
#include "app/tray/SoundPlayer.h"
#include "app/tray/TrayTipContext.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "common/MenuUtils.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/WindowHelpers.h"
#include "menus/tips/DataNeededHander_MenuSelf.h"
#include "menus/tips/MenuToolTipSCVClient.h"
#include "menus/tips/MenuTrackerToolTip.h"

#include "resources/ScrivolanterRes.h"
#include "app/tray/TrayMenuRes.h"

namespace
{

constexpr UINT kMaxLanguages = kTrayLanguageLastId - kTrayLanguageFirstId + 1;

void SetChecked(HMENU menu, UINT id, bool checked)
{
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void SetEnabled(HMENU menu, UINT id, bool enabled)
{
    ::EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

CString ItemText(HMENU menu, UINT item, UINT flags, int maxChars)
{
    CString text;
    const int length = ::GetMenuStringW(menu, item, text.GetBuffer(maxChars + 1), maxChars + 1, flags);
    text.ReleaseBuffer(length > 0 ? length : 0);
    return text;
}

// Sets an item's text and nothing else: a pop-up keeps its sub-menu.
void SetItemString(HMENU menu, UINT item, bool byPosition, const CString& text)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<LPWSTR>(text.GetString());
    info.cch = static_cast<UINT>(text.GetLength());
    ::SetMenuItemInfoW(menu, item, byPosition ? TRUE : FALSE, &info);
}

// The text before a " [...]" part that an earlier update appended.
CString TextBeforeBracket(CString text)
{
    const int bracket = text.Find(L'[');
    if (bracket >= 0)
        text = text.Left(bracket);
    text.TrimRight(L" \t");
    return text;
}

// The sub-menu that holds the command (searched through the tree) and its parent and position.
bool FindSubMenuHolding(HMENU menu, UINT command, HMENU& parent, int& position)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (!sub)
            continue;
        if (::GetMenuState(sub, command, MF_BYCOMMAND) != static_cast<UINT>(-1) &&
            FindMenuItemPosition(sub, command) >= 0) {
            parent = menu;
            position = i;
            return true;
        }
        if (FindSubMenuHolding(sub, command, parent, position))
            return true;
    }
    return false;
}

} // namespace

// --- Showing the menu -----------------------------------------------------------------------------------

void CSCVTrayWnd::ShowTrayMenuAtCursor()
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    m_lastMenuPoint = cursor;
    DisplayTrayMenuWithPoint(cursor.x, cursor.y);
}

UINT CSCVTrayWnd::DisplayTrayMenuWithPoint(int x, int y)
{
    if (m_trayMenuOpen)
        return 0;
    CMenuLocalizer& localizer = CAppObjects::GetLocalizer();
    CMenuHolder loaded = localizer.LoadMenu(MAKEINTRESOURCEW(IDR_TRAY_MENU));
    HMENU menu = loaded ? ::GetSubMenu(loaded, 0) : nullptr;
    UINT command = 0;
    if (menu) {
        localizer.LocalizeMenu(menu);
        ::SetMenuDefaultItem(menu, ID_TRAY_EDIT_PHRASES, FALSE);
        FillLanguageSubMenu(menu);
        ::EndMenu();
        ::SetForegroundWindow(m_hWnd);
        if (GetSettings().AutoCheckForUpdates != 0)
            SetChecked(menu, ID_TRAY_CHECK_FOR_UPDATES, true);
        m_trayMenuOpen = true;
        command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD, x, y, 0, m_hWnd, nullptr));
        m_trayMenuOpen = false;
        ::EndMenu();
        HideMenuToolTip();
        // Lets the menu's window go before a command opens another one.
        PostMessage(WM_NULL, 0, 0);
    }
    CString line;
    line.Format(L"DisplayTrayMenuWithPoint x=%d y=%d bLoad=%d, bPOPUP=%d", x, y, menu ? 1 : 0,
                static_cast<int>(command));
    WriteLogLine(line);
    if (command != 0)
        SendMessage(WM_COMMAND, command, 0);
    return command;
}

LRESULT CSCVTrayWnd::OnShowTrayMenuRequest(UINT, WPARAM, LPARAM, BOOL&)
{
    // Another process asked: the tray window takes the foreground for the menu
    // and gives it back afterwards.
    const HWND previous = ::GetForegroundWindow();
    DWORD previousProcess = 0;
    const DWORD previousThread = previous ? ::GetWindowThreadProcessId(previous, &previousProcess) : 0;
    const DWORD thisThread = ::GetCurrentThreadId();
    const bool attach = previous && previousProcess != ::GetCurrentProcessId() &&
                        previousThread != thisThread && ::AttachThreadInput(thisThread, previousThread, TRUE);
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    ::MessageBeep(MB_ICONASTERISK);
    ShowTrayMenuAtCursor();
    if (previous && ::IsWindow(previous)) {
        ::SetActiveWindow(previous);
        ::SetForegroundWindow(previous);
    }
    if (attach)
        ::AttachThreadInput(thisThread, previousThread, FALSE);
    return 1;
}

// --- Bringing the menu up to date -----------------------------------------------------------------------

LRESULT CSCVTrayWnd::OnInitMenuPopupMessage(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
    return 0;
}

void CSCVTrayWnd::OnInitMenuPopup(HMENU menu)
{
    WriteLogLine(L"CSCVTrayWnd::OnInitMenuPopup");
    if ((m_menuBuilder && m_menuBuilder->IsMenuAlive()) || !::IsMenu(menu))
        return;
    const CSettings& settings = GetSettings();
    SetChecked(menu, ID_TRAY_ENABLE_PHRASE_MENU, IsCoreInstalled());

    const int delay = settings.DelayAutoLoadSeconds_NextRelease;
    if (delay != 0 &&
        ::GetMenuState(menu, ID_TRAY_START_WITH_WINDOWS, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        CString text = ItemText(menu, ID_TRAY_START_WITH_WINDOWS, MF_BYCOMMAND, 200);
        const int mark = text.Find(L" (+");
        if (mark >= 0)
            text = text.Left(mark);
        CString suffix;
        suffix.Format(L" (+%dsec)", delay);
        SetItemString(menu, ID_TRAY_START_WITH_WINDOWS, false, text + suffix);
    }
    SetChecked(menu, ID_TRAY_START_WITH_WINDOWS, IsAutoStartEnabled());
    SetChecked(menu, ID_TRAY_SOUNDS, settings.SoundOnEventsV094 != 0);
    SetChecked(menu, ID_TRAY_MUTE_MODE, CAppObjects::IsMuteMode());
    SetEnabled(menu, ID_TRAY_MUTE_MODE, settings.SoundOnEventsV094 != 0);
    SetChecked(menu, ID_TRAY_WRITE_LOG, IsLogOpen());
    SetChecked(menu, ID_TRAY_FLOAT_PANE_ON_START, settings.ShowHistoryPaneOnStart != 0);
    SetChecked(menu, ID_TRAY_PINNED_ON_START, settings.GetPinnedFloatPaneOnStart() != 0);

    SetEnabled(menu, ID_TRAY_SAVE_FROM_CLIPBOARD,
               ::IsClipboardFormatAvailable(CF_TEXT) || ::IsClipboardFormatAvailable(CF_UNICODETEXT));
    SetEnabled(menu, ID_TRAY_HISTORY_REKEEP, GetHistory().IsCapturing());

    const CString reread = ItemText(menu, ID_TRAY_REREAD_PHRASES, MF_BYCOMMAND, 100);
    if (!reread.IsEmpty()) {
        int included = 0;
        int all = 0;
        m_phrases.GetPhraseCounts(&included, &all);
        CString counts;
        counts.Format(L" [%d/%d]", included, all);
        SetItemString(menu, ID_TRAY_REREAD_PHRASES, false, TextBeforeBracket(reread) + counts);
    }

    UpdateHistoryPopup(menu);
    SetChecked(menu, ID_TRAY_FLOAT_PANE, m_floatPane.m_hWnd != nullptr);
    if (m_floatPane.m_hWnd)
        KeepFloatPaneOnScreen();

    SetChecked(menu, ID_TRAY_HISTORY_SAVE_ON_EXIT, settings.GetSaveClipboardHistory() != 0);
    SetChecked(menu, ID_TRAY_FLOAT_PANE_ON_START, settings.ShowHistoryPaneOnStart != 0);
    if (::GetMenuState(menu, ID_TRAY_RUN_AS_ADMIN, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        if (CAppObjects::IsElevated()) {
            SetEnabled(menu, ID_TRAY_RUN_AS_ADMIN, false);
        } else {
            SetEnabled(menu, ID_TRAY_RUN_AS_ADMIN, true);
            ::SetMenuDefaultItem(menu, ID_TRAY_RUN_AS_ADMIN, FALSE);
        }
    }
}

void CSCVTrayWnd::KeepFloatPaneOnScreen()
{
    RECT pane{};
    if (!::GetWindowRect(m_floatPane.m_hWnd, &pane))
        return;
    const int screenWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    CString values;
    values.Format(L" SM_CXVIRTUALSCREEN=%d SM_CYVIRTUALSCREEN=%d left=%d top=%d width=%d height=%d",
                  screenWidth, screenHeight, static_cast<int>(pane.left), static_cast<int>(pane.top),
                  static_cast<int>(pane.right - pane.left), static_cast<int>(pane.bottom - pane.top));
    RECT fitted = pane;
    if (!FitRectOntoNearestMonitor(fitted)) {
        WriteLogLine(L"Well,well, float pane pos is correctly" + values);
        return;
    }
    if (pane.right > screenWidth)
        LogError(L"Float pane: right large SM_SXSCREEN");
    if (pane.top < 0)
        LogError(L"Float pane: top < 0");
    if (pane.left < 0)
        LogError(L"Float pane: left < 0");
    if (pane.bottom > screenHeight)
        LogError(L"Float pane: bottom large by SM_SYSCREEN");
    LogError(L"Correct pos float pane from menu updating" + values);
    ::SetWindowPos(m_floatPane.m_hWnd, HWND_TOPMOST, fitted.left, fitted.top, fitted.right - fitted.left,
                   fitted.bottom - fitted.top, SWP_NOACTIVATE);
    m_floatPane.ShowWindow(SW_SHOWNA);
}

void CSCVTrayWnd::UpdateHistoryPopup(HMENU menu)
{
    ITrayHistorySource& history = GetHistory();
    const bool capturing = history.IsCapturing();
    const bool isHistoryPopup = FindMenuItemPosition(menu, ID_TRAY_HISTORY_KEEP) >= 0 &&
                                ::GetMenuState(menu, ID_TRAY_EXIT, MF_BYCOMMAND) == static_cast<UINT>(-1);
    CString line;
    line.Format(L"bHistory=%d\n", isHistoryPopup ? 1 : 0);
    WriteLogLine(line);
    if (isHistoryPopup) {
        for (UINT id = kTrayHistoryFirstId; id <= kTrayHistoryLastId; ++id)
            ::DeleteMenu(menu, id, MF_BYCOMMAND);
        // The separator the items came after.
        const int left = ::GetMenuItemCount(menu);
        if (left > 0 && ::GetMenuItemID(menu, left - 1) == 0)
            ::DeleteMenu(menu, static_cast<UINT>(left - 1), MF_BYPOSITION);
        int limit = GetSettings().GetMaxHistoryItemsInMenu();
        if (limit < 0)
            limit = GetSettings().GetClipboardHistoryMax();
        history.AppendToMenu(
            menu, kTrayHistoryFirstId,
            (std::min)(limit, static_cast<int>(kTrayHistoryLastId - kTrayHistoryFirstId + 1)));
    }

    // The pop-up item that holds "Keep" (in the parent menu) shows the count and the maximum.
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        HMENU sub = ::GetSubMenu(menu, position);
        if (!sub || FindMenuItemPosition(sub, ID_TRAY_HISTORY_KEEP) < 0)
            continue;
        CString caption;
        caption.Format(L"%s [%d/%d]",
                       TextBeforeBracket(ItemText(menu, position, MF_BYPOSITION, 100)).GetString(),
                       history.GetCount(), GetSettings().GetClipboardHistoryMax());
        SetItemString(menu, static_cast<UINT>(position), true, caption);
        ::CheckMenuItem(menu, static_cast<UINT>(position),
                        MF_BYPOSITION | (capturing ? MF_CHECKED : MF_UNCHECKED));
        break;
    }
    SetChecked(menu, ID_TRAY_HISTORY_KEEP, capturing);
    SetEnabled(menu, ID_TRAY_HISTORY_CLEAR, history.GetCount() > 0);
}

// --- Languages ---------------------------------------------------------------------------------------------

bool CSCVTrayWnd::FillLanguageSubMenu(HMENU menu)
{
    HMENU parent = nullptr;
    int position = -1;
    if (!::IsMenu(menu) || !FindSubMenuHolding(menu, ID_TRAY_HOW_TO_LOCALIZE, parent, position))
        return false;
    HMENU languages = ::GetSubMenu(parent, position);

    const CString file = GetSettings().GetLanguageFileName();
    CString name = L"En";
    if (!file.IsEmpty()) {
        name = GetLangLocalizedName(GetSettings().GetLanguageFilePath());
        if (name.IsEmpty())
            name = file;
    }
    CString caption = ItemText(parent, static_cast<UINT>(position), MF_BYPOSITION, 200);
    SetItemString(parent, static_cast<UINT>(position), true,
                  TextBeforeBracket(caption) + L" [" + name + L"]");

    m_languages.clear();
    EnumLanguageFiles(m_languages, nullptr);
    if (m_languages.size() > kMaxLanguages)
        m_languages.resize(kMaxLanguages);
    if (m_languages.empty())
        return true;
    FillLanguageSubmenu(languages, m_languages);
    return true;
}

bool CSCVTrayWnd::SelectLanguage(UINT commandId, bool showMenuAgain)
{
    if (commandId < kTrayLanguageFirstId || commandId - kTrayLanguageFirstId >= m_languages.size()) {
        CString line;
        line.Format(L"SelectLanguage: command %u names no language of the list (%u entries)", commandId,
                    static_cast<unsigned>(m_languages.size()));
        WriteLogLine(line);
        return false;
    }
    CSettings& settings = GetSettings();
    settings.SetLanguageFileName(m_languages[commandId - kTrayLanguageFirstId]);
    settings.WriteString(settings.GetLanguageFileName(), L"Language");
    BOOL handled = TRUE;
    OnLanguageChanged(WM_SCV_LANGUAGE_CHANGED, 0, 0, handled);
    if (showMenuAgain && ::GetForegroundWindow() == m_hWnd)
        DisplayTrayMenuWithPoint(m_lastMenuPoint.x, m_lastMenuPoint.y);
    return true;
}

LRESULT CSCVTrayWnd::OnLanguageCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (m_languages.empty())
        EnumLanguageFiles(m_languages, nullptr);
    return SelectLanguage(static_cast<UINT>(wParam), false) ? 1 : 0;
}

LRESULT CSCVTrayWnd::OnFillLanguageMenu(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    if (!::IsMenu(menu))
        return 0;
    m_languages.clear();
    EnumLanguageFiles(m_languages, nullptr);
    if (m_languages.size() > kMaxLanguages)
        m_languages.resize(kMaxLanguages);
    return FillLanguageSubmenu(menu, m_languages);
}

// --- Menu tooltip ------------------------------------------------------------------------------------------

void CSCVTrayWnd::CreateMenuToolTip()
{
    if (!m_tipContext)
        m_tipContext = std::make_unique<CTrayTipContext>(this);
    m_menuToolTip =
        std::make_unique<CMenuToolTipSCVClient>(&m_phrases, &m_languages, &GetHistory(), m_tipContext.get());
    const CString defaultText = LoadLocalizedTextOr(IDS_SCV_MENU_TOOLTIP, L"This tooltip for menu item");
    if (!m_menuToolTip->Create(m_hWnd, defaultText, ::GetModuleHandleW(nullptr), TTS_NOPREFIX | TTS_ALWAYSTIP,
                               nullptr))
        LogError(L"The menu tooltip cannot be created");
    m_menuToolTip->SetDisabled(GetSettings().MenuToolTips_V0_94_A22 == 0);
    if (GetHistory().IsCapturing())
        m_menuToolTip->SetClipboardTrackingState(0, CString());
    SetMenuTrackerToolTipFactory(&CreateMenuTrackerToolTip);
}

void CSCVTrayWnd::HideMenuToolTip()
{
    if (m_menuToolTip)
        m_menuToolTip->HideTip();
}

LRESULT CSCVTrayWnd::OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (m_menuBuilder && m_menuBuilder->IsMenuAlive()) {
        HideMenuToolTip();
        handled = TRUE;
        return 1;
    }
    const UINT flags = HIWORD(wParam);
    UINT item = LOWORD(wParam);
    if (flags & MF_POPUP)
        item = 0;
    if (item != 0)
        m_lastSelectedTrayItem = item;
    if (m_menuToolTip)
        m_menuToolTip->OnMenuSelect(item, flags, reinterpret_cast<HMENU>(lParam));
    if (item == ID_TRAY_FLOAT_PANE)
        SetTimer(kTimerFloatPaneHint, 1000, nullptr);
    else
        KillTimer(kTimerFloatPaneHint);
    return 0;
}

LRESULT CSCVTrayWnd::OnEnterIdle(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (m_menuToolTip)
        m_menuToolTip->OnEnterIdle(m_hWnd, wParam, reinterpret_cast<HWND>(lParam));
    return 0;
}
