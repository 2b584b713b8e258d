#pragma once
// The phrase tree of the phrases pane: one item per record of the editor's phrase store (item data =
// record id), check boxes for "included", phrases before groups at the top level. A toggled check box is
// reported to the parent as WM_NOTIFY code kNotifyCheckChanged with the item. An item dragged onto another
// is offered to the drop window through its registered message (wParam 0 asks, 1 drops; lParam points at
// a DropPair). The tree draws its own colours, separator lines, meta texts and the selected row's marker,
// shows the phrase-kind images (a group's open folder while it is expanded), a grey hint while it is empty,
// and an item's tooltip once the mouse rests on the item (hidden when the mouse leaves the item or the
// window, or a drag starts).

#include "editor/controls/CueTextPainter.h"
#include "common/OwnWindowMessages.h"
#include "editor/controls/TreeDragDropTracker.h"
#include "editor/controls/TreeHoverTracker.h"
#include "platform/docview/Wnd.h"

#include <commctrl.h>

#include <vector>

class CEditorPhraseStore;
class PhraseItemRecord;

class PhraseTreeCtrl : public CWnd, private ITreeDropSink
{
public:
    static constexpr UINT kControlId = 1243;
    static constexpr UINT kNotifyCheckChanged = 0xB00;
    static constexpr UINT_PTR kResizeRedrawTimer = 4389;
    static constexpr UINT kResizeRedrawDelay = 250;
    static constexpr UINT kCueTextId = 177;

    struct DropPair
    {
        HTREEITEM dragged;
        HTREEITEM target;
    };

    struct CheckNotify
    {
        NMHDR hdr;
        HTREEITEM item;
    };

    BEGIN_MSG_MAP(PhraseTreeCtrl)
    if (m_drag.HandleMessage(uMsg, wParam, lParam)) {
        lResult = 0;
        return TRUE;
    }
    OWN_MESSAGE_HANDLER(GetCheckMessage(), OnCheckMessage)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(TVM_EXPAND, OnExpand)
    MESSAGE_HANDLER(TVM_ENSUREVISIBLE, OnEnsureVisible)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_HSCROLL, OnScrollOrSelect)
    MESSAGE_HANDLER(WM_PARENTNOTIFY, OnParentNotify)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_NOTIFY, OnReflectedNotify)
    END_MSG_MAP()

    ~PhraseTreeCtrl() override;

    CWndClassInfo& GetWndClassInfo() override;
    BOOL Create(HWND parent, const RECT& rect, DWORD style);

    // Deletes every item and inserts the store's records depth-first; the top level is sorted.
    void Refill(CEditorPhraseStore& store, bool showUnchecked);
    // Refill keeping expanded items, the selection and the first visible item.
    void RefillKeepState(CEditorPhraseStore& store, bool showUnchecked);
    HTREEITEM InsertItem(const wchar_t* text, int id, HTREEITEM parent, bool first, int image, bool checked);
    // The item whose data is the id (0: the first item); null when none.
    HTREEITEM FindItemById(int id) const;
    void ExpandToItem(HTREEITEM item);
    void SetCheckState(HTREEITEM item, bool on, bool notify);
    bool GetCheck(HTREEITEM item) const;
    // Phrases before groups, then ascending SortID (unsigned), on one level (the root for null).
    void SortLevel(HTREEITEM parent, CEditorPhraseStore& store);
    int GetSelectedId() const;
    int GetItemId(HTREEITEM item) const;
    bool IsRefilling() const { return m_refilling; }
    // The window and registered message that hear drop questions and drops.
    void SetDropTarget(HWND window, UINT message);
    TreeDragDropTracker& GetDragTracker() { return m_drag; }
    // Starts dragging an item as a drag begun by the mouse does.
    bool BeginDrag(HTREEITEM item);
    // Whether the meta texts (usage counts, group counts) are drawn right of the items.
    void SetShowMetaInfo(bool show);
    // The meta text of a record ("2/3 childrens", "[4 times], title only"); empty when none.
    static CString MetaTextOf(CEditorPhraseStore& store, const PhraseItemRecord& record);
    // Waits for the mouse to rest on the item, then shows the tooltip text with the item's image.
    void SetItemTip(HTREEITEM item, const CString& text);
    void HideItemTip() { m_hover.HideTip(); }
    CTreeHoverTracker& GetHoverTracker() { return m_hover; }
    // The hint painted while the tree has no items.
    CCueTextPainter& GetCueText() { return m_cueText; }
    // Invalidates the item's row; fullWidth: from the left edge to at least the client's right edge.
    void InvalidateItemRow(HTREEITEM item, bool fullWidth);

    // Image by kind: group 0, plain text 3, formatted text 2, start as application 4.
    static int ImageOfRecord(const PhraseItemRecord& record);
    // A group shows the last component of its folder path, a phrase its title.
    static CString ItemText(const PhraseItemRecord& record);
    static UINT GetCheckMessage();

private:
    // "Right click to add new phrase" while the tree is empty.
    class EmptyTreeCue : public CResourceCueTextPainter
    {
    public:
        explicit EmptyTreeCue(const HWND* tree) : CResourceCueTextPainter(tree, kCueTextId) {}
        bool ShouldShow() override;
        CString GetText() override;
    };

    void InsertList(CEditorPhraseStore& store, std::vector<PhraseItemRecord>& list, HTREEITEM parent,
                    bool showUnchecked);
    LRESULT OnCheckMessage(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnKeyUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnExpand(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    // Scrolls vertically only: the horizontal position is put back.
    LRESULT OnEnsureVisible(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    void StartResizeRedraw();
    // A group shows the open folder while it is expanded, the closed one otherwise.
    void SyncGroupImage(HTREEITEM item);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnScrollOrSelect(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnParentNotify(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSetFont(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnCustomDraw(NMTVCUSTOMDRAW* draw);
    void DrawPostPaint(NMTVCUSTOMDRAW* draw);
    void DrawSeparator(HDC dc, HTREEITEM item, bool below);
    HFONT GetExcludedFont();
    PhraseItemRecord* RecordOf(HTREEITEM item) const;
    // The item at a client point packed as in mouse messages, with the hit flags.
    HTREEITEM HitTestAt(LPARAM clientPoint, UINT* flags) const;

    bool CanDropOn(HTREEITEM dragged, HTREEITEM target) override;
    void DropOn(HTREEITEM dragged, HTREEITEM target) override;

    EmptyTreeCue m_cueText{&m_hWnd};
    TreeDragDropTracker m_drag;
    DWORD m_resizeTick = 0;
    bool m_refilling = false;
    bool m_showMetaInfo = false;
    HWND m_dropWindow = nullptr;
    UINT m_dropMessage = 0;
    CEditorPhraseStore* m_store = nullptr;
    HFONT m_excludedFont = nullptr;
    HFONT m_smallFont = nullptr;
    HTREEITEM m_lastSelected = nullptr;
    CTreeHoverTracker m_hover{&m_hWnd};
    bool m_leaveTracked = false;
    bool m_ensuringVisible = false;
};
