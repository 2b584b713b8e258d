// The main frame's command routing towards the phrases pane, its two run-time submenus (the recent
// phrases folders and the languages, each kept within its command id range) and the language bar.

#include "editor/app/MainFrame.h"

#include "common/LanguageFile.h"
#include "platform/CAppModule.h"
#include "common/LocalizedString.h"
#include "common/SharedLog.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/EditorSettings.h"

namespace
{

constexpr UINT kChooseFolderCommand = 32833;
constexpr UINT kMoveFolderCommand = 32838;
constexpr UINT kShowFolderCommand = 32839;
constexpr UINT kLocalizeHowToCommand = 32776;

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
    if (HIWORD(lParam))
        return 0;
    CEditorSettings& settings = m_phrasesPane.GetSettings();
    if (MenuHolds(popup, kLocalizeHowToCommand))
        FillLanguageMenu(popup, m_languages, settings.GetLanguageFileName());
    else if (MenuHolds(popup, kChooseFolderCommand) || MenuHolds(popup, kMoveFolderCommand) ||
             MenuHolds(popup, kShowFolderCommand))
        FillRecentFoldersMenu(popup, settings);
    return 0;
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
