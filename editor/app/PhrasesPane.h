#pragma once
// The phrases pane docked at the left of the main frame: the phrase tree over the editor's phrase store,
// its caption "Phrases [included/all]", selections passed to the document (keyboard selections after a
// short delay) and the document's hints that change the tree.

#include "editor/app/Doc.h"
#include "editor/app/EditorMessages.h"
#include "editor/app/PhraseTreeCtrl.h"
#include "editor/controls/ResizableBar.h"

class PhrasesPane : public CResizableBarCF, public IDocUpdateListener
{
    DECLARE_DYNAMIC(PhrasesPane)

public:
    static constexpr UINT_PTR kSelectTimer = 100;
    static constexpr UINT kSelectDelay = 350;
    static constexpr UINT kAddFromClipboardCommand = 32775;
    // A request from outside waits this long before the phrase is added.
    static constexpr DWORD kAddRequestDelay = 1500;

    BEGIN_MSG_MAP(PhrasesPane)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_APP + 1, OnAppOne)
    MESSAGE_HANDLER(GetEditorAddFromClipboardMessage(), OnAddRequest)
    MESSAGE_HANDLER(GetDelayedAddMessage(), OnDelayedAdd)
    MESSAGE_HANDLER(GetEditorNewPhraseFromClipboardMessage(), OnStartAddFromClipboard)
    COMMAND_ID_HANDLER(kAddFromClipboardCommand, OnAddFromClipboard)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, TVN_SELCHANGEDW, OnSelChanged)
    NOTIFY_HANDLER(PhraseTreeCtrl::kControlId, PhraseTreeCtrl::kNotifyCheckChanged, OnCheckChanged)
    CHAIN_MSG_MAP(CResizableBarCF)
    END_MSG_MAP()

    explicit PhrasesPane(CEditorPhraseStore* store = nullptr);

    // The document whose hints the pane hears and to which it reports.
    void AttachDocument(CDoc* doc);
    PhraseTreeCtrl& GetTree() { return m_tree; }
    CEditorPhraseStore& GetStore();
    CEditorSettings& GetSettings();
    // Sets "Phrases [included/all]" when it changed.
    void UpdateCaptionCounter();
    // A new phrase in the group `parentId` (-1 the top level): from the clipboard, or empty with the
    // name "<Enter new phrase name for menu>". It is selected; with `editLabel` its label edit
    // starts, else the change is reported. The new id, or -1.
    int NewPhrase(bool fromClipboard, bool editLabel, int parentId);
    // The selected group, else the selected phrase's group, else -1 (the top level).
    int GetCurrentGroup();

    HWND GetListenerWindow() override { return m_hWnd; }
    void OnDocUpdate(CView* sender, LPARAM hint, CObject* object) override;

private:
    bool ShowUnchecked();
    void SetAllChecks(int mode);
    void SelectInDocument(int id);
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnAppOne(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    static UINT GetDelayedAddMessage();
    LRESULT OnAddRequest(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDelayedAdd(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStartAddFromClipboard(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAddFromClipboard(WORD, WORD, HWND, BOOL&);
    LRESULT OnSelChanged(int, NMHDR* header, BOOL&);
    LRESULT OnCheckChanged(int, NMHDR* header, BOOL&);

    PhraseTreeCtrl m_tree;
    CEditorPhraseStore* m_store;
    CDoc* m_doc = nullptr;
    bool m_updateLock = false;
    bool m_reportingChecks = false;
    HTREEITEM m_pendingSelection = nullptr;
};
