// The document's commands: reread the library, the current phrase's data type and flags, the check
// commands passed on to the phrases pane, the show-unchecked, preview and meta-info switches and the
// renaming of the current phrase's file after its title.

#include "editor/app/document/Doc.h"

#include "common/LocalizedString.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/frame/MainFrame.h"
#include "editor/controls/EditorSettings.h"

PhraseItemRecord* CDoc::GetCurrentRecord()
{
    return m_currentItem < 0 ? nullptr : GetStore().FindItemById(static_cast<int>(m_currentItem));
}

PhraseItemRecord* CDoc::GetCurrentPhrase()
{
    PhraseItemRecord* record = GetCurrentRecord();
    return record && !record->IsFolder() ? record : nullptr;
}

PhraseItemRecord* CDoc::FindFirstShownRecord()
{
    std::vector<PhraseItemRecord>* top = GetStore().GetChildList(-1);
    if (!top)
        return nullptr;
    for (PhraseItemRecord& record : *top)
        if (CEditorPhraseStore::IsIncluded(record))
            return &record;
    return nullptr;
}

void CDoc::Reread()
{
    CEditorPhraseStore& store = GetStore();
    CString currentPath;
    if (m_currentItem != -1) {
        if (!SavePendingEdit())
            return; // the unsaved text stays in the view: a reload would drop it
        if (PhraseItemRecord* record = GetCurrentRecord())
            currentPath = record->GetPath();
    }
    // Nothing may keep an id of the old load: the view would write its text into another phrase.
    m_currentItem = -1;
    SwapMainView(false, false);
    store.Load(GetSettings().GetPhrasesFolderWithoutSlash());
    UpdateViewsForItem(nullptr, kHintLibraryChanged, nullptr);
    PhraseItemRecord* again = currentPath.IsEmpty() ? nullptr : store.FindItemByPath(currentPath);
    if (again)
        UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(again->id));
}

bool CDoc::SetCurrentDataType(int type)
{
    PhraseItemRecord* record = GetCurrentPhrase();
    if (!record || record->dataType == type)
        return false;
    record->dataType = type;
    UpdateViewsForItem(nullptr, kHintKindChanged, HintObjectFromId(record->id));
    NotePhrasesChanged();
    return true;
}

bool CDoc::RenameCurrentFile()
{
    PhraseItemRecord* record = GetCurrentPhrase();
    if (!record || record->GetPath().IsEmpty())
        return false;
    const int id = record->id;
    if (!SavePendingEdit())
        return false;
    GetStore().FlushSaves();
    record = GetStore().FindItemById(id);
    if (!record)
        return false;
    const CString before = record->GetPath();
    if (!GetStore().RenameFileToTitle(id))
        return false;
    record = GetStore().FindItemById(id);
    if (!record || record->GetPath().CompareNoCase(before) == 0)
        return false;
    UpdateViewsForItem(nullptr, kHintFileRenamed, nullptr);
    NotePhrasesChanged();
    return true;
}

LRESULT CDoc::OnReread(WORD, WORD, HWND, BOOL&)
{
    Reread();
    return 0;
}

LRESULT CDoc::OnDataType(WORD, WORD id, HWND, BOOL&)
{
    SetCurrentDataType(id == kCmdPlainText ? 0 : id == kCmdFormattedText ? 1 : 2);
    return 0;
}

LRESULT CDoc::OnChecks(WORD, WORD id, HWND, BOOL&)
{
    UpdateViewsForItem(nullptr, kHintCheckAll + (id - kCmdCheckAll), nullptr);
    return 0;
}

LRESULT CDoc::OnCommandK(WORD, WORD, HWND, BOOL&)
{
    UpdateViewsForItem(nullptr, kHintCommandK, nullptr);
    return 0;
}

LRESULT CDoc::OnHideUnchecked(WORD, WORD, HWND, BOOL&)
{
    CEditorSettings& settings = GetSettings();
    settings.ShowUncheckedPhrases = settings.ShowUncheckedPhrases ? 0 : 1;
    UpdateViewsForItem(nullptr, kHintShowUnchecked, nullptr);
    if (!settings.ShowUncheckedPhrases) {
        PhraseItemRecord* current = GetCurrentRecord();
        if (!current || !CEditorPhraseStore::IsIncluded(*current))
            if (PhraseItemRecord* first = FindFirstShownRecord())
                UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(first->id));
    }
    settings.SaveEditor();
    return 0;
}

LRESULT CDoc::OnRenameFile(WORD, WORD, HWND, BOOL&)
{
    if (!RenameCurrentFile())
        ::MessageBeep(MB_OK);
    return 0;
}

LRESULT CDoc::OnRecordFlag(WORD, WORD id, HWND, BOOL&)
{
    PhraseItemRecord* record = GetCurrentPhrase();
    if (!record)
        return 0;
    CEditorPhraseStore& store = GetStore();
    if (id == kCmdDisabledIsNoSelection)
        store.SetDisabledIsNoHasSelection(record->id, record->GetDisabledIsNoHasSelection() == 0);
    else
        store.SetUseTitleOnly(record->id, record->GetUseTitleOnly() == 0);
    store.SaveItem(record->id);
    NotePhrasesChanged();
    return 0;
}

LRESULT CDoc::OnSeparator(WORD, WORD id, HWND, BOOL&)
{
    PhraseItemRecord* record = GetCurrentPhrase();
    if (!record)
        return 0;
    CEditorPhraseStore& store = GetStore();
    const bool changed = id == kCmdSeparatorBefore
                             ? store.SetSeparatorBefore(record->id, !record->HasSeparatorBefore())
                             : store.SetSeparatorAfter(record->id, !record->HasSeparatorAfter());
    if (!changed)
        return 0;
    store.SaveItem(record->id);
    NotePhrasesChanged();
    UpdateViewsForItem(nullptr, kHintSeparators, nullptr);
    return 0;
}

LRESULT CDoc::OnViewSetting(WORD, WORD id, HWND, BOOL&)
{
    CEditorSettings& settings = GetSettings();
    if (id == kCmdPreview) {
        settings.Preview = settings.Preview ? 0 : 1;
        UpdateViewsForItem(nullptr, kHintPreview, nullptr);
    } else {
        settings.ShowMetaInfoInTree = settings.ShowMetaInfoInTree ? 0 : 1;
        UpdateViewsForItem(nullptr, kHintMetaInfo, nullptr);
    }
    settings.SaveEditor();
    return 0;
}

void CDoc::OnUpdateDataType(CCmdUI* ui)
{
    PhraseItemRecord* record = GetCurrentPhrase();
    const int type = ui->m_nID == kCmdPlainText ? 0 : ui->m_nID == kCmdFormattedText ? 1 : 2;
    ui->Enable(record != nullptr);
    ui->SetCheck(record && record->dataType == type ? 1 : 0);
    if (!ui->m_hMenu)
        return;
    if (type == 0)
        ui->SetText(LoadLocalizedTextOr(61212, L"Plain text"));
    else if (type == 1)
        ui->SetText(LoadLocalizedTextOr(61213, L"Formatted text (RTF)"));
    else
        ui->SetText(LoadLocalizedTextOr(134, L"Start application"));
}

void CDoc::OnUpdateHideUnchecked(CCmdUI* ui)
{
    ui->SetCheck(GetSettings().ShowUncheckedPhrases ? 0 : 1);
}

void CDoc::OnUpdateRenameFile(CCmdUI* ui)
{
    PhraseItemRecord* record = GetCurrentPhrase();
    ui->Enable(record && !record->GetPath().IsEmpty());
}

void CDoc::OnUpdateRecordFlag(CCmdUI* ui)
{
    PhraseItemRecord* record = GetCurrentPhrase();
    ui->Enable(record != nullptr);
    int on = 0;
    if (record) {
        switch (ui->m_nID) {
        case kCmdDisabledIsNoSelection:
            on = record->GetDisabledIsNoHasSelection();
            break;
        case kCmdUseTitleOnly:
            on = record->GetUseTitleOnly();
            break;
        case kCmdSeparatorBefore:
            on = record->HasSeparatorBefore();
            break;
        default:
            on = record->HasSeparatorAfter();
            break;
        }
    }
    ui->SetCheck(on ? 1 : 0);
}

void CDoc::OnUpdateViewSetting(CCmdUI* ui)
{
    const CEditorSettings& settings = GetSettings();
    ui->SetCheck((ui->m_nID == kCmdPreview ? settings.Preview : settings.ShowMetaInfoInTree) ? 1 : 0);
}
