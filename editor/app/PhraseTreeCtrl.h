#pragma once
// The phrase tree of the phrases pane: one item per record of the editor's phrase store (item data =
// record id), check boxes for "included", phrases before groups at the top level. A toggled check box is
// reported to the parent as WM_NOTIFY code kNotifyCheckChanged with the item.

#include "platform/docview/Wnd.h"

#include <commctrl.h>

#include <vector>

class CEditorPhraseStore;
class PhraseItemRecord;

class PhraseTreeCtrl : public CWnd
{
public:
    static constexpr UINT kControlId = 1243;
    static constexpr UINT kNotifyCheckChanged = 0xB00;

    struct CheckNotify
    {
        NMHDR hdr;
        HTREEITEM item;
    };

    BEGIN_MSG_MAP(PhraseTreeCtrl)
    MESSAGE_HANDLER(GetCheckMessage(), OnCheckMessage)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
    END_MSG_MAP()

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

    // Image by kind: group 0, plain text 3, formatted text 2, start as application 4.
    static int ImageOfRecord(const PhraseItemRecord& record);
    // A group shows the last component of its folder path, a phrase its title.
    static CString ItemText(const PhraseItemRecord& record);
    static UINT GetCheckMessage();

private:
    void InsertList(CEditorPhraseStore& store, std::vector<PhraseItemRecord>& list, HTREEITEM parent,
                    bool showUnchecked);
    LRESULT OnCheckMessage(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnKeyUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);

    bool m_refilling = false;
};
