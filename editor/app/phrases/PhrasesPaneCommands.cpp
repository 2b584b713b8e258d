// The library commands of the phrases pane: new phrases and groups, label editing, delete, moving,
// cut, copy and paste, drops from the tree, shell commands, the toolbar and the pane's pop-up menus.

#include "editor/app/phrases/PhrasesPane.h"
#include "common/HandedOutAddresses.h"

#include "common/LocalizedString.h"
#include "common/RichEditConversion.h"
#include "common/SharedLog.h"
#include "common/ShellCommands.h"
#include "editor/app/document/ClipboardPhraseSource.h"
#include "editor/app/frame/EditorMessages.h"
#include "editor/app/EditorServices.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/frame/MainFrame.h"
#include "editor/app/document/PhraseClipSet.h"
#include "editor/app/phrases/PhrasesPaneLabelEdit.h"
#include "editor/controls/EditorSettings.h"
#include "engine/ClipboardAccess.h"
#include "platform/docview/FrameWnd.h"

#include "platform/WindowsX.h"

#include <algorithm>
#include <memory>
#include <string>

namespace
{

bool g_confirmDeletes = true;

struct CommandName
{
    UINT id;
    const wchar_t* text;
};

// English texts of the commands, used when the frame's menu lacks the item.
const CommandName kCommandNames[] = {
    {32772, L"Add New As Unformatted Text"},
    {32811, L"Add New As Formatted Text"},
    {32775, L"Add New From Clipboard"},
    {32774, L"Rename"},
    {32822, L"Add Group"},
    {32773, L"Delete"},
    {32831, L"Move Up\tAlt+Up"},
    {32832, L"Move Down\tAlt+Down"},
    {32836, L"Move To Root"},
    {57635, L"Cut"},
    {57634, L"Copy"},
    {57637, L"Paste"},
    {32786, L"Paste As Plain Text"},
    {32787, L"Paste Formatted Text (RTF)"},
    {32803, L"Start As Application"},
    {32830, L"Use Title Only In Menu"},
    {32820, L"Disabled Is No Selection"},
    {32843, L"Separator Before"},
    {32844, L"Separator After"},
    {32778, L"Properties"},
    {32824, L"Open Folder"},
    {32808, L"Check All"},
    {32809, L"Uncheck All"},
    {32810, L"Invert Check"},
    {32815, L"Hide Unchecked Phrases"},
};

const UINT kAddMenu[] = {32772, 32811, 32775, 0, 32822};
const UINT kDeleteMenu[] = {32773, 0, 32809, 32808, 32810};
// Longest group name taken from the clipboard, and the room kept for the number that makes it unique.
constexpr int kLongestGroupName = 100;
constexpr int kGroupNumberRoom = 4;

const UINT kContextMenu[] = {32772, 32775, 32774, 32822, 32773, 0,     32831, 32832, 32836, 57635, 57634,
                             57637, 32786, 32787, 32803, 32830, 32820, 32843, 32844, 32778, 32824};

struct DelayedPost
{
    HWND window;
    UINT message;
};

DWORD WINAPI PostAfterDelay(void* parameter)
{
    std::unique_ptr<DelayedPost> post(static_cast<DelayedPost*>(parameter));
    ::Sleep(1500);
    PostOwnMessage(post->window, post->message, 0, 0);
    return 0;
}

// Asks the pane first, then the frame (document, views, frame): the state of every item of a pop-up.
class PaneMenuTarget : public CCmdTarget
{
public:
    PaneMenuTarget(CCmdTarget* pane, CCmdTarget* frame) : m_pane(pane), m_frame(frame) {}
    BOOL OnCmdMsg(UINT id, int code, void* extra) override
    {
        if (m_pane->OnCmdMsg(id, code, extra))
            return TRUE;
        return m_frame && m_frame->OnCmdMsg(id, code, extra);
    }

private:
    CCmdTarget* m_pane;
    CCmdTarget* m_frame;
};

} // namespace

void PhrasesPane::SetConfirmDeletes(bool confirm)
{
    g_confirmDeletes = confirm;
}

UINT PhrasesPane::DropDownMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{EA9BDCD7-15E6-4540-A64D-9D1B9EB2DEBF}");
    return message;
}

UINT PhrasesPane::AddRequestMessage()
{
    return GetEditorAddFromClipboardMessage();
}

UINT PhrasesPane::AddNowMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{00A5F70A-BF23-4c41-8D4B-21E143F1D9D0}");
    return message;
}

UINT PhrasesPane::ContextMenuMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{F75381CA-7728-43ce-BB66-828BA9BBD286}");
    return message;
}

UINT PhrasesPane::NewFromClipboardAtRootMessage()
{
    return GetEditorNewPhraseFromClipboardMessage();
}

UINT PhrasesPane::DropMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{5D6045BE-334C-4613-8D34-22650BC71F1D}");
    return message;
}

bool PhrasesPane::IsGroupItem(HTREEITEM item)
{
    PhraseItemRecord* record = item ? GetStore().FindItemById(m_tree.GetItemId(item)) : nullptr;
    return record && record->IsFolder();
}

HTREEITEM PhrasesPane::GetCurrentGroupItem()
{
    HTREEITEM selected = TreeView_GetSelection(m_tree.m_hWnd);
    if (!selected || IsGroupItem(selected))
        return selected;
    return TreeView_GetParent(m_tree.m_hWnd, selected);
}

void PhrasesPane::RefillAndSelect(int id, bool expandItem)
{
    ::SendMessageW(m_tree.m_hWnd, WM_SETREDRAW, FALSE, 0);
    m_tree.RefillKeepState(GetStore(), ShowUnchecked());
    ::SendMessageW(m_tree.m_hWnd, WM_SETREDRAW, TRUE, 0);
    MarkCutItems();
    if (HTREEITEM item = id >= 0 ? m_tree.FindItemById(id) : nullptr) {
        m_tree.ExpandToItem(TreeView_GetParent(m_tree.m_hWnd, item));
        if (expandItem)
            TreeView_Expand(m_tree.m_hWnd, item, TVE_EXPAND);
        TreeView_SelectItem(m_tree.m_hWnd, item);
        TreeView_EnsureVisible(m_tree.m_hWnd, item);
        SelectInDocument(id);
    }
    ::InvalidateRect(m_tree.m_hWnd, nullptr, TRUE);
    UpdateCaptionCounter();
}

bool PhrasesPane::SavePendingEdit()
{
    return !m_doc || m_doc->GetCurrentItem() == -1 || m_doc->SavePendingEdit();
}

void PhrasesPane::ReleaseDocumentItem()
{
    if (!m_doc)
        return;
    SavePendingEdit();
    m_doc->ForgetCurrentItem();
    m_doc->SwapMainView(false, false);
}

bool PhrasesPane::TransferItem(int targetId, int itemId, bool move, int* newId)
{
    // The text being typed belongs in the file before the file moves (and in a copy made of it).
    if (!SavePendingEdit())
        return false;
    CEditorPhraseStore& store = GetStore();
    if (!(move ? store.MoveItem(targetId, itemId, newId) : store.CopyItem(targetId, itemId, newId)))
        return false;
    if (move && m_doc && m_doc->GetCurrentItem() != -1)
        m_doc->UpdateViewsForItem(nullptr, kHintFileRenamed, nullptr);
    return true;
}

int PhrasesPane::NewPhrase(bool fromClipboard, bool editLabel, int kind, HTREEITEM parent)
{
    CString body;
    CString name;
    if (fromClipboard) {
        ClipboardPhrase phrase;
        ReadClipboardPhrase(m_hWnd, phrase);
        body = phrase.body;
        kind = phrase.kind;
        name = phrase.menuName;
    } else {
        name = L"<" + LoadLocalizedTextOr(61211, L"Enter new phrase name for menu") + L">";
    }
    CEditorPhraseStore& store = GetStore();
    const int id = store.AddPhrase(name, body, kind, parent ? m_tree.GetItemId(parent) : -1);
    PhraseItemRecord* record = store.FindItemById(id);
    if (!record) {
        ::MessageBeep(MB_OK);
        return -1;
    }
    HTREEITEM item =
        m_tree.InsertItem(PhraseTreeCtrl::ItemText(*record), id, parent, false,
                          PhraseTreeCtrl::ImageOfRecord(*record), CEditorPhraseStore::IsIncluded(*record));
    m_tree.ExpandToItem(parent);
    TreeView_SelectItem(m_tree.m_hWnd, item);
    TreeView_EnsureVisible(m_tree.m_hWnd, item);
    SelectInDocument(id);
    if (editLabel) {
        m_editFromRename = false;
        StartLabelEdit(item);
    } else {
        store.SaveItem(id);
        NotePhrasesChanged();
    }
    UpdateCaptionCounter();
    return id;
}

int PhrasesPane::AddGroup()
{
    CEditorPhraseStore& store = GetStore();
    HTREEITEM parent = GetCurrentGroupItem();
    const int parentId = parent ? m_tree.GetItemId(parent) : -1;
    CString folder = store.GetFolderPath(parentId);
    if (folder.IsEmpty())
        return -1;
    if (folder.Right(1) != L"\\")
        folder += L"\\";
    CString base;
    if (ReadClipboardFirstLine(base))
        base = CEditorPhraseStore::FileNameFromTextStripped(base);
    if (base.IsEmpty())
        base = L"New Group";
    // A long clipboard line is cut to what the file system takes: the folder, its own file and a number
    // that keeps the name unique must fit.
    const int room = MAX_PATH - 1 - folder.GetLength() - 1 -
                     CEditorPhraseStore::GetFolderSelfFileName().GetLength() - kGroupNumberRoom;
    base = base.Left(std::max(1, std::min(kLongestGroupName, room)));
    base.TrimRight();
    if (base.IsEmpty())
        base = L"G";
    CString name = base;
    for (int number = 1; ::GetFileAttributesW(folder + name) != INVALID_FILE_ATTRIBUTES; ++number)
        name.Format(L"%s%d", base.GetString(), number);
    const int id = store.AddFolder(folder + name, parentId == -1 ? nullptr : store.GetChildList(parentId));
    PhraseItemRecord* record = store.FindItemById(id);
    if (!record) {
        ::MessageBeep(MB_OK);
        return -1;
    }
    HTREEITEM item = m_tree.InsertItem(PhraseTreeCtrl::ItemText(*record), id, parent, false, 0,
                                       CEditorPhraseStore::IsIncluded(*record));
    m_tree.ExpandToItem(parent);
    TreeView_SelectItem(m_tree.m_hWnd, item);
    TreeView_EnsureVisible(m_tree.m_hWnd, item);
    m_editFromRename = false;
    StartLabelEdit(item);
    UpdateCaptionCounter();
    NotePhrasesChanged();
    return id;
}

void PhrasesPane::StartLabelEdit(HTREEITEM item)
{
    // Labels are editable only while a command edits one: a click never starts an edit.
    ::SetFocus(m_tree.m_hWnd);
    m_labelEditAllowed = true;
    {
        PhrasesPaneLabelEdit multiLine;
        TreeView_EditLabel(m_tree.m_hWnd, item);
    }
    m_labelEditAllowed = false;
}

LRESULT PhrasesPane::OnBeginLabelEdit(int, NMHDR* header, BOOL&)
{
    if (!m_labelEditAllowed)
        return TRUE;
    HWND edit = TreeView_GetEditControl(m_tree.m_hWnd);
    if (!edit)
        return 0;
    // The row's font: the tree's, bold for an included item as the row draws it.
    const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
    const bool bold = (TreeView_GetItemState(m_tree.m_hWnd, info->item.hItem, TVIS_BOLD) & TVIS_BOLD) != 0;
    HFONT treeFont = reinterpret_cast<HFONT>(::SendMessageW(m_tree.m_hWnd, WM_GETFONT, 0, 0));
    HFONT rowFont = treeFont;
    LOGFONTW font = {};
    if (bold && ::GetObjectW(treeFont, sizeof(font), &font)) {
        font.lfWeight = FW_BOLD;
        if (m_editFont)
            ::DeleteObject(m_editFont);
        m_editFont = ::CreateFontIndirectW(&font);
        rowFont = m_editFont ? m_editFont : treeFont;
    }
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(rowFont), FALSE);
    PhrasesPaneLabelEdit::Fit(m_tree.m_hWnd, edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    return 0;
}

LRESULT PhrasesPane::OnEndLabelEdit(int, NMHDR* header, BOOL&)
{
    const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
    if (m_editFont) {
        ::DeleteObject(m_editFont);
        m_editFont = nullptr;
    }
    const bool fromRename = m_editFromRename;
    m_editFromRename = false;
    CEditorPhraseStore& store = GetStore();
    const int id = static_cast<int>(info->item.lParam);
    PhraseItemRecord* record = store.FindItemById(id);
    if (!record)
        return FALSE;
    if (!info->item.pszText) {
        if (!record->IsFolder() && record->GetPath().IsEmpty())
            store.SaveItem(id);
        if (!fromRename)
            ReportNewPhraseNamed(id);
        return FALSE;
    }
    const CString text = PhrasesPaneLabelEdit::OneLine(info->item.pszText);
    // A rename moves files: no queued write may land at the old place after the move (the text being
    // typed follows the phrase's id to its new path).
    store.FlushSaves();
    // Either way the tree item gets the cleaned text here, so the edit's own text is refused.
    if (!record->IsFolder()) {
        SetPhraseTitle(info->item.hItem, id, text, fromRename);
        if (!fromRename)
            ReportNewPhraseNamed(id);
        return FALSE;
    }
    const CString name = CEditorPhraseStore::FileNameFromTextStripped(text);
    const CString oldPath = record->GetPath();
    const int slash = oldPath.ReverseFind(L'\\');
    const CString newPath = oldPath.Left(slash + 1) + name;
    if (name.IsEmpty() || !::MoveFileW(oldPath, newPath)) {
        ::MessageBeep(MB_OK);
        return FALSE;
    }
    store.MoveFolderTo(newPath, id);
    ShowRenamedItem(info->item.hItem, name);
    return FALSE;
}

void PhrasesPane::ReportNewPhraseNamed(int id)
{
    PhraseItemRecord* record = GetStore().FindItemById(id);
    if (m_doc && record && !record->IsFolder())
        m_doc->UpdateViewsForItem(nullptr, kHintNewPhraseNamed, HintObjectFromId(id));
}

void PhrasesPane::ShowRenamedItem(HTREEITEM item, const CString& shown)
{
    if (m_doc)
        m_doc->UpdateViewsForItem(nullptr, kHintFileRenamed, nullptr);
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = const_cast<wchar_t*>(shown.GetString());
    ::SendMessageW(m_tree.m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    NotePhrasesChanged();
}

bool PhrasesPane::SetPhraseTitle(HTREEITEM item, int id, const CString& title, bool titleOnly)
{
    CEditorPhraseStore& store = GetStore();
    PhraseItemRecord* record = store.FindItemById(id);
    if (!record || record->IsFolder() || !store.SetTitle(id, title)) {
        ::MessageBeep(MB_OK);
        return false;
    }
    if (titleOnly)
        store.SetUseTitleOnly(id, true);
    store.SaveItem(id);
    ShowRenamedItem(item, store.FindItemById(id)->GetTitle());
    return true;
}

bool PhrasesPane::RenameSelectedPhrase(const CString& title)
{
    HTREEITEM item = TreeView_GetSelection(m_tree.m_hWnd);
    return SetPhraseTitle(item, m_tree.GetItemId(item), title, false);
}

bool PhrasesPane::DeleteSelected()
{
    HTREEITEM item = TreeView_GetSelection(m_tree.m_hWnd);
    const int id = m_tree.GetItemId(item);
    if (id < 0)
        return false;
    HTREEITEM next = TreeView_GetParent(m_tree.m_hWnd, item);
    if (!next)
        next = TreeView_GetPrevSibling(m_tree.m_hWnd, item);
    if (!next)
        next = TreeView_GetNextSibling(m_tree.m_hWnd, item);
    CEditorPhraseStore& store = GetStore();
    PhraseItemRecord* nextRecord = next ? store.FindItemById(m_tree.GetItemId(next)) : nullptr;
    const CString nextPath = nextRecord ? nextRecord->GetPath() : CString();
    // The load below would drop a text that could not be written: it is saved (or kept) first.
    if (!SavePendingEdit())
        return false;
    if (!store.DeleteItem(id, m_hWnd, g_confirmDeletes)) {
        ::SetFocus(m_tree.m_hWnd);
        ::MessageBeep(MB_OK);
        return false;
    }
    // The load below gives every item a new id: nothing may keep an old one.
    ReleaseDocumentItem();
    store.Load(GetSettings().GetPhrasesFolderWithoutSlash());
    m_tree.Refill(store, ShowUnchecked());
    MarkCutItems();
    PhraseItemRecord* select = nextPath.IsEmpty() ? nullptr : store.FindItemByPath(nextPath);
    if (!select)
        select = store.FindItemById(m_tree.GetItemId(TreeView_GetRoot(m_tree.m_hWnd)));
    if (select)
        RefillAndSelect(select->id, false);
    UpdateCaptionCounter();
    NotePhrasesChanged();
    return true;
}

bool PhrasesPane::CanMoveSelected(bool up)
{
    HTREEITEM item = TreeView_GetSelection(m_tree.m_hWnd);
    if (!item)
        return false;
    HTREEITEM other =
        up ? TreeView_GetPrevSibling(m_tree.m_hWnd, item) : TreeView_GetNextSibling(m_tree.m_hWnd, item);
    return other && IsGroupItem(other) == IsGroupItem(item);
}

bool PhrasesPane::MoveSelected(bool up)
{
    if (!CanMoveSelected(up))
        return false;
    HTREEITEM item = TreeView_GetSelection(m_tree.m_hWnd);
    HTREEITEM parent = TreeView_GetParent(m_tree.m_hWnd, item);
    const int id = m_tree.GetItemId(item);
    std::vector<int> ids;
    HTREEITEM child = parent ? TreeView_GetChild(m_tree.m_hWnd, parent) : TreeView_GetRoot(m_tree.m_hWnd);
    for (; child; child = TreeView_GetNextSibling(m_tree.m_hWnd, child))
        ids.push_back(m_tree.GetItemId(child));
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] != id)
            continue;
        std::swap(ids[i], ids[up ? i - 1 : i + 1]);
        break;
    }
    CEditorPhraseStore& store = GetStore();
    store.ApplyOrder(ids, parent ? m_tree.GetItemId(parent) : -1);
    m_tree.SortLevel(parent, store);
    TreeView_EnsureVisible(m_tree.m_hWnd, item);
    NotePhrasesChanged();
    return true;
}

int PhrasesPane::MoveSelectedToRoot()
{
    HTREEITEM item = TreeView_GetSelection(m_tree.m_hWnd);
    if (!item || !TreeView_GetParent(m_tree.m_hWnd, item))
        return -1;
    int newId = -1;
    if (!TransferItem(-1, m_tree.GetItemId(item), true, &newId)) {
        ::MessageBeep(MB_OK);
        return -1;
    }
    RefillAndSelect(newId, false);
    NotePhrasesChanged();
    return newId;
}

void PhrasesPane::MarkCutItems()
{
    PhraseClipSet& clip = PhraseClipSet::Get();
    if (!clip.IsCut() || !m_tree.m_hWnd)
        return;
    for (int id : clip.GetIds(GetStore()))
        if (HTREEITEM item = m_tree.FindItemById(id))
            TreeView_SetItemState(m_tree.m_hWnd, item, TVIS_CUT, TVIS_CUT);
}

void PhrasesPane::CutOrCopySelected(bool cut)
{
    PhraseClipSet& clip = PhraseClipSet::Get();
    for (int id : clip.GetIds(GetStore()))
        if (HTREEITEM item = m_tree.FindItemById(id))
            TreeView_SetItemState(m_tree.m_hWnd, item, 0, TVIS_CUT);
    HTREEITEM selected = TreeView_GetSelection(m_tree.m_hWnd);
    clip.Mark(GetStore(), m_tree.GetItemId(selected), cut);
    if (cut && selected)
        TreeView_SetItemState(m_tree.m_hWnd, selected, TVIS_CUT, TVIS_CUT);
    if (const PhraseItemRecord* record = GetStore().FindItemById(m_tree.GetItemId(selected)))
        SetMenuTipPasteText(PhraseTreeCtrl::ItemText(*record));
}

bool PhrasesPane::CanPaste()
{
    PhraseClipSet& clip = PhraseClipSet::Get();
    const int marked = clip.GetFirstId(GetStore());
    if (marked < 0)
        return false;
    HTREEITEM group = GetCurrentGroupItem();
    return GetStore().CanDrop(group ? m_tree.GetItemId(group) : -1, marked, clip.IsCut());
}

int PhrasesPane::Paste()
{
    if (!CanPaste())
        return -1;
    PhraseClipSet& clip = PhraseClipSet::Get();
    CEditorPhraseStore& store = GetStore();
    HTREEITEM group = GetCurrentGroupItem();
    const int target = group ? m_tree.GetItemId(group) : -1;
    const int marked = clip.GetFirstId(store);
    int newId = -1;
    if (!TransferItem(target, marked, clip.IsCut(), &newId)) {
        ::MessageBeep(MB_OK);
        return -1;
    }
    clip.Clear();
    ClearPasteMark();
    RefillAndSelect(newId >= 0 ? newId : target, true);
    NotePhrasesChanged();
    return newId;
}

bool PhrasesPane::CanDropOn(HTREEITEM dragged, HTREEITEM target)
{
    if (!dragged || !target || dragged == target || TreeView_GetParent(m_tree.m_hWnd, dragged) == target)
        return false;
    return GetStore().CanDrop(m_tree.GetItemId(target), m_tree.GetItemId(dragged), true);
}

bool PhrasesPane::DropOn(HTREEITEM dragged, HTREEITEM target)
{
    const int draggedId = m_tree.GetItemId(dragged);
    const int targetId = m_tree.GetItemId(target);
    int newId = -1;
    if (CanDropOn(dragged, target) && TransferItem(targetId, draggedId, true, &newId)) {
        RefillAndSelect(newId, false);
        NotePhrasesChanged();
        return true;
    }
    wchar_t from[260] = {};
    wchar_t to[260] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.cchTextMax = 260;
    item.hItem = dragged;
    item.pszText = from;
    ::SendMessageW(m_tree.m_hWnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.hItem = target;
    item.pszText = to;
    ::SendMessageW(m_tree.m_hWnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    CString text;
    text.Format(L"Dragging [%s]\nto\n[%s]\n\nOooops! Not implemented", from, to);
    ::MessageBoxW(m_hWnd, text, nullptr, MB_OK | MB_ICONINFORMATION);
    return false;
}

LRESULT PhrasesPane::OnDropMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // Only the pair the tree hands over while it asks is read: anyone can send this message.
    const auto* handed = reinterpret_cast<const PhraseTreeCtrl::DropPair*>(lParam);
    PhraseTreeCtrl::DropPair pair{};
    if (!UseHandedOut(HandOverKind::OwnWindowData, handed, sizeof(pair), [&] { pair = *handed; }))
        return 0;
    if (wParam == 0)
        return CanDropOn(pair.dragged, pair.target) ? 1 : 0;
    return DropOn(pair.dragged, pair.target) ? 1 : 0;
}

void PhrasesPane::ClearPasteMark()
{
    ::KillTimer(m_hWnd, kPasteMarkTimer);
    if (m_tree.m_hWnd)
        TreeDragDropTracker::RemoveInsertMark(m_tree.m_hWnd);
    if (CFrameWnd* frame = GetOwnerFrame())
        SendEditorStatusText(frame->m_hWnd, L"");
}

// Commands.

LRESULT PhrasesPane::OnNewPhrase(WORD, WORD id, HWND, BOOL&)
{
    const bool fromClipboard = id == kCmdNewFromClipboard;
    NewPhrase(fromClipboard, true, id == kCmdNewFormatted ? 1 : 0, GetCurrentGroupItem());
    return 0;
}

LRESULT PhrasesPane::OnRename(WORD, WORD, HWND, BOOL&)
{
    if (HTREEITEM item = TreeView_GetSelection(m_tree.m_hWnd)) {
        m_editFromRename = true;
        StartLabelEdit(item);
    }
    return 0;
}

LRESULT PhrasesPane::OnAddGroup(WORD, WORD, HWND, BOOL&)
{
    AddGroup();
    return 0;
}

LRESULT PhrasesPane::OnDelete(WORD, WORD, HWND, BOOL&)
{
    DeleteSelected();
    return 0;
}

LRESULT PhrasesPane::OnSort(WORD, WORD id, HWND, BOOL&)
{
    static bool descending = false;
    CEditorSettings& settings = GetSettings();
    const int mode = static_cast<int>(id - kCmdSortFirst) - 1;
    descending = mode == settings.Sorting ? !descending : false;
    GetStore().Sort(mode, descending);
    settings.Sorting = mode;
    settings.SaveEditor();
    return 0;
}

LRESULT PhrasesPane::OnMove(WORD, WORD id, HWND, BOOL&)
{
    MoveSelected(id == kCmdMoveUp);
    return 0;
}

LRESULT PhrasesPane::OnMoveToRoot(WORD, WORD, HWND, BOOL&)
{
    MoveSelectedToRoot();
    return 0;
}

LRESULT PhrasesPane::OnCutCopy(WORD, WORD id, HWND, BOOL&)
{
    CutOrCopySelected(id == kCmdCut);
    return 0;
}

LRESULT PhrasesPane::OnPaste(WORD, WORD, HWND, BOOL&)
{
    Paste();
    return 0;
}

LRESULT PhrasesPane::OnOpenFolder(WORD, WORD, HWND, BOOL&)
{
    PhraseItemRecord* record = GetStore().FindItemById(m_tree.GetSelectedId());
    if (!record)
        return 0;
    const CString path = record->GetPath();
    if (record->IsFolder()) {
        ShellExecuteWithError(m_hWnd, L"open", path, nullptr, path, SW_SHOW, 0, nullptr);
        return 0;
    }
    const CString parameters = L"/select, \"" + path + L"\"";
    ShellExecuteWithError(m_hWnd, L"open", L"explorer.exe", parameters, nullptr, SW_SHOW, 0, nullptr);
    return 0;
}

LRESULT PhrasesPane::OnProperties(WORD, WORD, HWND, BOOL&)
{
    if (PhraseItemRecord* record = GetStore().FindItemById(m_tree.GetSelectedId()))
        ShowFileProperties(record->GetPath(), m_hWnd);
    return 0;
}

void PhrasesPane::OnUpdateNewFromClipboard(CCmdUI* ui)
{
    ui->Enable(::IsClipboardFormatAvailable(CF_TEXT) || ::IsClipboardFormatAvailable(CF_UNICODETEXT));
}

void PhrasesPane::OnUpdateNeedsSelection(CCmdUI* ui)
{
    ui->Enable(TreeView_GetSelection(m_tree.m_hWnd) != nullptr);
}

void PhrasesPane::OnUpdateSort(CCmdUI* ui)
{
    ui->Enable(FALSE);
}

void PhrasesPane::OnUpdateMove(CCmdUI* ui)
{
    ui->Enable(CanMoveSelected(ui->m_nID == kCmdMoveUp));
}

void PhrasesPane::OnUpdateMoveToRoot(CCmdUI* ui)
{
    HTREEITEM item = TreeView_GetSelection(m_tree.m_hWnd);
    ui->Enable(item && TreeView_GetParent(m_tree.m_hWnd, item));
}

void PhrasesPane::OnUpdatePaste(CCmdUI* ui)
{
    const bool can = CanPaste();
    ui->Enable(can);
    if (!can || !ui->m_hMenu)
        return;
    // While a menu offers Paste, the tree and the status bar show where it would go.
    PhraseClipSet& clip = PhraseClipSet::Get();
    CEditorPhraseStore& store = GetStore();
    const int marked = clip.GetFirstId(store);
    if (HTREEITEM item = m_tree.FindItemById(marked))
        TreeView_SetInsertMark(m_tree.m_hWnd, item, TRUE);
    HTREEITEM group = GetCurrentGroupItem();
    const CString text = DescribeTransfer(store, marked, clip.IsCut(), group ? m_tree.GetItemId(group) : -1);
    if (CFrameWnd* frame = GetOwnerFrame())
        SendEditorStatusText(frame->m_hWnd, text);
    ::SetTimer(m_hWnd, kPasteMarkTimer, kPasteMarkDelay, nullptr);
}

// Menus and toolbar.

CString PhrasesPane::CommandText(UINT id)
{
    CFrameWnd* frame = GetOwnerFrame();
    HMENU menu = frame ? ::GetMenu(frame->m_hWnd) : nullptr;
    wchar_t text[256] = {};
    if (menu && ::GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND) > 0)
        return text;
    for (const CommandName& name : kCommandNames)
        if (name.id == id)
            return name.text;
    return CString();
}

void PhrasesPane::ShowCommandMenu(const UINT* ids, size_t count, POINT screen, UINT defaultId)
{
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    for (size_t i = 0; i < count; ++i) {
        if (ids[i] == 0)
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuW(menu, MF_STRING, ids[i], CommandText(ids[i]));
    }
    if (defaultId)
        ::SetMenuDefaultItem(menu, defaultId, FALSE);
    ::TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

LRESULT PhrasesPane::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (HIWORD(lParam)) {
        bHandled = FALSE;
        return 0;
    }
    PaneMenuTarget target(this, GetOwnerFrame());
    UpdateMenuCmdUI(reinterpret_cast<HMENU>(wParam), &target, TRUE);
    return 0;
}

void PhrasesPane::ShowAddMenu(UINT defaultId)
{
    RECT button = {};
    ::SendMessageW(m_toolBar.m_hWnd, TB_GETRECT, kCmdNewPlain, reinterpret_cast<LPARAM>(&button));
    POINT at = {button.left, button.bottom};
    ::ClientToScreen(m_toolBar.m_hWnd, &at);
    ShowCommandMenu(kAddMenu, std::size(kAddMenu), at, defaultId);
}

void PhrasesPane::ShowDeleteMenu()
{
    RECT button = {};
    ::SendMessageW(m_toolBar.m_hWnd, TB_GETRECT, kCmdDelete, reinterpret_cast<LPARAM>(&button));
    POINT at = {button.left, button.bottom};
    ::ClientToScreen(m_toolBar.m_hWnd, &at);
    ShowCommandMenu(kDeleteMenu, std::size(kDeleteMenu), at, kCmdDelete);
}

LRESULT PhrasesPane::OnToolBarDropDown(int, NMHDR* header, BOOL&)
{
    const auto* info = reinterpret_cast<const NMTOOLBARW*>(header);
    const LRESULT index = ::SendMessageW(m_toolBar.m_hWnd, TB_COMMANDTOINDEX, info->iItem, 0);
    PostOwnMessage(m_hWnd, DropDownMessage(), static_cast<WPARAM>(index), info->iItem);
    return TBDDRET_DEFAULT;
}

LRESULT PhrasesPane::OnDropDownMessage(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (lParam == kCmdNewPlain)
        ShowAddMenu(kCmdNewFromClipboard);
    else if (lParam == kCmdDelete)
        ShowDeleteMenu();
    return 0;
}

LRESULT PhrasesPane::OnAddRequestMessage(UINT, WPARAM, LPARAM, BOOL&)
{
    auto* post = new DelayedPost{m_hWnd, AddNowMessage()};
    HANDLE thread = ::CreateThread(nullptr, 0, PostAfterDelay, post, 0, nullptr);
    if (thread) {
        ::CloseHandle(thread);
    } else {
        delete post;
        PostOwnMessage(m_hWnd, AddNowMessage(), 0, 0);
    }
    ShowAddMenu(kCmdNewFromClipboard);
    return 1;
}

LRESULT PhrasesPane::OnAddNowMessage(UINT, WPARAM, LPARAM, BOOL&)
{
    ::EndMenu();
    ::SendMessageW(m_hWnd, WM_COMMAND, kCmdNewFromClipboard, 0);
    return 0;
}

LRESULT PhrasesPane::OnNewFromClipboardAtRoot(UINT, WPARAM, LPARAM, BOOL&)
{
    NewPhrase(true, true, 0, nullptr);
    return 1;
}

LRESULT PhrasesPane::OnTreeRightClick(int, NMHDR*, BOOL&)
{
    const DWORD position = ::GetMessagePos();
    TVHITTESTINFO hit = {};
    hit.pt = POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ::ScreenToClient(m_tree.m_hWnd, &hit.pt);
    HTREEITEM item = TreeView_HitTest(m_tree.m_hWnd, &hit);
    PostOwnMessage(m_hWnd, ContextMenuMessage(), position, reinterpret_cast<LPARAM>(item));
    return 1;
}

LRESULT PhrasesPane::OnContextMenuMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (auto item = reinterpret_cast<HTREEITEM>(lParam))
        TreeView_SelectItem(m_tree.m_hWnd, item);
    const POINT at = {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
    ShowCommandMenu(kContextMenu, std::size(kContextMenu), at, 0);
    return 0;
}

LRESULT PhrasesPane::OnTreeDoubleClick(int, NMHDR*, BOOL& bHandled)
{
    bHandled = FALSE;
    if (m_doc && !TreeView_GetEditControl(m_tree.m_hWnd))
        m_doc->UpdateViewsForItem(nullptr, kHintOpenPhrase, nullptr);
    return 0;
}

LRESULT PhrasesPane::OnNcRButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    CFrameWnd* frame = GetOwnerFrame();
    if (wParam == 11 && frame)
        PostOwnMessage(frame->m_hWnd, WM_APP + 100, 0, lParam);
    return 0;
}

BOOL PhrasesPane::PreTranslateMessage(MSG* msg)
{
    if (msg->message != WM_KEYDOWN || !m_tree.m_hWnd)
        return CResizableBarCF::PreTranslateMessage(msg);
    HWND edit = TreeView_GetEditControl(m_tree.m_hWnd);
    if (edit && msg->hwnd == edit && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) {
        TreeView_EndEditLabelNow(m_tree.m_hWnd, msg->wParam == VK_ESCAPE);
        return TRUE;
    }
    if (!edit && msg->hwnd == m_tree.m_hWnd && (msg->wParam == VK_RETURN || msg->wParam == VK_TAB)) {
        if (m_doc)
            m_doc->UpdateViewsForItem(nullptr, kHintOpenPhrase, nullptr);
        return TRUE;
    }
    return CResizableBarCF::PreTranslateMessage(msg);
}

bool PhrasesPane::CreateToolBar()
{
    const DWORD style =
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_LIST | CCS_NODIVIDER;
    RECT rect = {0, 0, 100, 24};
    if (!m_toolBar.CreateBar(m_hWnd, rect, kToolBarId, style))
        return false;
    ::SendMessageW(m_toolBar.m_hWnd, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    ::SendMessageW(m_toolBar.m_hWnd, TB_SETINDENT, 2, 0);
    ::SendMessageW(m_toolBar.m_hWnd, TB_SETPADDING, 0, MAKELPARAM(4, 2));
    if (m_toolBarImages.Create(4, COLOR_BTNFACE)) {
        for (UINT icon : {135u, 134u, 147u, 157u})
            m_toolBarImages.AddResourceIcon(icon);
        ::SendMessageW(m_toolBar.m_hWnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_toolBarImages.Get()));
    }
    TBBUTTON buttons[3] = {};
    const UINT ids[3] = {kCmdNewPlain, kCmdDelete, kCmdHideUnchecked};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = static_cast<int>(ids[i]);
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = static_cast<BYTE>((i < 2 ? BTNS_DROPDOWN : BTNS_CHECK) | BTNS_AUTOSIZE);
        buttons[i].iString = -1;
    }
    ::SendMessageW(m_toolBar.m_hWnd, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
    UpdateToolBarTexts();
    ::SendMessageW(m_toolBar.m_hWnd, TB_AUTOSIZE, 0, 0);
    return true;
}

void PhrasesPane::UpdateToolBarTexts()
{
    if (!m_toolBar.IsWindow())
        return;
    for (UINT id : {static_cast<UINT>(kCmdNewPlain), static_cast<UINT>(kCmdDelete)}) {
        CString text = CommandText(id);
        const int tab = text.Find(L'\t');
        if (tab >= 0)
            text = text.Left(tab);
        text.Remove(L'&');
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT;
        info.pszText = const_cast<wchar_t*>(text.GetString());
        ::SendMessageW(m_toolBar.m_hWnd, TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
    }
    const bool hidden = !ShowUnchecked();
    const CString text =
        hidden ? LoadLocalizedTextOr(215, L"Checked Only") : LoadLocalizedTextOr(216, L"All Phrases");
    m_toolBar.SetHideUncheckedButton(text, hidden);
    ::SendMessageW(m_toolBar.m_hWnd, TB_CHANGEBITMAP, kCmdHideUnchecked, MAKELPARAM(hidden ? 3 : 2, 0));
}
