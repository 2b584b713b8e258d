// The document's work on the current phrase's text: the preview of the phrase as it would be
// pasted, Test Run, a new phrase from the text the main program published as selected, and the
// save of the text view's pending edit when the document is saved or closed.

#include "editor/app/Doc.h"

#include "common/LocalizedString.h"
#include "common/RichEditConversion.h"
#include "common/SharedLog.h"
#include "common/TimedMessageBox.h"
#include "editor/app/ClipboardPhraseSource.h"
#include "editor/app/EditorCommandRunner.h"
#include "editor/app/EditorPhraseStore.h"
#include "editor/app/EditorWindowServices.h"
#include "editor/app/MainFrame.h"
#include "editor/app/SCVView.h"
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
    return view && view->HasUnsavedText() ? TRUE : FALSE;
}

BOOL CDoc::OnSaveDocument(LPCWSTR)
{
    if (m_currentItem != -1)
        UpdateViewsForItem(nullptr, kHintSavePending, HintObjectFromId(m_currentItem));
    GetStore().FlushSaves();
    if (!IsModified())
        return TRUE;
    WriteLogLine(L"CDoc::OnSaveDocument: the current phrase could not be saved");
    return FALSE;
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
    ExpandPhraseMacros(text, SelectedTextStandIn(), GetMacroEnvironment().ReadClipboardText(), nullptr,
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
