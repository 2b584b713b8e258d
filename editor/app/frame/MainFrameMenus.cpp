// The main frame's command routing (settings pane, frame, phrases pane), its menus (the two run-time
// submenus of recent phrases folders and languages, each kept within its command id range, the menu
// bitmaps, the system menu's extra items and the view popup menu), the menu tooltip's messages, the
// status prompts and the language bar.

#include "editor/app/frame/MainFrame.h"

#include "common/LanguageFile.h"
#include "platform/WindowsX.h"
#include "platform/CAppModule.h"
#include "common/LocalizedString.h"
#include "common/SharedLog.h"
#include "editor/app/frame/EditorWindowServices.h"
#include "editor/controls/EditorLook.h"
#include "online/CSCVUrl.h"
#include "editor/controls/EditorSettings.h"
#include "editor/controls/MenuItemServices.h"

namespace
{

constexpr UINT kLocalizeHowToCommand = 32776;
constexpr UINT kMainMenuId = 128;

// The items the system menu gains after its separator, and the view popup menu's first items.
const UINT kViewCommands[] = {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, CMainFrame::kPhrasesCommand,
                              CMainFrame::kSettingsCommand, CMainFrame::kPreviewCommand};

// System commands that are the frame's own commands.
const UINT kSystemMenuCommands[] = {ID_VIEW_TOOLBAR,
                                    ID_VIEW_STATUS_BAR,
                                    CMainFrame::kPhrasesCommand,
                                    CMainFrame::kSettingsCommand,
                                    CMainFrame::kPreviewCommand,
                                    CMainFrame::kChooseFolderCommand,
                                    CMainFrame::kMoveFolderCommand};

int PositionOfFirstSeparator(HMENU menu)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (::GetMenuItemID(menu, i) == 0)
            return i;
    return count;
}

// The text a command has in the localised menu 128 (an empty menu: the resource's text).
CString MainMenuText(HMENU localized, UINT command)
{
    CString text;
    if (localized)
        MenuItemServices::GetMenuItemString(localized, command, text, MF_BYCOMMAND);
    if (text.IsEmpty())
        text = MenuItemServices::LoadMenuItemText(kMainMenuId, command);
    return text;
}

// The localised menu 128 for as long as it lives.
class LocalizedMainMenu
{
public:
    LocalizedMainMenu() : m_menu(LoadLocalizedMenu(kMainMenuId)) {}
    ~LocalizedMainMenu()
    {
        if (m_menu)
            ::DestroyMenu(m_menu);
    }
    LocalizedMainMenu(const LocalizedMainMenu&) = delete;
    LocalizedMainMenu& operator=(const LocalizedMainMenu&) = delete;
    CString Text(UINT command) const { return MainMenuText(m_menu, command); }

private:
    HMENU m_menu;
};

bool MenuHolds(HMENU popup, UINT id)
{
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i)
        if (::GetMenuItemID(popup, i) == id)
            return true;
    return false;
}

void KeepFirstItems(HMENU popup, int keep)
{
    while (::GetMenuItemCount(popup) > keep)
        ::DeleteMenu(popup, keep, MF_BYPOSITION);
}

// The folder of the language files: the program folder the settings are read beside.
CString LanguageFolderOf(const CEditorSettings& settings)
{
    return settings.GetFiles().GetEnvironment().GetProgramFolder();
}

bool FolderExists(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool CMainFrame::CreateLanguageBars()
{
    if (!::FindResourceW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(LanguageBar::kTemplateId),
                         RT_DIALOG)) {
        WriteLogLine(L"CMainFrame: no language bar template, the frame has no language bar");
        return true;
    }
    auto bar = std::make_unique<LanguageBar>(&m_languages);
    bar->SetCurrentLanguage(m_phrasesPane.GetSettings().GetLanguageFileName());
    bar->SetLanguageFolder(LanguageFolderOf(m_phrasesPane.GetSettings()));
    if (!bar->Create(m_hWnd, LanguageBar::kTemplateId, CBRS_TOP, AFX_IDW_DIALOGBAR)) {
        WriteLogLine(L"CMainFrame::OnCreate: the language bar could not be created");
        return false;
    }
    m_languageBar = std::move(bar);
    if (!m_rebar.Create(m_hWnd) || !m_rebar.AddBar(m_languageBar.get(), ::GetSysColor(COLOR_WINDOWTEXT),
                                                   ::GetSysColor(COLOR_BTNFACE), RBBS_NOGRIPPER)) {
        WriteLogLine(L"CMainFrame::OnCreate: the rebar could not be created");
        return false;
    }
    return true;
}

LRESULT CMainFrame::OnToggleLanguageBar(WORD, WORD, HWND, BOOL&)
{
    if (m_rebar.m_hWnd)
        ShowControlBar(&m_rebar, !m_rebar.IsVisible(), FALSE);
    return 0;
}

void CMainFrame::OnUpdateLanguageBar(CCmdUI* ui)
{
    ui->Enable(m_rebar.m_hWnd != nullptr);
    ui->SetCheck(m_rebar.IsVisible() ? 1 : 0);
}

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    if (nCode == CN_COMMAND && m_menuTip)
        m_menuTip->HideTip();
    // The settings pane hears every command first; its answer does not stop the routing.
    if (m_settingsPane && m_settingsPane->m_hWnd)
        m_settingsPane->OnCmdMsg(nID, nCode, pExtra);
    if (CFrameWnd::OnCmdMsg(nID, nCode, pExtra))
        return TRUE;
    if (nID == kPhrasesHideUncheckedCommand || !m_phrasesPane.m_hWnd)
        return FALSE;
    return m_phrasesPane.OnCmdMsg(nID, nCode, pExtra);
}

int CMainFrame::FillRecentFoldersMenu(HMENU popup, const CEditorSettings& settings)
{
    KeepFirstItems(popup, 3);
    const int count = std::min(settings.GetPrevFoldersCount(),
                               static_cast<int>(kLastRecentFolderCommand - kFirstRecentFolderCommand + 1));
    if (count <= 0)
        return 0;
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    const CString current = settings.GetPhrasesFolderWithoutSlash();
    for (int i = 0; i < count; ++i) {
        const CString folder = settings.GetRecentFolder(i);
        const int slash = folder.ReverseFind(L'\\');
        CString text = slash >= 0 ? folder.Mid(slash + 1) : folder;
        if (!FolderExists(folder))
            text += L" [" + LoadLocalizedTextOr(238, L"not found") + L"]";
        const UINT id = kFirstRecentFolderCommand + static_cast<UINT>(i);
        ::AppendMenuW(popup, MF_STRING, id, text);
        if (folder.CompareNoCase(current) == 0) {
            ::CheckMenuRadioItem(popup, id, id, id, MF_BYCOMMAND);
            ::SetMenuDefaultItem(popup, id, FALSE);
        }
    }
    return count;
}

int CMainFrame::FillLanguageMenu(HMENU popup, std::vector<CString>& languages, const CString& current,
                                 const CString& folder)
{
    KeepFirstItems(popup, 2);
    languages.clear();
    const bool found = folder.IsEmpty() ? EnumLanguageFiles(languages, nullptr)
                                        : EnumLanguageFilesIn(folder, languages, nullptr);
    if (!found)
        languages.clear();
    const size_t room = kLastLanguageCommand - kFirstLanguageCommand + 1;
    if (languages.size() > room) {
        CString line;
        line.Format(L"CMainFrame: %d language files, the menu shows the first %d",
                    static_cast<int>(languages.size()), static_cast<int>(room));
        WriteLogLine(line);
        languages.resize(room);
    }
    if (languages.empty())
        return 0;
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    if (folder.IsEmpty())
        BuildLanguageMenu(popup, kFirstLanguageCommand, languages, current);
    else
        BuildLanguageMenuIn(folder, popup, kFirstLanguageCommand, languages, current);
    return static_cast<int>(languages.size());
}

LRESULT CMainFrame::OnInitMenuPopupLists(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE; // the framework updates the items afterwards
    auto popup = reinterpret_cast<HMENU>(wParam);
    if (HIWORD(lParam)) {
        // The system menu: only the toolbar item's check follows the rebar.
        ::CheckMenuItem(popup, ID_VIEW_TOOLBAR,
                        MF_BYCOMMAND | (m_rebar.m_hWnd && m_rebar.IsVisible() ? MF_CHECKED : MF_UNCHECKED));
        bHandled = TRUE;
        return 0;
    }
    CEditorSettings& settings = m_phrasesPane.GetSettings();
    if (MenuHolds(popup, kLocalizeHowToCommand))
        FillLanguageMenu(popup, m_languages, settings.GetLanguageFileName(), LanguageFolderOf(settings));
    else if (MenuHolds(popup, kChooseFolderCommand) || MenuHolds(popup, kMoveFolderCommand) ||
             MenuHolds(popup, kShowFolderCommand))
        FillRecentFoldersMenu(popup, settings);
    SetMenuBitmaps(popup);
    return 0;
}

void CMainFrame::AddSystemMenuItems()
{
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!menu)
        return;
    const LocalizedMainMenu texts;
    const int separator = PositionOfFirstSeparator(menu);
    ::InsertMenuW(menu, separator, MF_BYPOSITION | MF_STRING, kChooseFolderCommand,
                  texts.Text(kChooseFolderCommand));
    ::InsertMenuW(menu, separator + 1, MF_BYPOSITION | MF_STRING, kMoveFolderCommand,
                  texts.Text(kMoveFolderCommand));
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (UINT command : kViewCommands)
        ::AppendMenuW(menu, MF_STRING, command, texts.Text(command));
    LocalizeMenu(menu);
}

LRESULT CMainFrame::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    for (UINT command : kSystemMenuCommands) {
        if (wParam == command) {
            ::SendMessageW(m_hWnd, WM_COMMAND, command, 0);
            return 0;
        }
    }
    bHandled = FALSE;
    return 0;
}

HMENU CMainFrame::BuildViewMenu()
{
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return nullptr;
    const LocalizedMainMenu texts;
    for (UINT command : kViewCommands)
        ::AppendMenuW(menu, MF_STRING, command, texts.Text(command));
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kMetaInfoCommand, texts.Text(kMetaInfoCommand));
    ::CheckMenuItem(menu, ID_VIEW_TOOLBAR,
                    MF_BYCOMMAND | (m_rebar.m_hWnd && m_rebar.IsVisible() ? MF_CHECKED : MF_UNCHECKED));
    return menu;
}

void CMainFrame::ShowViewMenu(POINT screen)
{
    HMENU menu = BuildViewMenu();
    if (!menu)
        return;
    ::TrackPopupMenu(menu, 0, screen.x, screen.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

LRESULT CMainFrame::OnViewMenuMessage(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    ShowViewMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_menuTip)
        m_menuTip->HideTip();
    if (pMsg->message == WM_RBUTTONUP) {
        wchar_t className[32] = {};
        ::GetClassNameW(pMsg->hwnd, className, 32);
        if (wcscmp(className, L"ToolbarWindow32") == 0) {
            const DWORD position = ::GetMessagePos();
            ShowViewMenu(POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)});
        }
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

LRESULT CMainFrame::OnMenuSelectTip(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    BOOL handled = TRUE;
    OnMenuSelectMsg(message, wParam, lParam, handled);
    if (m_menuTip)
        m_menuTip->OnFrameMenuSelect(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam));
    return 0;
}

LRESULT CMainFrame::OnEnterIdleTip(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    if (wParam == MSGF_MENU && m_menuTip)
        m_menuTip->OnEnterIdle(m_hWnd, wParam, reinterpret_cast<HWND>(lParam));
    return 0;
}

void CMainFrame::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage = LoadLocalizedString(nID);
    const int lineBreak = rMessage.Find(L'\n');
    if (lineBreak >= 0)
        rMessage = rMessage.Left(lineBreak);
    if (rMessage.IsEmpty())
        CFrameWnd::GetMessageString(nID, rMessage);
}

LRESULT CMainFrame::OnRecentFolderCommand(WORD, WORD id, HWND, BOOL&)
{
    const CString folder = m_phrasesPane.GetSettings().GetRecentFolder(id - kFirstRecentFolderCommand);
    if (!folder.IsEmpty())
        OpenPhrasesFolder(folder);
    return 0;
}

LRESULT CMainFrame::OnLanguageCommand(WORD, WORD id, HWND, BOOL&)
{
    const size_t index = id - kFirstLanguageCommand;
    if (index >= m_languages.size())
        return 0;
    CEditorSettings& settings = m_phrasesPane.GetSettings();
    settings.SetLanguageFileName(m_languages[index]);
    settings.SaveEditor();
    const CString path = settings.GetLanguageFilePath();
    StartEditorMenuLocalizer(path);
    CSCVUrl::_Set_Use_RU_Urls(IsRuUrlsLanguageFile(path) ? 1 : 0);
    if (HMENU menu = LoadLocalizedMenu(128)) {
        HMENU old = ::GetMenu(m_hWnd);
        ::SetMenu(m_hWnd, menu);
        ::DrawMenuBar(m_hWnd);
        if (old)
            ::DestroyMenu(old);
        m_hMenuDefault = menu;
    }
    if (m_languageBar)
        m_languageBar->Relocalize(settings.GetLanguageFileName());
    if (CDoc* doc = GetDoc())
        doc->UpdateViewsForItem(nullptr, kHintLanguage, nullptr);
    return 0;
}
