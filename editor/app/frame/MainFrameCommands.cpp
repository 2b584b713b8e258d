// The main frame's own commands: the settings pane's show and hide, the file commands (import,
// export, backup, zipped log, language-file template), the phrases folder commands, the log, the
// web pages, the update check request, the clipboard-history folder and the welcome program.

#include "editor/app/frame/MainFrame.h"

#include "common/FolderBrowser.h"
#include "common/LastErrorKeeper.h"
#include "common/LocalizedString.h"
#include "common/PathFunctions.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "common/SystemErrorText.h"
#include "common/WellKnownNames.h"
#include "editor/app/frame/EditorCoopSignals.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/EditorServices.h"
#include "editor/controls/EditorSettings.h"
#include "online/CSCVUrl.h"
#include "online/ProgramStarts.h"

#include <shellapi.h>

#include <vector>

namespace
{

CommandReportBox g_frameReportBox;
LogZipExplorerOpener g_frameExplorerOpener;

constexpr UINT kStrEnvironmentVariablesAllowed = 57638;

// The web pages of the menu: command, address.
struct FrameWebLink
{
    UINT command;
    CString (*address)();
};

const FrameWebLink kFrameWebLinks[] = {
    {32781, &CSCVUrl::HomePageUrl},        {32827, &CSCVUrl::VideoPageUrl},
    {32783, &CSCVUrl::ForumPageUrl},       {32819, &CSCVUrl::ForumPageUrl},
    {32795, &CSCVUrl::SupportPageUrl},     {32806, &CSCVUrl::NewsFeedUrl},
    {32840, &CSCVUrl::FacebookPageUrl},    {32845, &CSCVUrl::VkPageUrl},
    {32847, &CSCVUrl::TelegramChannelUrl}, {32776, &CSCVUrl::TranslationHowToUrl},
    {32812, &CSCVUrl::FaqPageUrl}, // the macro documentation, whichever view shows
};
constexpr UINT kEmailCommand = 32782;

bool FileExistsAt(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The localised text of a command up to its first line break.
CString CommandTitle(UINT command)
{
    CString text = LoadLocalizedString(command);
    const int lineBreak = text.Find(L'\n');
    return lineBreak >= 0 ? text.Left(lineBreak) : text;
}

} // namespace

void CMainFrame::SetReportBox(CommandReportBox box)
{
    g_frameReportBox = std::move(box);
}

void CMainFrame::SetExplorerOpener(LogZipExplorerOpener opener)
{
    g_frameExplorerOpener = std::move(opener);
}

void CMainFrame::Report(const CString& text, UINT type)
{
    if (g_frameReportBox) {
        g_frameReportBox(m_hWnd, text, CString(), type);
        return;
    }
    ::MessageBoxW(m_hWnd, text, nullptr, type);
}

CString CMainFrame::GetLogPath()
{
    return GetLogReportPath(m_phrasesPane.GetSettings().GetFiles().GetEnvironment(), GetAppDataFolder());
}

LRESULT CMainFrame::OnToggleSettings(WORD, WORD, HWND, BOOL&)
{
    if (!m_settingsPane || !m_settingsPane->m_hWnd)
        return 0;
    ShowControlBar(m_settingsPane.get(), !m_settingsPane->IsVisible(), FALSE);
    RecalcLayout(FALSE);
    if (m_phrasesPane.m_hWnd && m_phrasesPane.IsVisible()) {
        RECT client = {};
        ::GetClientRect(m_phrasesPane.m_hWnd, &client);
        ::SendMessageW(m_phrasesPane.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    return 0;
}

void CMainFrame::OnUpdateSettings(CCmdUI* ui)
{
    ui->Enable(m_settingsPane && m_settingsPane->m_hWnd);
    ui->SetCheck(m_settingsPane && m_settingsPane->IsVisible() ? 1 : 0);
}

LRESULT CMainFrame::OnImport(WORD, WORD, HWND, BOOL&)
{
    const std::vector<int> ids = EditorFileCommands::RunImport(m_hWnd, m_phrasesPane.GetStore());
    CDoc* doc = GetDoc();
    if (ids.empty() || !doc)
        return 0;
    doc->UpdateViewsForItem(nullptr, kHintLibraryChanged, nullptr);
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(ids.back()));
    return 0;
}

LRESULT CMainFrame::OnExport(WORD, WORD, HWND, BOOL&)
{
    if (!m_phrasesPane.m_hWnd)
        return 0;
    SaveWorkBeforePacking();
    const int id = m_phrasesPane.GetTree().GetSelectedId();
    const PhraseItemRecord* record = id >= 0 ? m_phrasesPane.GetStore().FindItemById(id) : nullptr;
    if (record)
        EditorFileCommands::RunExport(m_hWnd, {record});
    return 0;
}

void CMainFrame::OnUpdateExport(CCmdUI* ui)
{
    ui->Enable(m_phrasesPane.m_hWnd && TreeView_GetSelection(m_phrasesPane.GetTree().m_hWnd) != nullptr);
}

LRESULT CMainFrame::OnBackup(WORD, WORD, HWND, BOOL&)
{
    SaveWorkBeforePacking();
    CEditorSettings& settings = m_phrasesPane.GetSettings();
    EditorFileCommands::RunBackup(m_hWnd, settings.GetPhrasesFolderWithoutSlash(),
                                  settings.GetFiles().GetSettingsFilePath());
    return 0;
}

LRESULT CMainFrame::OnZipLog(WORD, WORD, HWND, BOOL&)
{
    LogZipRequest request;
    request.logPath = GetLogPath();
    request.settingsPath = m_phrasesPane.GetSettings().GetFiles().GetSettingsFilePath();
    request.failureBox = g_frameReportBox;
    request.openExplorer = g_frameExplorerOpener;
    EditorFileCommands::RunZipLog(m_hWnd, request);
    return 0;
}

void CMainFrame::OnUpdateZipLog(CCmdUI* ui)
{
    ui->Enable(FileExistsAt(GetLogPath()));
}

LRESULT CMainFrame::OnMakeLanguageFile(WORD, WORD, HWND, BOOL&)
{
    EditorFileCommands::RunMakeLanguageFile(
        m_hWnd, m_phrasesPane.GetSettings().GetFiles().GetEnvironment().GetProgramFolder());
    return 0;
}

LRESULT CMainFrame::OnChooseFolder(WORD, WORD, HWND, BOOL&)
{
    const CString title =
        CommandTitle(kChooseFolderCommand) + L"\n" +
        LoadLocalizedTextOr(kStrEnvironmentVariablesAllowed, L"Allow use enviroments variables in path");
    const CString current = m_phrasesPane.GetSettings().GetPhrasesFolderWithoutSlash();
    const CString folder = BrowseForFolder(m_hWnd, current, title, true, true);
    if (!folder.IsEmpty())
        OpenPhrasesFolder(folder);
    return 0;
}

LRESULT CMainFrame::OnShowFolder(WORD, WORD, HWND, BOOL&)
{
    const CString parameters =
        L"/select, \"" + m_phrasesPane.GetSettings().GetPhrasesFolderWithoutSlash() + L"\"";
    ::ShellExecuteW(m_hWnd, L"open", L"explorer.exe", parameters, nullptr, SW_SHOW);
    return 0;
}

LRESULT CMainFrame::OnMoveFolder(WORD, WORD, HWND, BOOL&)
{
    Report(L"Sorry, not implemented in this version", MB_ICONEXCLAMATION);
    return 0;
}

LRESULT CMainFrame::OnOpenLog(WORD, WORD, HWND, BOOL&)
{
    OpenLogFileWith(m_hWnd, GetLogPath(), g_frameReportBox);
    return 0;
}

LRESULT CMainFrame::OnCheckForUpdates(WORD, WORD, HWND, BOOL&)
{
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    const bool asked = RequestUpdateCheck();
    ::SetCursor(previous);
    if (!asked) {
        WriteLogLine(L"CMainFrame: the update check could not be requested (no main program)");
        Report(L"FAIL", MB_ICONEXCLAMATION);
    }
    return 0;
}

LRESULT CMainFrame::OnClipsHistoryFolder(WORD, WORD, HWND, BOOL&)
{
    const CString folder = m_phrasesPane.GetSettings().GetClipboardHistoryFolder_Editor();
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(m_hWnd, L"explore", folder, folder, folder, SW_SHOW));
    if (result > 32)
        return 0;
    CLastErrorKeeper keeper;
    Report(GetSystemErrorText(::GetLastError()) + L"\n" + folder, MB_ICONSTOP);
    return 0;
}

LRESULT CMainFrame::OnWelcome(WORD, WORD, HWND, BOOL&)
{
    StartWelcomeProgram(m_hWnd, false);
    return 0;
}

LRESULT CMainFrame::OnNextPane(WORD, WORD id, HWND, BOOL&)
{
    // The panes in order: the phrase tree, the main view, the settings pane (those that show).
    std::vector<HWND> panes;
    HWND tree = m_phrasesPane.GetTree().m_hWnd;
    if (tree && ::IsWindowVisible(tree))
        panes.push_back(tree);
    if (CView* view = GetActiveView(); view && view->m_hWnd)
        panes.push_back(view->m_hWnd);
    if (m_settingsPane && m_settingsPane->m_hWnd && ::IsWindowVisible(m_settingsPane->m_hWnd))
        panes.push_back(m_settingsPane->m_hWnd);
    if (panes.empty())
        return 0;
    HWND focus = ::GetFocus();
    size_t current = panes.size() - 1;
    for (size_t i = 0; i < panes.size(); ++i)
        if (focus && (focus == panes[i] || ::IsChild(panes[i], focus)))
            current = i;
    const size_t count = panes.size();
    const size_t next = id == kPreviousPaneCommand ? (current + count - 1) % count : (current + 1) % count;
    HWND target = panes[next];
    // A pane whose window holds controls gives the focus to its first one that takes it.
    if (HWND first = ::GetNextDlgTabItem(target, nullptr, FALSE); first && ::IsChild(target, first))
        target = first;
    ::SetFocus(target);
    return 0;
}

LRESULT CMainFrame::OnWebCommand(WORD, WORD id, HWND, BOOL& bHandled)
{
    if (id == kEmailCommand) {
        CSCVUrl::SendEmailToSupport(m_hWnd);
        return 0;
    }
    for (const FrameWebLink& link : kFrameWebLinks) {
        if (link.command == id) {
            CSCVUrl::OpenUrl(m_hWnd, link.address());
            return 0;
        }
    }
    bHandled = FALSE;
    return 0;
}
