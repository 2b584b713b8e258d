#include "editor/app/FolderView.h"

#include <commctrl.h>

IMPLEMENT_DYNCREATE(CFolderView, CListView)

void CFolderView::OnInitialUpdate()
{
    if (::SendMessageW(m_hWnd, LVM_GETCOLUMNWIDTH, 0, 0) == 0) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 300;
        column.pszText = const_cast<LPWSTR>(L"Phrase");
        ::SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    }
    CListView::OnInitialUpdate();
}
