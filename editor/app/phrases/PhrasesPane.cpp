#include "editor/app/phrases/PhrasesPane.h"

#include "common/LocalizedString.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/frame/MainFrame.h"
#include "editor/app/document/PhraseClipSet.h"
#include "editor/app/phrases/PhrasesPaneTip.h"
#include "editor/controls/EditorSettings.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(PhrasesPane, CResizableBarCF)

PhrasesPane::PhrasesPane(CEditorPhraseStore* store) : m_store(store), m_toolBar(0) {}

PhrasesPane::~PhrasesPane()
{
    if (m_treeFont)
        ::DeleteObject(m_treeFont);
    if (m_editFont)
        ::DeleteObject(m_editFont);
}

void PhrasesPane::ApplyTreeFont()
{
    LOGFONTW font = GetSettings().FontForMenu;
    if (font.lfFaceName[0] == 0)
        return;
    font.lfHeight = font.lfHeight <= 0 ? font.lfHeight - 3 : font.lfHeight + 3;
    HFONT made = ::CreateFontIndirectW(&font);
    if (!made)
        return;
    ::SendMessageW(m_tree.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (m_treeFont)
        ::DeleteObject(m_treeFont);
    m_treeFont = made;
}

CEditorPhraseStore& PhrasesPane::GetStore()
{
    if (m_doc)
        return m_doc->GetStore();
    return m_store ? *m_store : GetEditorPhraseStore();
}

CEditorSettings& PhrasesPane::GetSettings()
{
    return m_doc ? m_doc->GetSettings() : GetEditorSettings();
}

bool PhrasesPane::ShowUnchecked()
{
    return GetSettings().ShowUncheckedPhrases != 0;
}

void PhrasesPane::AttachDocument(CDoc* doc)
{
    if (m_doc)
        m_doc->RemoveUpdateListener(this);
    m_doc = doc;
    if (m_doc)
        m_doc->AddUpdateListener(this);
    if (m_tree.m_hWnd) {
        m_tree.Refill(GetStore(), ShowUnchecked());
        UpdateCaptionCounter();
    }
}

LRESULT PhrasesPane::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (!CreateToolBar())
        return -1;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (!m_tree.Create(m_hWnd, client, WS_VISIBLE | TVS_TRACKSELECT | TVS_SINGLEEXPAND | TVS_NONEVENHEIGHT))
        return -1;
    TreeView_SetInsertMarkColor(m_tree.m_hWnd, RGB(255, 0, 0));
    m_tree.SetDropTarget(m_hWnd, DropMessage());
    m_tree.SetShowMetaInfo(GetSettings().ShowMetaInfoInTree != 0);
    ApplyTreeFont();
    m_tree.Refill(GetStore(), ShowUnchecked());
    UpdateCaptionCounter();
    UpdateToolBarTexts();
    return 0;
}

LRESULT PhrasesPane::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    int top = 4;
    if (m_toolBar.IsWindow()) {
        RECT bar = {};
        ::GetWindowRect(m_toolBar.m_hWnd, &bar);
        const int barHeight = bar.bottom - bar.top;
        ::MoveWindow(m_toolBar.m_hWnd, 0, 0, width, barHeight, TRUE);
        top = barHeight + 4;
    }
    if (m_tree.m_hWnd)
        ::MoveWindow(m_tree.m_hWnd, 0, top, width, std::max(0, height - top), TRUE);
    return 0;
}

LRESULT PhrasesPane::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_tree.m_hWnd)
        ::SetFocus(m_tree.m_hWnd);
    return 0;
}

void PhrasesPane::UpdateCaptionCounter()
{
    if (m_updateLock || !m_hWnd)
        return;
    int included = 0;
    int all = 0;
    GetStore().CountItems(&included, &all);
    CString caption;
    caption.Format(L"%s [%d/%d]", LoadLocalizedTextOr(61207, L"Phrases").GetString(), included, all);
    wchar_t current[256] = {};
    ::GetWindowTextW(m_hWnd, current, 256);
    if (caption != current)
        ::SetWindowTextW(m_hWnd, caption);
}

void PhrasesPane::SelectInDocument(int id)
{
    if (m_doc && id >= 0 && id != m_doc->GetCurrentItem())
        m_doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(id));
}

LRESULT PhrasesPane::OnSelChanged(int, NMHDR* header, BOOL&)
{
    if (m_tree.IsRefilling())
        return 0;
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
    ::KillTimer(m_hWnd, kSelectTimer);
    m_pendingSelection = nullptr;
    if (change->action == TVC_BYKEYBOARD) {
        m_pendingSelection = change->itemNew.hItem;
        ::SetTimer(m_hWnd, kSelectTimer, kSelectDelay, nullptr);
        return 0;
    }
    // A mouse click and a selection a command made (the context menu's item) reach the document at
    // once: its commands act on the item the tree shows selected.
    if (change->itemNew.hItem)
        SelectInDocument(static_cast<int>(change->itemNew.lParam));
    return 0;
}

LRESULT PhrasesPane::OnGetInfoTip(int, NMHDR* header, BOOL&)
{
    auto* request = reinterpret_cast<NMTVGETINFOTIPW*>(header);
    if (request->pszText && request->cchTextMax > 0)
        request->pszText[0] = L'\0'; // the control's own tip stays empty: the tree shows its own
    if (m_tree.GetDragTracker().IsDragging())
        return 0;
    const int id = static_cast<int>(request->lParam);
    if (m_doc && id == m_doc->GetCurrentItem())
        m_doc->UpdateViewsForItem(nullptr, kHintSavePending, HintObjectFromId(id));
    if (PhraseItemRecord* record = GetStore().FindItemById(id))
        m_tree.SetItemTip(request->hItem, PhraseItemTipText(*record));
    return 0;
}

LRESULT PhrasesPane::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam == kPasteMarkTimer) {
        ClearPasteMark();
        return 0;
    }
    if (wParam != kSelectTimer) {
        bHandled = FALSE;
        return 0;
    }
    ::KillTimer(m_hWnd, kSelectTimer);
    HTREEITEM pending = m_pendingSelection;
    m_pendingSelection = nullptr;
    if (pending && pending == TreeView_GetSelection(m_tree.m_hWnd))
        SelectInDocument(m_tree.GetItemId(pending));
    return 0;
}

LRESULT PhrasesPane::OnCheckChanged(int, NMHDR* header, BOOL&)
{
    const auto* notify = reinterpret_cast<const PhraseTreeCtrl::CheckNotify*>(header);
    const int id = m_tree.GetItemId(notify->item);
    if (id < 0)
        return 0;
    const bool on = m_tree.GetCheck(notify->item);
    CEditorPhraseStore& store = GetStore();
    store.SetIncluded(id, on);
    store.SaveItem(id);
    // Children and parents follow the group's or the phrase's new state.
    m_tree.RefillKeepState(store, ShowUnchecked());
    UpdateCaptionCounter();
    if (m_doc) {
        std::vector<CheckChange> changes{{id, on}};
        if (std::vector<PhraseItemRecord>* children = store.GetChildList(id))
            for (const PhraseItemRecord& child : *children)
                changes.push_back({child.id, CEditorPhraseStore::IsIncluded(child)});
        m_reportingChecks = true;
        m_doc->UpdateViewsForItem(nullptr, kHintChecksChanged, reinterpret_cast<CObject*>(&changes));
        m_reportingChecks = false;
    }
    NotePhrasesChanged();
    return 0;
}

namespace
{

// Toggles the check of every phrase in the list and below it, each saved.
void InvertEveryPhraseIn(CEditorPhraseStore& store, std::vector<PhraseItemRecord>& list)
{
    for (PhraseItemRecord& record : list) {
        if (record.IsFolder()) {
            InvertEveryPhraseIn(store, *record.children);
            continue;
        }
        store.SetIncluded(record.id, !CEditorPhraseStore::IsIncluded(record));
        store.SaveItem(record.id);
    }
}

} // namespace

void PhrasesPane::SetAllChecks(int mode)
{
    CEditorPhraseStore& store = GetStore();
    std::vector<PhraseItemRecord>* top = store.GetChildList(-1);
    if (!top)
        return;
    const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    m_updateLock = true;
    if (mode == 2) {
        InvertEveryPhraseIn(store, *top);
    } else {
        // A group passes the state to everything below it (saving each phrase that changed).
        for (PhraseItemRecord& record : *top) {
            store.SetIncluded(record.id, mode == 0);
            if (!record.IsFolder())
                store.SaveItem(record.id);
        }
    }
    m_tree.RefillKeepState(store, ShowUnchecked());
    m_updateLock = false;
    ::SetCursor(previous);
    UpdateCaptionCounter();
    NotePhrasesChanged();
}

void PhrasesPane::OnDocUpdate(CView*, LPARAM hint, CObject* object)
{
    if (!m_tree.m_hWnd)
        return;
    CEditorPhraseStore& store = GetStore();
    switch (hint) {
    case kHintSelect:
        if (HTREEITEM item = m_tree.FindItemById(static_cast<int>(IdFromHintObject(object)))) {
            m_tree.ExpandToItem(TreeView_GetParent(m_tree.m_hWnd, item));
            TreeView_SelectItem(m_tree.m_hWnd, item);
            TreeView_EnsureVisible(m_tree.m_hWnd, item);
        }
        break;
    case kHintKindChanged:
        if (PhraseItemRecord* record = store.FindItemById(static_cast<int>(IdFromHintObject(object)))) {
            if (HTREEITEM item = m_tree.FindItemById(record->id)) {
                const int image = PhraseTreeCtrl::ImageOfRecord(*record);
                TVITEMW data = {};
                data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
                data.hItem = item;
                data.iImage = data.iSelectedImage = image;
                ::SendMessageW(m_tree.m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data));
            }
        }
        break;
    case kHintPhraseMenuName:
        if (object)
            RenameSelectedPhrase(*reinterpret_cast<const CString*>(object));
        break;
    case kHintLanguage:
        UpdateToolBarTexts();
        ::InvalidateRect(m_tree.m_hWnd, nullptr, TRUE);
        break;
    case kHintLibraryChanged:
    case kHintShowUnchecked:
        m_tree.RefillKeepState(store, ShowUnchecked());
        MarkCutItems();
        UpdateCaptionCounter();
        UpdateToolBarTexts();
        break;
    case kHintFolderReopened:
        PhraseClipSet::Get().Clear();
        m_tree.Refill(store, ShowUnchecked());
        UpdateCaptionCounter();
        break;
    case kHintCheckAll:
    case kHintUncheckAll:
    case kHintInvertChecks:
        SetAllChecks(static_cast<int>(hint - kHintCheckAll));
        break;
    case kHintFocusTree:
        ::SetFocus(m_tree.m_hWnd);
        break;
    case kHintChecksChanged:
        if (object && !m_reportingChecks) {
            for (const CheckChange& change : *reinterpret_cast<const std::vector<CheckChange>*>(object)) {
                store.SetIncluded(change.id, change.checked);
                store.SaveItem(change.id);
            }
            m_tree.RefillKeepState(store, ShowUnchecked());
            UpdateCaptionCounter();
        }
        break;
    case kHintMetaInfo:
        m_tree.SetShowMetaInfo(GetSettings().ShowMetaInfoInTree != 0);
        break;
    case kHintTreeFont:
        ApplyTreeFont();
        ::InvalidateRect(m_tree.m_hWnd, nullptr, TRUE);
        break;
    case kHintSeparators:
        ::InvalidateRect(m_tree.m_hWnd, nullptr, TRUE);
        break;
    default:
        break;
    }
}
