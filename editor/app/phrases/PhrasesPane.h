#pragma once
// The phrases pane docked at the left of the main frame: a small toolbar over the phrase tree of the
// editor's phrase store, its caption "Phrases [included/all]", selections passed to the document
// (keyboard selections after a short delay), the document's hints that change the tree, and every
// library command: new phrases and groups, rename, delete, move up and down, cut, copy and paste,
// drops from the tree, opening the item's folder and its shell properties (PhrasesPaneCommands.cpp), and
// the items' tooltips (PhrasesPaneTip.h).

#include "editor/app/document/Doc.h"
#include "common/OwnWindowMessages.h"
#include "editor/app/phrases/PhraseTreeCtrl.h"
#include "editor/controls/PhraseTreeToolBar.h"
#include "editor/controls/ResizableBar.h"
#include "editor/controls/ToolbarImages.h"

class PhrasesPane : public CResizableBarCF, public IDocUpdateListener
{
    DECLARE_DYNAMIC(PhrasesPane)

public:
    static constexpr UINT_PTR kSelectTimer = 100;
    static constexpr UINT kSelectDelay = 350;
    static constexpr UINT_PTR kPasteMarkTimer = 101;
    static constexpr UINT kPasteMarkDelay = 3000;
    static constexpr UINT kToolBarId = 1030;

    // Commands of the pane.
    enum : UINT
    {
        kCmdNewPlain = 32772,
        kCmdNewFormatted = 32811,
        kCmdNewFromClipboard = 32775,
        kCmdRename = 32774,
        kCmdAddGroup = 32822,
        kCmdDelete = 32773,
        kCmdSortFirst = 33000,
        kCmdSortLast = 33004,
        kCmdMoveUp = 32831,
        kCmdMoveDown = 32832,
        kCmdMoveToRoot = 32836,
        kCmdCut = 57635,
        kCmdCopy = 57634,
        kCmdPaste = 57637,
        kCmdOpenFolder = 32824,
        kCmdProperties = 32778,
        kCmdHideUnchecked = 32815,
        kCmdSelectAll = 57642,
    };

    BEGIN_MSG_MAP(PhrasesPane)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_APP + 1, OnAppOne)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    MESSAGE_HANDLER(WM_NCRBUTTONUP, OnNcRButtonUp)
    OWN_MESSAGE_HANDLER(DropDownMessage(), OnDropDownMessage)
    OWN_MESSAGE_HANDLER(AddRequestMessage(), OnAddRequestMessage)
    OWN_MESSAGE_HANDLER(AddNowMessage(), OnAddNowMessage)
    OWN_MESSAGE_HANDLER(ContextMenuMessage(), OnContextMenuMessage)
    OWN_MESSAGE_HANDLER(NewFromClipboardAtRootMessage(), OnNewFromClipboardAtRoot)
    MESSAGE_HANDLER(DropMessage(), OnDropMessage)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, TVN_SELCHANGEDW, OnSelChanged)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, PhraseTreeCtrl::kNotifyCheckChanged, OnCheckChanged)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, NM_RCLICK, OnTreeRightClick)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, NM_DBLCLK, OnTreeDoubleClick)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, TVN_GETINFOTIPW, OnGetInfoTip)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, TVN_BEGINLABELEDITW, OnBeginLabelEdit)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, TVN_ENDLABELEDITW, OnEndLabelEdit)
    NOTIFY_HANDLER(kToolBarId, TBN_DROPDOWN, OnToolBarDropDown)
    COMMAND_ID_HANDLER(kCmdNewPlain, OnNewPhrase)
    COMMAND_ID_HANDLER(kCmdNewFormatted, OnNewPhrase)
    COMMAND_ID_HANDLER(kCmdNewFromClipboard, OnNewPhrase)
    COMMAND_ID_HANDLER(kCmdRename, OnRename)
    COMMAND_ID_HANDLER(kCmdAddGroup, OnAddGroup)
    COMMAND_ID_HANDLER(kCmdDelete, OnDelete)
    COMMAND_RANGE_HANDLER(kCmdSortFirst, kCmdSortLast, OnSort)
    COMMAND_ID_HANDLER(kCmdMoveUp, OnMove)
    COMMAND_ID_HANDLER(kCmdMoveDown, OnMove)
    COMMAND_ID_HANDLER(kCmdMoveToRoot, OnMoveToRoot)
    COMMAND_ID_HANDLER(kCmdCut, OnCutCopy)
    COMMAND_ID_HANDLER(kCmdCopy, OnCutCopy)
    COMMAND_ID_HANDLER(kCmdPaste, OnPaste)
    COMMAND_ID_HANDLER(kCmdOpenFolder, OnOpenFolder)
    COMMAND_ID_HANDLER(kCmdProperties, OnProperties)
    COMMAND_ID_HANDLER(kCmdSelectAll, OnSelectAll)
    UPDATE_COMMAND_UI_HANDLER(kCmdNewFromClipboard, OnUpdateNewFromClipboard)
    UPDATE_COMMAND_UI_HANDLER(kCmdRename, OnUpdateNeedsSelection)
    UPDATE_COMMAND_UI_HANDLER(kCmdDelete, OnUpdateNeedsSelection)
    UPDATE_COMMAND_UI_HANDLER(kCmdCut, OnUpdateNeedsSelection)
    UPDATE_COMMAND_UI_HANDLER(kCmdCopy, OnUpdateNeedsSelection)
    UPDATE_COMMAND_UI_HANDLER(kCmdOpenFolder, OnUpdateNeedsSelection)
    UPDATE_COMMAND_UI_HANDLER(kCmdProperties, OnUpdateNeedsSelection)
    UPDATE_COMMAND_UI_RANGE_HANDLER(kCmdSortFirst, kCmdSortLast, OnUpdateSort)
    UPDATE_COMMAND_UI_HANDLER(kCmdMoveUp, OnUpdateMove)
    UPDATE_COMMAND_UI_HANDLER(kCmdMoveDown, OnUpdateMove)
    UPDATE_COMMAND_UI_HANDLER(kCmdMoveToRoot, OnUpdateMoveToRoot)
    UPDATE_COMMAND_UI_HANDLER(kCmdPaste, OnUpdatePaste)
    CHAIN_MSG_MAP(CResizableBarCF)
    END_MSG_MAP()

    explicit PhrasesPane(CEditorPhraseStore* store = nullptr);
    ~PhrasesPane() override;

    // The document whose hints the pane hears and to which it reports.
    void AttachDocument(CDoc* doc);
    PhraseTreeCtrl& GetTree() { return m_tree; }
    PhraseTreeToolBar& GetToolBar() { return m_toolBar; }
    CEditorPhraseStore& GetStore();
    CEditorSettings& GetSettings();
    // Sets "Phrases [included/all]" when it changed.
    void UpdateCaptionCounter();
    // Whether Delete lets the shell ask the user first (on by default).
    static void SetConfirmDeletes(bool confirm);

    // The library commands, also reachable as WM_COMMAND. Each gives the new or moved item's id, or -1.
    int NewPhrase(bool fromClipboard, bool editLabel, int kind, HTREEITEM parent);
    int AddGroup();
    // Gives the selected phrase a new menu name (the text view's Into Menu Name); a beep when it cannot.
    bool RenameSelectedPhrase(const CString& title);
    bool DeleteSelected();
    bool MoveSelected(bool up);
    bool CanMoveSelected(bool up);
    void CutOrCopySelected(bool cut);
    bool CanPaste();
    int Paste();
    int MoveSelectedToRoot();
    // The group new items go into: the selected group, else the selected item's parent; null = root.
    HTREEITEM GetCurrentGroupItem();
    // Drop query and drop of the tree (dragged item onto target item).
    bool CanDropOn(HTREEITEM dragged, HTREEITEM target);
    bool DropOn(HTREEITEM dragged, HTREEITEM target);

    // The registered messages of the pane.
    static UINT DropDownMessage();
    static UINT AddRequestMessage();
    static UINT AddNowMessage();
    static UINT ContextMenuMessage();
    static UINT NewFromClipboardAtRootMessage();
    static UINT DropMessage();

    BOOL PreTranslateMessage(MSG* msg) override;
    HWND GetListenerWindow() override { return m_hWnd; }
    void OnDocUpdate(CView* sender, LPARAM hint, CObject* object) override;

private:
    // A phrase's new title: stored (with the title-only flag when asked), saved and shown; a beep when
    // the store refuses it.
    bool SetPhraseTitle(HTREEITEM item, int id, const CString& title, bool titleOnly);
    // The tree item shows its new text; the document and the main program hear of the change.
    void ShowRenamedItem(HTREEITEM item, const CString& shown);
    // Tells the views that a phrase the user just made has its name, so its text opens for typing.
    void ReportNewPhraseNamed(int id);
    bool ShowUnchecked();
    void SetAllChecks(int mode);
    void SelectInDocument(int id);
    // Refills the tree from the store and selects the item (expanding its parents).
    void RefillAndSelect(int id, bool expandItem);
    // The document forgets its current item (its pending edit saved first) and shows the list: the
    // store is about to be loaded again and the ids change.
    void ReleaseDocumentItem();
    // The current phrase's pending edit is written to its file (hint 2); false when it is still unsaved
    // (the user gave up after a failed write).
    bool SavePendingEdit();
    // Moves or copies an item in the store after the pending edit was saved; a move tells the document
    // that the current item's file may have a new path. False when the store refused.
    bool TransferItem(int targetId, int itemId, bool move, int* newId);
    void MarkCutItems();
    void ClearPasteMark();
    bool CreateToolBar();
    void UpdateToolBarTexts();
    // Shows a pop-up of the given commands (0 = separator) at a screen point; its commands come back as
    // WM_COMMAND to the pane.
    void ShowCommandMenu(const UINT* ids, size_t count, POINT screen, UINT defaultId);
    void ShowAddMenu(UINT defaultId);
    void ShowDeleteMenu();
    CString CommandText(UINT id);
    bool IsGroupItem(HTREEITEM item);
    void StartLabelEdit(HTREEITEM item);
    // The tree takes the configured menu font, three units larger.
    void ApplyTreeFont();

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnAppOne(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnNcRButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnDropDownMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnAddRequestMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAddNowMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnContextMenuMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnNewFromClipboardAtRoot(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDropMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSelChanged(int, NMHDR* header, BOOL&);
    LRESULT OnCheckChanged(int, NMHDR* header, BOOL&);
    LRESULT OnTreeRightClick(int, NMHDR*, BOOL&);
    LRESULT OnTreeDoubleClick(int, NMHDR*, BOOL& bHandled);
    // Outside a drag: the item's tooltip, after the document saved the text edited for it.
    LRESULT OnGetInfoTip(int, NMHDR* header, BOOL&);
    LRESULT OnBeginLabelEdit(int, NMHDR* header, BOOL&);
    LRESULT OnEndLabelEdit(int, NMHDR* header, BOOL&);
    LRESULT OnToolBarDropDown(int, NMHDR* header, BOOL&);
    LRESULT OnNewPhrase(WORD, WORD id, HWND, BOOL&);
    LRESULT OnRename(WORD, WORD, HWND, BOOL&);
    LRESULT OnAddGroup(WORD, WORD, HWND, BOOL&);
    LRESULT OnDelete(WORD, WORD, HWND, BOOL&);
    LRESULT OnSort(WORD, WORD id, HWND, BOOL&);
    LRESULT OnMove(WORD, WORD id, HWND, BOOL&);
    LRESULT OnMoveToRoot(WORD, WORD, HWND, BOOL&);
    LRESULT OnCutCopy(WORD, WORD id, HWND, BOOL&);
    LRESULT OnPaste(WORD, WORD, HWND, BOOL&);
    LRESULT OnOpenFolder(WORD, WORD, HWND, BOOL&);
    LRESULT OnProperties(WORD, WORD, HWND, BOOL&);
    LRESULT OnSelectAll(WORD, WORD, HWND, BOOL&) { return 0; }
    void OnUpdateNewFromClipboard(CCmdUI* ui);
    void OnUpdateNeedsSelection(CCmdUI* ui);
    void OnUpdateSort(CCmdUI* ui);
    void OnUpdateMove(CCmdUI* ui);
    void OnUpdateMoveToRoot(CCmdUI* ui);
    void OnUpdatePaste(CCmdUI* ui);

    bool m_editFromRename = false;
    bool m_labelEditAllowed = false;
    HFONT m_editFont = nullptr;
    HFONT m_treeFont = nullptr;
    PhraseTreeCtrl m_tree;
    CEditorPhraseStore* m_store;
    CDoc* m_doc = nullptr;
    bool m_updateLock = false;
    bool m_reportingChecks = false;
    ToolbarImages m_toolBarImages;
    PhraseTreeToolBar m_toolBar;
    HTREEITEM m_pendingSelection = nullptr;
};
