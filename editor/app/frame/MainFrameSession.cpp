// The main frame's part in keeping the user's work: queued phrase writes that failed are reported
// (and written again on request), the end of the Windows session saves the text being typed and waits
// for the queued writes before the process is ended, Export and Backup pack what is on screen, a
// missing phrases folder is made or refused, and a second editor's start flags are acted on.

#include "common/PathFunctions.h"
#include "common/SharedLog.h"
#include "common/SystemErrorText.h"
#include "editor/app/document/Doc.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/frame/MainFrame.h"

#include <shlobj.h>

void CMainFrame::WatchSaveFailures(bool on)
{
    if (on)
        m_phrasesPane.GetStore().SetSaveFailureNotify(m_hWnd, GetEditorSaveFailedMessage());
    else
        m_phrasesPane.GetStore().SetSaveFailureNotify(nullptr, 0);
}

void CMainFrame::SaveWorkBeforePacking()
{
    if (CDoc* doc = GetDoc())
        doc->SavePendingEdit();
    m_phrasesPane.GetStore().FlushSaves();
}

bool CMainFrame::EnsurePhrasesFolder(const CString& path)
{
    if (FolderExists(path))
        return true;
    const CString question = L"The phrases folder\n" + path + L"\ndoes not exist. Create it?";
    if (::MessageBoxW(m_hWnd, question, nullptr, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    return CreatePhrasesFolder(path);
}

bool CMainFrame::CreatePhrasesFolder(const CString& path)
{
    const int result = ::SHCreateDirectoryExW(m_hWnd, path, nullptr);
    if (result == ERROR_SUCCESS || FolderExists(path))
        return true;
    WriteLogLine(L"ERROR: cannot create the phrases folder " + path);
    ::MessageBoxW(m_hWnd,
                  L"The folder\n" + path + L"\ncould not be created:\n" +
                      GetSystemErrorText(static_cast<DWORD>(result)),
                  nullptr, MB_OK | MB_ICONSTOP);
    return false;
}

void CMainFrame::CheckPhrasesFolderOnStart()
{
    const CEditorSettings& settings = m_phrasesPane.GetSettings();
    const CString missing = settings.GetPhrasesFolderWithoutSlash();
    if (FolderExists(missing))
        return;
    WriteLogLine(L"CMainFrame: the phrases folder is missing: " + missing);
    if (EnsurePhrasesFolder(missing)) {
        OpenPhrasesFolder(missing, false);
        return;
    }
    for (int i = 0; i < settings.GetPrevFoldersCount(); ++i) {
        const CString folder = RemoveTrailingBackslashes(settings.GetRecentFolder(i));
        if (folder.CompareNoCase(missing) != 0 && FolderExists(folder)) {
            OpenPhrasesFolder(folder, false);
            return;
        }
    }
}

LRESULT CMainFrame::OnInstanceQuestion(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Only the start flags a second editor knows are taken (any program can send this).
    const int flags = static_cast<int>(wParam & (kClipboardStartFlag | kAttentionStartFlag | kSelectedTextStartFlag));
    if (flags != 0)
        SetStartFlags(flags);
    return 1;
}

LRESULT CMainFrame::OnSaveFailed(UINT, WPARAM, LPARAM, BOOL&)
{
    if (CDoc* doc = GetDoc())
        doc->ReportFailedSaves();
    return 1;
}

LRESULT CMainFrame::OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&)
{
    WriteLogLine(L"CMainFrame: the session is ending");
    CDoc* doc = GetDoc();
    // A text that cannot be written holds the session up only while the user is asked about it.
    const bool saved = !doc || doc->SaveModified();
    m_phrasesPane.GetStore().FlushSaves();
    if (doc)
        doc->ReportFailedSaves();
    return saved ? TRUE : FALSE;
}

LRESULT CMainFrame::OnEndSession(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam == FALSE)
        return 0; // the session goes on
    // The process ends after this answer without a WM_CLOSE: nothing queued may be left unwritten.
    if (CDoc* doc = GetDoc())
        doc->SavePendingEdit();
    m_phrasesPane.GetStore().FlushSaves();
    return 0;
}
