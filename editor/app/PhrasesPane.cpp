#include "editor/app/PhrasesPane.h"

#include "common/KernelHandle.h"
#include "common/LocalizedString.h"
#include "common/SharedLog.h"
#include "editor/app/ClipboardPhraseSource.h"
#include "editor/app/EditorPhraseStore.h"
#include "editor/app/MainFrame.h"
#include "editor/controls/EditorSettings.h"

#include <algorithm>
#include <memory>
#include <new>

IMPLEMENT_DYNAMIC(PhrasesPane, CResizableBarCF)

namespace
{

struct DelayedPost
{
    HWND window;
    UINT message;
    DWORD delay;
};

DWORD WINAPI DelayedPostProc(void* parameter)
{
    std::unique_ptr<DelayedPost> post(static_cast<DelayedPost*>(parameter));
    ::Sleep(post->delay);
    ::PostMessageW(post->window, post->message, 0, 0);
    return 0;
}

// Posts the message after the delay from a short worker thread; at once when no thread starts.
void PostAfter(HWND window, UINT message, DWORD delay)
{
    std::unique_ptr<DelayedPost> post(new (std::nothrow) DelayedPost{window, message, delay});
    if (post) {
        CKernelHandle thread(::CreateThread(nullptr, 0, DelayedPostProc, post.get(), 0, nullptr));
        if (thread) {
            post.release();
            return;
        }
    }
    ::PostMessageW(window, message, 0, 0);
}

} // namespace

PhrasesPane::PhrasesPane(CEditorPhraseStore* store) : m_store(store) {}

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
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (!m_tree.Create(m_hWnd, client, WS_VISIBLE | TVS_TRACKSELECT))
        return -1;
    TreeView_SetInsertMarkColor(m_tree.m_hWnd, RGB(255, 0, 0));
    m_tree.Refill(GetStore(), ShowUnchecked());
    UpdateCaptionCounter();
    return 0;
}

LRESULT PhrasesPane::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    if (m_tree.m_hWnd)
        ::MoveWindow(m_tree.m_hWnd, 0, 4, LOWORD(lParam), std::max(0, HIWORD(lParam) - 4), TRUE);
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

UINT PhrasesPane::GetDelayedAddMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{00A5F70A-BF23-4c41-8D4B-21E143F1D9D0}");
    return message;
}

int PhrasesPane::GetCurrentGroup()
{
    const HTREEITEM selected = m_tree.m_hWnd ? TreeView_GetSelection(m_tree.m_hWnd) : nullptr;
    const int id = selected ? m_tree.GetItemId(selected) : -1;
    if (id < 0)
        return -1;
    CEditorPhraseStore& store = GetStore();
    const PhraseItemRecord* record = store.FindItemById(id);
    if (record && record->IsFolder())
        return id;
    return store.GetParentId(id);
}

int PhrasesPane::NewPhrase(bool fromClipboard, bool editLabel, int parentId)
{
    ClipboardPhrase phrase;
    if (fromClipboard && !ReadClipboardPhrase(m_hWnd, phrase)) {
        WriteLogLine(L"PhrasesPane::NewPhrase: the clipboard holds no text");
        ::MessageBeep(MB_OK);
        return -1;
    }
    if (!fromClipboard)
        phrase.menuName = L"<" + LoadLocalizedTextOr(61211, L"Enter new phrase name for menu") + L">";
    CEditorPhraseStore& store = GetStore();
    const int id = store.AddPhrase(phrase.menuName, phrase.body, phrase.kind, parentId);
    if (id < 0) {
        ::MessageBeep(MB_OK);
        return -1;
    }
    CString line;
    line.Format(L"PhrasesPane::NewPhrase: added phrase %d [%s]", id, phrase.menuName.GetString());
    WriteLogLine(line);
    if (m_tree.m_hWnd) {
        m_tree.RefillKeepState(store, ShowUnchecked());
        if (HTREEITEM item = m_tree.FindItemById(id)) {
            m_tree.ExpandToItem(TreeView_GetParent(m_tree.m_hWnd, item));
            TreeView_SelectItem(m_tree.m_hWnd, item);
            TreeView_EnsureVisible(m_tree.m_hWnd, item);
            SelectInDocument(id);
            if (editLabel) {
                ::SetFocus(m_tree.m_hWnd);
                TreeView_EditLabel(m_tree.m_hWnd, item);
            }
        }
    }
    if (!editLabel)
        NotePhrasesChanged();
    UpdateCaptionCounter();
    return id;
}

LRESULT PhrasesPane::OnAddRequest(UINT, WPARAM, LPARAM, BOOL&)
{
    PostAfter(m_hWnd, GetDelayedAddMessage(), kAddRequestDelay);
    return 0;
}

LRESULT PhrasesPane::OnDelayedAdd(UINT, WPARAM, LPARAM, BOOL&)
{
    ::EndMenu();
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kAddFromClipboardCommand, 0), 0);
    return 0;
}

LRESULT PhrasesPane::OnStartAddFromClipboard(UINT, WPARAM, LPARAM, BOOL&)
{
    NewPhrase(true, true, -1);
    return 0;
}

LRESULT PhrasesPane::OnAddFromClipboard(WORD, WORD, HWND, BOOL&)
{
    NewPhrase(true, false, GetCurrentGroup());
    return 0;
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
    if (change->action == TVC_BYMOUSE)
        SelectInDocument(static_cast<int>(change->itemNew.lParam));
    return 0;
}

LRESULT PhrasesPane::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
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
        m_reportingChecks = true;
        m_doc->UpdateViewsForItem(nullptr, kHintChecksChanged, reinterpret_cast<CObject*>(&changes));
        m_reportingChecks = false;
    }
    NotePhrasesChanged();
    return 0;
}

void PhrasesPane::SetAllChecks(int mode)
{
    CEditorPhraseStore& store = GetStore();
    std::vector<PhraseItemRecord>* top = store.GetChildList(-1);
    if (!top)
        return;
    for (PhraseItemRecord& record : *top) {
        const bool on = mode == 0 ? true : mode == 1 ? false : !CEditorPhraseStore::IsIncluded(record);
        store.SetIncluded(record.id, on);
        if (!record.IsFolder())
            store.SaveItem(record.id);
    }
    m_tree.RefillKeepState(store, ShowUnchecked());
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
    case kHintLibraryChanged:
    case kHintShowUnchecked:
        m_tree.RefillKeepState(store, ShowUnchecked());
        UpdateCaptionCounter();
        break;
    case kHintFolderReopened:
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
    case kHintSeparators:
        ::InvalidateRect(m_tree.m_hWnd, nullptr, TRUE);
        break;
    default:
        break;
    }
}
