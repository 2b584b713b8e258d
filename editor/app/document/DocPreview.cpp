// The document's work on the current phrase's text: the preview of the phrase as it would be
// pasted, Test Run, a new phrase from the text the main program published as selected, and the
// save of the text view's pending edit when the document is saved or closed.

#include "editor/app/document/Doc.h"

#include <algorithm>

#include "common/LocalizedString.h"
#include "common/RichEditConversion.h"
#include "common/SharedLog.h"
#include "common/SystemErrorText.h"
#include "common/TimedMessageBox.h"
#include "editor/app/document/ClipboardPhraseSource.h"
#include "editor/app/text/EditorCommandRunner.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/frame/EditorWindowServices.h"
#include "editor/app/frame/MainFrame.h"
#include "editor/app/text/SCVView.h"
#include "editor/app/text/EditorMacros.h"
#include "engine/MacroEngine.h"
#include "engine/MacroEnvironment.h"
#include "online/SharedSettingsArea.h"
#include "platform/docview/App.h"

namespace
{

constexpr int kNewPhraseNameLength = 30;
constexpr wchar_t kPreviewIndent[] = L"      ";

CDoc::MessageBoxFunction& DocMessageBox()
{
    static CDoc::MessageBoxFunction box;
    return box;
}

CString SelectedTextStandIn()
{
    return L"[" + LoadLocalizedTextOr(135, L"Selected Text") + L"]";
}

// Every line of the heading moved right by the indent.
CString IndentLines(const CString& text)
{
    CString indented = text;
    indented.Replace(L"\n", CString(L"\n") + kPreviewIndent);
    return kPreviewIndent + indented;
}

// The system's text for an error, without its line break; the number when the system has none.
CString SystemReason(DWORD error)
{
    CString reason = GetSystemErrorText(error);
    reason.TrimRight(L"\r\n ");
    if (reason.IsEmpty())
        reason.Format(L"Error %lu.", error);
    return reason;
}

// The item a written file belongs to: a group's own file stands for its folder.
CString OwnerPathOfFile(const CString& path)
{
    const CString self = CEditorPhraseStore::GetFolderSelfFileName();
    if (path.GetLength() > self.GetLength() && path.Right(self.GetLength()).CompareNoCase(self) == 0)
        return path.Left(path.GetLength() - self.GetLength() - 1);
    return path;
}

// What the user reads when a phrase file could not be written.
CString SaveFailureText(const CString& path, DWORD error)
{
    const CString reason = SystemReason(error);
    return L"The phrase text could not be saved to\n" + (path.IsEmpty() ? CString(L"(no file)") : path) +
           L"\n\n" + reason +
           L"\n\nRetry, or Cancel to keep the text unsaved in the editor (the phrase stays selected).";
}

} // namespace

void CDoc::SetMessageBox(MessageBoxFunction box)
{
    DocMessageBox() = std::move(box);
}

HWND CDoc::GetMainWindow() const
{
    CWinApp* app = CWinApp::GetApp();
    CWnd* main = app ? app->GetMainWnd() : nullptr;
    return main ? main->m_hWnd : nullptr;
}

int CDoc::ShowMessage(const CString& text, UINT type, DWORD timeoutMs)
{
    HWND owner = GetMainWindow();
    if (DocMessageBox())
        return DocMessageBox()(owner, text, type, timeoutMs);
    if (timeoutMs > 0)
        return MessageBoxTimeout(owner, kEditorBoxCaption, text.GetString(), type, timeoutMs);
    return ::MessageBoxW(owner, text.GetString(), kEditorBoxCaption, type);
}

CSCVView* CDoc::GetTextView() const
{
    return dynamic_cast<CSCVView*>(GetMainView());
}

BOOL CDoc::IsModified()
{
    CSCVView* view = GetTextView();
    return (view && view->HasUnsavedText()) || !m_unwritten.empty() ? TRUE : FALSE;
}

bool CDoc::AskKeepEditorText(const PhraseItemRecord& item)
{
    const CString text = L"The text of the phrase \"" + item.title +
                         L"\" was changed by another program since the editor read it:\n" + item.GetPath() +
                         L"\n\nYes: keep the text written here.\nNo: take the text from the file.";
    return ShowMessage(text, MB_YESNO | MB_ICONQUESTION, 0) != IDNO;
}

bool CDoc::SavePendingEdit()
{
    for (;;) {
        if (m_currentItem != -1)
            UpdateViewsForItem(nullptr, kHintSavePending, HintObjectFromId(m_currentItem));
        CSCVView* view = GetTextView();
        if (!view || !view->HasUnsavedText())
            return true;
        WriteLogLine(L"ERROR: the phrase text could not be saved to " + view->FailedSavePath());
        if (ShowMessage(SaveFailureText(view->FailedSavePath(), view->FailedSaveError()),
                        MB_RETRYCANCEL | MB_ICONEXCLAMATION, 0) != IDRETRY)
            return false;
    }
}

void CDoc::ReportFailedSaves()
{
    if (m_reportingSaves)
        return; // the box already shown collects the later failures when it closes
    m_reportingSaves = true;
    CEditorPhraseStore& store = GetStore();
    for (auto failures = store.TakeSaveFailures(); !failures.empty(); failures = store.TakeSaveFailures()) {
        CString text = L"These phrase files could not be written:\n";
        for (const auto& failure : failures) {
            text += L"\n" + failure.path + L"\n    " + SystemReason(failure.error);
            WriteLogLine(L"ERROR: cannot write " + failure.path);
        }
        text += L"\n\nRetry, or Cancel to keep the changes only in the editor for now.";
        if (ShowMessage(text, MB_RETRYCANCEL | MB_ICONEXCLAMATION, 0) != IDRETRY) {
            // Still to be written: by the next save, and closing asks about them.
            for (const auto& failure : failures)
                if (std::find(m_unwritten.begin(), m_unwritten.end(), failure.path) == m_unwritten.end())
                    m_unwritten.push_back(failure.path);
            continue;
        }
        for (const auto& failure : failures)
            if (PhraseItemRecord* record = store.FindItemByPath(OwnerPathOfFile(failure.path)))
                store.SaveItem(record->id);
        store.FlushSaves();
    }
    m_reportingSaves = false;
}

BOOL CDoc::OnSaveDocument(LPCWSTR)
{
    const bool saved = SavePendingEdit();
    CEditorPhraseStore& store = GetStore();
    std::vector<CString> unwritten;
    unwritten.swap(m_unwritten);
    for (const CString& path : unwritten)
        if (PhraseItemRecord* record = store.FindItemByPath(OwnerPathOfFile(path)))
            store.SaveItem(record->id);
    store.FlushSaves();
    // Failures of this last flush are told now: the frame may be closing and hear no notice after this.
    ReportFailedSaves();
    return saved && m_unwritten.empty() ? TRUE : FALSE;
}

BOOL CDoc::SaveModified()
{
    if (!IsModified() || DoFileSave())
        return TRUE;
    // A phrase file that cannot be written must not keep the editor open for good, nor lose the text
    // without a word: the user decides.
    const int answer =
        ShowMessage(L"The phrase text could not be saved.\n\nClose anyway and lose the unsaved "
                    L"text?",
                    MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, 0);
    return answer == IDYES ? TRUE : FALSE;
}

CString CDoc::BuildPhrasePreview(bool show)
{
    if (m_currentItem != -1)
        UpdateViewsForItem(nullptr, kHintSavePending, HintObjectFromId(m_currentItem));
    PhraseItemRecord* record = GetCurrentPhrase();
    if (!record)
        return CString();
    if (record->dataType == MenuItemRecord::kTypeExec) {
        if (show)
            RunPhraseCommand(GetMainWindow(), record->body, SelectedTextStandIn());
        return record->body;
    }
    CString text = record->dataType == MenuItemRecord::kTypeRtf ? RtfToPlainText(record->body) : record->body;
    LANGID layout = 0;
    ExpandEditorPhraseMacros(text, SelectedTextStandIn(), GetMacroEnvironment().ReadClipboardText(), nullptr,
                             &layout, GetKeyboardLocaleOf(nullptr));
    if (!show)
        return text;
    if (layout != 0)
        text += L"\r\n+ " + LoadLocalizedTextOr(167, L"Activate keyboard layout") + L" " +
                GetLocaleLanguageText(MAKELCID(layout, SORT_DEFAULT), false);
    return IndentLines(LoadLocalizedTextOr(161, L"Test Run: the phrase will be pasted as")) + L"\r\n\r\n" +
           text;
}

bool CDoc::TestRun()
{
    PhraseItemRecord* record = GetCurrentPhrase();
    if (!record)
        return false;
    const bool isCommand = record->dataType == MenuItemRecord::kTypeExec;
    const CString preview = BuildPhrasePreview(true);
    if (!isCommand)
        ShowMessage(preview, MB_OK | MB_ICONINFORMATION, kEditorBoxTimeoutMs);
    return true;
}

bool CDoc::NewPhraseFromSelectedText()
{
    const CString text = GetSelectedTextFromMainProgram();
    if (text.IsEmpty()) {
        ShowMessage(L"Selected text for new phrase not found", MB_OK | MB_ICONSTOP, 0);
        return false;
    }
    const CString name =
        CEditorPhraseStore::NormalizeMenuName(MenuNameFromPlainText(text)).Left(kNewPhraseNameLength);
    CEditorPhraseStore& store = GetStore();
    const int id = store.AddPhrase(name, text, MenuItemRecord::kTypeText, -1);
    if (id < 0)
        return false;
    UpdateViewsForItem(nullptr, kHintLibraryChanged, nullptr);
    UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(id));
    store.SaveItem(id);
    NotePhrasesChanged();
    return true;
}

LRESULT CDoc::OnTestRun(WORD, WORD, HWND, BOOL&)
{
    if (!TestRun())
        ::MessageBeep(MB_OK);
    return 0;
}

LRESULT CDoc::OnSave(WORD, WORD, HWND, BOOL&)
{
    DoFileSave();
    return 0;
}

void CDoc::OnUpdateTestRun(CCmdUI* ui)
{
    ui->Enable(GetCurrentPhrase() != nullptr);
}
