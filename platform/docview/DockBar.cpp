#include "platform/docview/DockBar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

namespace
{

struct DockSideRecord
{
    UINT id;
    DWORD align;
};

// In the order a bar with several allowed sides tries them.
constexpr DockSideRecord kDockSides[] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
};

bool IsBarShown(const CControlBar* bar)
{
    return bar && bar->IsVisible();
}

// Thickness across the row and length along it of a bar, from its own layout query.
SIZE DockedBarSize(CControlBar* bar, bool horz, bool alone)
{
    return bar->CalcFixedLayout(alone ? TRUE : FALSE, horz ? TRUE : FALSE);
}

} // namespace

DWORD DockBarAlignment(UINT nDockBarID)
{
    for (const DockSideRecord& side : kDockSides) {
        if (side.id == nDockBarID)
            return side.align;
    }
    return 0;
}

UINT DockBarIdFromAlignment(DWORD dwAlign)
{
    for (const DockSideRecord& side : kDockSides) {
        if (dwAlign & side.align)
            return side.id;
    }
    return 0;
}

CWndClassInfo& CDockBar::GetWndClassInfo()
{
    static CWndClassInfo info(L"ScvDockBar", 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return info;
}

BOOL CDockBar::Create(HWND hParent, UINT nID)
{
    m_bFloating = nID == AFX_IDW_DOCKBAR_FLOAT;
    m_dwStyle = DockBarAlignment(nID);
    const RECT empty = {0, 0, 0, 0};
    return CreateEx(0, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, empty, hParent,
                    nID);
}

std::vector<std::vector<CControlBar*>> CDockBar::VisibleRows() const
{
    std::vector<std::vector<CControlBar*>> rows;
    std::vector<CControlBar*> row;
    for (CControlBar* bar : m_arrBars) {
        if (bar == nullptr) {
            if (!row.empty())
                rows.push_back(row);
            row.clear();
        } else if (IsBarShown(bar)) {
            row.push_back(bar);
        }
    }
    return rows;
}

SIZE CDockBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    if (m_bFloating)
        return CControlBar::CalcFixedLayout(FALSE, bHorz);
    const bool horz = IsHorzDockBar();
    int thickness = 0;
    for (const auto& row : VisibleRows()) {
        int rowThickness = 0;
        for (CControlBar* bar : row) {
            const SIZE size = DockedBarSize(bar, horz, row.size() == 1);
            rowThickness = std::max(rowThickness, static_cast<int>(horz ? size.cy : size.cx));
        }
        thickness += rowThickness;
    }
    return horz ? SIZE{32767, thickness} : SIZE{thickness, 32767};
}

void CDockBar::LayoutBars()
{
    if (!m_hWnd)
        return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const auto place = [](CControlBar* bar, int x, int y, int cx, int cy) {
        RECT now = {};
        ::GetWindowRect(bar->m_hWnd, &now);
        ::MapWindowPoints(nullptr, ::GetParent(bar->m_hWnd), reinterpret_cast<POINT*>(&now), 2);
        if (now.left == x && now.top == y && now.right - now.left == cx && now.bottom - now.top == cy)
            return;
        ::SetWindowPos(bar->m_hWnd, nullptr, x, y, std::max(0, cx), std::max(0, cy),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    if (m_bFloating) {
        for (CControlBar* bar : m_arrBars) {
            if (IsBarShown(bar))
                place(bar, 0, 0, client.right, client.bottom);
        }
        return;
    }
    const bool horz = IsHorzDockBar();
    const int length = horz ? client.right : client.bottom;
    int across = 0;
    for (const auto& row : VisibleRows()) {
        int rowThickness = 0;
        std::vector<SIZE> sizes;
        for (CControlBar* bar : row) {
            sizes.push_back(DockedBarSize(bar, horz, row.size() == 1));
            rowThickness = std::max(rowThickness, static_cast<int>(horz ? sizes.back().cy : sizes.back().cx));
        }
        int along = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            const bool last = i + 1 == row.size();
            const int wanted = horz ? sizes[i].cx : sizes[i].cy;
            const int barLength = last ? length - along : std::min(wanted, length - along);
            if (horz)
                place(row[i], along, across, barLength, rowThickness);
            else
                place(row[i], across, along, rowThickness, barLength);
            along += std::max(0, barLength);
        }
        across += rowThickness;
    }
}

LRESULT CDockBar::OnSizeMsg(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    LayoutBars();
    return 0;
}

BOOL CDockBar::HasBar(const CControlBar* pBar) const
{
    return pBar && std::find(m_arrBars.begin(), m_arrBars.end(), pBar) != m_arrBars.end();
}

CControlBar* CDockBar::GetFirstBar() const
{
    for (CControlBar* bar : m_arrBars) {
        if (bar)
            return bar;
    }
    return nullptr;
}

int CDockBar::GetVisibleCount() const
{
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), IsBarShown));
}

std::vector<CControlBar*> CDockBar::GetRowOf(const CControlBar* pBar) const
{
    auto at = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
    if (!pBar || at == m_arrBars.end())
        return {};
    auto first = at;
    while (first != m_arrBars.begin() && *(first - 1) != nullptr)
        --first;
    auto last = at;
    while (last != m_arrBars.end() && *last != nullptr)
        ++last;
    return std::vector<CControlBar*>(first, last);
}

void CDockBar::InsertRowBreakBefore(const CControlBar* pBar)
{
    auto at = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
    if (!pBar || at == m_arrBars.end() || *(at - 1) == nullptr)
        return;
    m_arrBars.insert(at, nullptr);
}

void CDockBar::DropEmptyRows()
{
    std::vector<CControlBar*> kept{nullptr};
    for (CControlBar* bar : m_arrBars) {
        if (bar || kept.back() != nullptr)
            kept.push_back(bar);
    }
    if (kept.back() != nullptr)
        kept.push_back(nullptr);
    m_arrBars.swap(kept);
}

void CDockBar::RemoveControlBar(CControlBar* pBar)
{
    auto at = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
    if (!pBar || at == m_arrBars.end())
        return;
    m_arrBars.erase(at);
    DropEmptyRows();
}

void CDockBar::InsertBar(CControlBar* pBar, const RECT* lpScreenRect)
{
    if (!pBar)
        return;
    RemoveControlBar(pBar);
    if (!lpScreenRect || m_bFloating || !m_hWnd) {
        m_arrBars.push_back(pBar);
        m_arrBars.push_back(nullptr);
        return;
    }
    const bool horz = IsHorzDockBar();
    RECT self = {};
    ::GetWindowRect(m_hWnd, &self);
    const int dropAcross = horz ? lpScreenRect->top : lpScreenRect->left;
    const int dropAlong = horz ? lpScreenRect->left : lpScreenRect->top;
    int rowStart = horz ? self.top : self.left;
    // Walk the rows: the one whose span across holds the drop point takes the bar.
    size_t rowBegin = 1;
    while (rowBegin < m_arrBars.size()) {
        size_t rowEnd = rowBegin;
        int rowThickness = 0;
        while (rowEnd < m_arrBars.size() && m_arrBars[rowEnd] != nullptr) {
            CControlBar* bar = m_arrBars[rowEnd];
            if (IsBarShown(bar)) {
                RECT r = {};
                ::GetWindowRect(bar->m_hWnd, &r);
                rowThickness =
                    std::max(rowThickness, static_cast<int>(horz ? r.bottom - r.top : r.right - r.left));
            }
            ++rowEnd;
        }
        if (dropAcross < rowStart) {
            // before this row: a new row of its own
            m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(rowBegin), {pBar, nullptr});
            return;
        }
        if (dropAcross < rowStart + rowThickness) {
            size_t at = rowBegin;
            while (at < rowEnd) {
                RECT r = {};
                ::GetWindowRect(m_arrBars[at]->m_hWnd, &r);
                if ((horz ? r.left : r.top) > dropAlong)
                    break;
                ++at;
            }
            m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(at), pBar);
            return;
        }
        rowStart += rowThickness;
        rowBegin = rowEnd + 1;
    }
    m_arrBars.push_back(pBar);
    m_arrBars.push_back(nullptr);
}
