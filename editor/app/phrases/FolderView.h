#pragma once

// The main view while a folder (or nothing) is current: the items of the folder as a report list with
// check boxes, "..." first for the parent folder. Check boxes toggled here reach the other views as hint
// 16; a double click selects the item through the document.

#include "platform/docview/DocView.h"
#include "common/OwnWindowMessages.h"

#include <commctrl.h>

#include <vector>

class CDoc;
class PhraseItemRecord;

class CFolderView : public CListView
{
    DECLARE_DYNCREATE(CFolderView)

public:
    BEGIN_MSG_MAP(CFolderView)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_NOTIFY, OnReflectedNotify)
    OWN_MESSAGE_HANDLER(GetSelectItemMessage(), OnSelectItem)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    CHAIN_MSG_MAP(CListView)
    END_MSG_MAP()

    ~CFolderView() override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* object) override;

    // Rebuilds the list from the document's current item (no check changes are reported meanwhile).
    void Fill();
    // The store id of a row; -1 for the parent entry or none.
    int GetItemId(int index) const;
    int GetItemCount() const;
    // The grey hint shown over an empty list (what to do to see phrases here); empty while items show.
    CString GetEmptyHint() const;
    static constexpr UINT kEmptyListHintId = 61225;

private:
    static UINT GetSelectItemMessage();
    CDoc* GetDoc() const;
    void InsertItem(const PhraseItemRecord& record, const wchar_t* text, bool isParentEntry);
    void AddColumns();
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnSelectItem(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled);
    // Missing items red, checked ones bold, unchecked ones grey and struck out; the count and path
    // columns in the normal dialog font, grey (FolderViewDraw.cpp).
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    HFONT GetBoldFont();
    void DrawEmptyHint(HDC dc);
    // Widens each column to its header text where the automatic sizing left it cut.
    void FitColumnsToHeaders();

    HFONT m_boldFont = nullptr;
    bool m_filling = false;
    bool m_columnsAdded = false;
    int m_parentId = -2; // id of the "..." entry's folder (-1 root, -2 none)
};
