#include "editor/controls/ResizableBar.h"

#include "common/GdiObjectGuards.h"
#include "common/SharedLog.h"
#include "common/SystemFunctions.h"
#include "common/html/DrawEffects.h"
#include "platform/docview/App.h"
#include "platform/docview/DockBar.h"
#include "platform/docview/DockContext.h"
#include "platform/docview/FrameWnd.h"
#include "platform/docview/MiniDockFrameWnd.h"

#include "platform/WindowsX.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CResizableBar, CControlBar)
IMPLEMENT_DYNAMIC(CResizableBarG, CResizableBar)
IMPLEMENT_DYNAMIC(CResizableBarCF, CResizableBarG)

namespace
{

// A close cross two pixels thick, inset from the button's edges.
void DrawCrossGlyph(HDC dc, const RECT& button)
{
    const GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNTEXT)));
    const SelectedObject selected(dc, pen.get());
    const int left = button.left + 3, top = button.top + 3, right = button.right - 3,
              bottom = button.bottom - 3;
    for (int shift = 0; shift < 2; ++shift) {
        ::MoveToEx(dc, left + shift, top, nullptr);
        ::LineTo(dc, right + shift, bottom);
        ::MoveToEx(dc, right - 1 + shift, top, nullptr);
        ::LineTo(dc, left - 1 + shift, bottom);
    }
}

bool ReadDragFullWindows()
{
    BOOL on = FALSE;
    ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
    return on != FALSE;
}

bool IsEdgeHit(int hit)
{
    return hit == HTLEFT || hit == HTRIGHT || hit == HTTOP || hit == HTBOTTOM;
}

int CALLBACK StopAtFirstFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM)
{
    return 0;
}

bool ReadGradientCaptions()
{
    BOOL on = FALSE;
    ::SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &on, 0);
    return on != FALSE;
}

bool IsLeftButtonDown()
{
    return ::GetKeyState(VK_LBUTTON) < 0;
}

// A font of the face at tenths of a point for the DC's resolution; `escapement` in tenths of a degree.
GdiObject<HFONT> CreatePointFont(HDC dc, const wchar_t* face, int tenths, int escapement)
{
    const int height = -::MulDiv(tenths, ::GetDeviceCaps(dc, LOGPIXELSY), 720);
    return GdiObject<HFONT>(::CreateFontW(height, 0, escapement, escapement, FW_NORMAL, 0, 0, 0,
                                          DEFAULT_CHARSET, 0, 0, 0, 0, face));
}

} // namespace

CWndClassInfo& CResizableBar::GetWndClassInfo()
{
    static CWndClassInfo info(L"ScvResizableBar", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return info;
}

BOOL CResizableBar::Create(LPCWSTR name, HWND parent, SIZE defaultSize, BOOL, UINT id, DWORD style)
{
    m_sizeHorz = m_sizeVert = m_sizeFloat = defaultSize;
    return Create(name, parent, id, style);
}

BOOL CResizableBar::Create(LPCWSTR name, HWND parent, UINT id, DWORD style)
{
    m_dwStyle = style & CBRS_ALL;
    m_dragShowContent = ReadDragFullWindows();
    const RECT empty = {0, 0, 0, 0};
    const DWORD windowStyle = (style & ~CBRS_ALL) | WS_CHILD | WS_CLIPCHILDREN;
    // The frame lays out the children whose ids lie in the control-bar range; a bar given another id (the
    // panes are made with id 0) takes the id of the dock side it stands for.
    if (id < AFX_IDW_CONTROLBAR_FIRST || id > AFX_IDW_CONTROLBAR_LAST)
        id = DockBarIdFromStyle();
    if (!CreateEx(0, name, windowStyle, empty, parent, id)) {
        WriteLogLine(L"CResizableBar::Create: the bar window could not be created");
        return FALSE;
    }
    m_dockBarId = DockBarIdFromStyle();
    JoinFrame();
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    return TRUE;
}

UINT CResizableBar::DockBarIdFromStyle() const
{
    if (m_dwStyle & CBRS_ALIGN_TOP)
        return kDockTop;
    if (m_dwStyle & CBRS_ALIGN_BOTTOM)
        return kDockBottom;
    if (m_dwStyle & CBRS_ALIGN_LEFT)
        return kDockLeft;
    if (m_dwStyle & CBRS_ALIGN_RIGHT)
        return kDockRight;
    return kFloating;
}

UINT CResizableBar::CurrentDockBarId() const
{
    if (m_pDockBar && m_pDockBar->m_hWnd && ::GetParent(m_hWnd) == m_pDockBar->m_hWnd)
        return static_cast<UINT>(::GetDlgCtrlID(m_pDockBar->m_hWnd));
    return DockBarIdFromStyle();
}

namespace
{

constexpr const wchar_t* kSizeStateKeys[] = {L"sizeHorzCX",  L"sizeHorzCY",  L"sizeVertCX",
                                             L"sizeVertCY",  L"sizeFloatCX", L"sizeFloatCY"};

// HKCU\Software\<the application's registry key>\<profileName>-SCBar-<id>, at most 255 characters.
CString SizeStateKeyPath(LPCWSTR profileName, int id)
{
    const CWinApp* app = CWinApp::GetApp();
    const CString root = app && !app->GetRegistryKey().IsEmpty() ? app->GetRegistryKey() : CString(L"Scrivolanter");
    wchar_t section[256] = {};
    _snwprintf(section, 255, L"%ls-SCBar-%d", profileName ? profileName : L"", id);
    return L"Software\\" + root + L"\\" + section;
}

} // namespace

bool CResizableBar::LoadSizeState(LPCWSTR profileName)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SizeStateKeyPath(profileName, ::GetDlgCtrlID(m_hWnd)), 0,
                        KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    LONG* values[] = {&m_sizeHorz.cx, &m_sizeHorz.cy, &m_sizeVert.cx, &m_sizeVert.cy, &m_sizeFloat.cx,
                      &m_sizeFloat.cy};
    const LONG minimums[] = {m_minHorz.cx, m_minHorz.cy, m_minVert.cx, m_minVert.cy, m_minFloat.cx, m_minFloat.cy};
    for (size_t i = 0; i < 6; ++i) {
        DWORD stored = 0;
        DWORD size = sizeof(stored);
        DWORD type = 0;
        LONG value = *values[i];
        if (::RegQueryValueExW(key, kSizeStateKeys[i], nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD)
            value = static_cast<LONG>(stored);
        *values[i] = std::max(value, minimums[i]);
    }
    ::RegCloseKey(key);
    return true;
}

bool CResizableBar::SaveSizeState(LPCWSTR profileName) const
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SizeStateKeyPath(profileName, ::GetDlgCtrlID(m_hWnd)), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG values[] = {m_sizeHorz.cx, m_sizeHorz.cy, m_sizeVert.cx, m_sizeVert.cy, m_sizeFloat.cx,
                           m_sizeFloat.cy};
    bool written = true;
    for (size_t i = 0; i < 6; ++i) {
        const DWORD value = static_cast<DWORD>(values[i]);
        written = ::RegSetValueExW(key, kSizeStateKeys[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                   sizeof(value)) == ERROR_SUCCESS &&
                  written;
    }
    ::RegCloseKey(key);
    return written;
}

SIZE CResizableBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    m_dockBarId = CurrentDockBarId();
    if (bStretch)
        return bHorz ? SIZE{32767, m_sizeHorz.cy} : SIZE{m_sizeVert.cx, 32767};
    if (!IsBarFloating() && IsVisible())
        NegotiateRow(bHorz != FALSE);
    if (bHorz)
        return SIZE{std::max(m_sizeHorz.cx, m_minHorz.cx), std::max(m_sizeHorz.cy, m_minHorz.cy)};
    return SIZE{std::max(m_sizeVert.cx, m_minVert.cx), std::max(m_sizeVert.cy, m_minVert.cy)};
}

std::vector<CControlBar*> CResizableBar::VisibleRowBars() const
{
    if (!m_pDockBar || ::GetParent(m_hWnd) != m_pDockBar->m_hWnd)
        return {const_cast<CResizableBar*>(this)};
    std::vector<CControlBar*> row;
    for (CControlBar* bar : m_pDockBar->GetRowOf(this)) {
        if (bar->IsVisible() || bar == this)
            row.push_back(bar);
    }
    return row;
}

std::vector<CResizableBar*> CResizableBar::SizingRowBars() const
{
    std::vector<CResizableBar*> sizing;
    for (CControlBar* bar : VisibleRowBars()) {
        if (auto* resizable = dynamic_cast<CResizableBar*>(bar))
            sizing.push_back(resizable);
    }
    return sizing;
}

std::vector<DockRowBar> CResizableBar::RowRecords(const std::vector<CResizableBar*>& bars, bool horz)
{
    std::vector<DockRowBar> records;
    for (const CResizableBar* bar : bars) {
        DockRowBar record;
        const SIZE size = horz ? bar->m_sizeHorz : bar->m_sizeVert;
        const SIZE min = horz ? bar->m_minHorz : bar->m_minVert;
        record.length = horz ? size.cx : size.cy;
        record.width = horz ? size.cy : size.cx;
        record.minLength = horz ? min.cx : min.cy;
        record.minWidth = horz ? min.cy : min.cx;
        record.keepSize = bar->m_keepSize;
        records.push_back(record);
    }
    return records;
}

void CResizableBar::StoreRowRecords(const std::vector<CResizableBar*>& bars,
                                    const std::vector<DockRowBar>& records, bool horz)
{
    for (size_t i = 0; i < bars.size() && i < records.size(); ++i) {
        SIZE& size = horz ? bars[i]->m_sizeHorz : bars[i]->m_sizeVert;
        (horz ? size.cx : size.cy) = records[i].length;
        (horz ? size.cy : size.cx) = records[i].width;
        bars[i]->m_keepSize = records[i].keepSize;
    }
}

void CResizableBar::NegotiateRow(bool horz)
{
    if (!m_pDockBar || m_pDockBar->IsFloatingDockBar())
        return;
    const std::vector<CControlBar*> row = VisibleRowBars();
    const std::vector<CResizableBar*> sizing = SizingRowBars();
    // One bar alone is stretched along the whole dock bar.
    if (row.size() < 2 || sizing.empty() || sizing.front() != this)
        return;
    RECT client = {};
    ::GetClientRect(m_pDockBar->m_hWnd, &client);
    const int length = horz ? client.right : client.bottom;
    if (length <= 0)
        return;
    std::vector<DockRowBar> records;
    std::vector<CResizableBar*> order; // the sizing bar of each record, or null
    int self = 0;
    for (CControlBar* bar : row) {
        auto* resizable = dynamic_cast<CResizableBar*>(bar);
        if (bar == this)
            self = static_cast<int>(records.size());
        if (resizable) {
            records.push_back(RowRecords({resizable}, horz).front());
        } else {
            RECT r = {};
            ::GetWindowRect(bar->m_hWnd, &r);
            DockRowBar other;
            other.sizing = false;
            other.length = horz ? r.right - r.left : r.bottom - r.top;
            records.push_back(other);
        }
        order.push_back(resizable);
    }
    // The arithmetic counts 2 pixels of each bar as shared with its neighbour; these bars do not overlap.
    const DockRowResult result = NegotiateDockRow(records, self, length - 2 * static_cast<int>(row.size()));
    if (result.breakAfter >= 0 || result.breakBefore >= 0) {
        const size_t first = result.breakAfter >= 0 ? static_cast<size_t>(result.breakAfter) + 1
                                                    : static_cast<size_t>(result.breakBefore);
        if (first < row.size())
            m_pDockBar->InsertRowBreakBefore(row[first]);
        if (m_pFrame)
            m_pFrame->DelayRecalcLayout();
    }
    if (!result.fits)
        return;
    for (size_t i = 0; i < records.size(); ++i) {
        if (order[i])
            StoreRowRecords({order[i]}, {records[i]}, horz);
    }
}

void CResizableBar::CalcClientRect(RECT& rect, UINT dockBarId)
{
    rect.left += 3;
    rect.top += 5;
    rect.right -= 3;
    rect.bottom -= 3;
    if (dockBarId == kFloating)
        return;
    rect.left += 2;
    rect.right -= 2;
    rect.bottom -= 2;
    // The side facing the frame's centre is the draggable edge; it takes no client room.
    switch (dockBarId) {
    case kDockTop:
        m_edgeFlags |= 8;
        break;
    case kDockLeft:
        m_edgeFlags |= 2;
        break;
    case kDockRight:
        m_edgeFlags |= 1;
        break;
    case kDockBottom:
        m_edgeFlags |= 4;
        break;
    }
}

LRESULT CResizableBar::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* rect = reinterpret_cast<RECT*>(lParam); // first rectangle of either form
    m_edgeFlags = 0;
    m_dockBarId = CurrentDockBarId();
    if (!IsBarFloating()) {
        // Between two bars of a row the edges are draggable too.
        const std::vector<CResizableBar*> sizing = SizingRowBars();
        const auto at = std::find(sizing.begin(), sizing.end(), this);
        const bool horz = IsHorzDocked();
        if (at != sizing.end() && at != sizing.begin())
            m_edgeFlags |= horz ? 1 : 4;
        if (at != sizing.end() && at + 1 != sizing.end())
            m_edgeFlags |= horz ? 2 : 8;
    }
    CalcClientRect(*rect, m_dockBarId);
    if (rect->right < rect->left)
        rect->right = rect->left;
    if (rect->bottom < rect->top)
        rect->bottom = rect->top;
    return 0;
}

RECT CResizableBar::GetEdgeRect(const RECT& window, int hitCode) const
{
    RECT edge = window;
    const int w = m_edgeWidth;
    switch (hitCode) {
    case HTLEFT:
        if (!(m_edgeFlags & 1))
            return RECT{};
        edge.right = edge.left + w;
        break;
    case HTRIGHT:
        if (!(m_edgeFlags & 2))
            return RECT{};
        edge.left = edge.right - w;
        break;
    case HTTOP:
        if (!(m_edgeFlags & 4))
            return RECT{};
        edge.bottom = edge.top + w;
        break;
    case HTBOTTOM:
        if (!(m_edgeFlags & 8))
            return RECT{};
        edge.top = edge.bottom - w;
        break;
    default:
        return window;
    }
    if ((hitCode == HTLEFT || hitCode == HTRIGHT) && IsHorzDocked())
        ::InflateRect(&edge, 0, -w);
    if ((hitCode == HTTOP || hitCode == HTBOTTOM) && IsVertDocked())
        ::InflateRect(&edge, -w, 0);
    return edge;
}

LRESULT CResizableBar::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (IsBarFloating())
        return HTCLIENT;
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (int hit : {HTLEFT, HTTOP, HTRIGHT, HTBOTTOM}) {
        const RECT edge = GetEdgeRect(window, hit);
        if (!::IsRectEmpty(&edge) && ::PtInRect(&edge, pt))
            return hit;
    }
    return HTCLIENT;
}

LRESULT CResizableBar::OnNcLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    const int hit = static_cast<int>(wParam);
    if (m_isTracking || IsBarFloating() || !IsEdgeHit(hit)) {
        bHandled = FALSE;
        return 0;
    }
    StartEdgeTracking(hit, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
}

LRESULT CResizableBar::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    if (!m_isTracking)
        return 0;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    UpdateTrackedSize(pt);
    return 0;
}

LRESULT CResizableBar::OnStopTracking(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (m_isTracking)
        StopEdgeTracking();
    return 0;
}

LRESULT CResizableBar::OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (m_isTracking && reinterpret_cast<HWND>(lParam) != m_hWnd)
        StopEdgeTracking();
    return 0;
}

SIZE CResizableBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    if (dwMode & (LM_HORZDOCK | LM_VERTDOCK))
        return CControlBar::CalcDynamicLayout(nLength, dwMode);
    if (!(dwMode & (LM_MRUWIDTH | LM_COMMIT))) {
        CDockContext* context = GetDockContext();
        const int hit = context ? context->m_nHitTest : HTNOWHERE;
        if (IsFloating() &&
            (hit == HTTOPLEFT || hit == HTTOPRIGHT || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT))
            FollowCornerDrag();
        else if (dwMode & LM_LENGTHY)
            m_sizeFloat.cy = nLength;
        else
            m_sizeFloat.cx = nLength;
    }
    m_sizeFloat.cx = std::max(m_sizeFloat.cx, m_minFloat.cx);
    m_sizeFloat.cy = std::max(m_sizeFloat.cy, m_minFloat.cy);
    return m_sizeFloat;
}

void CResizableBar::FollowCornerDrag()
{
    CDockContext* context = GetDockContext();
    HWND floating = ::GetParent(m_pDockBar->m_hWnd);
    RECT frame = {};
    RECT self = {};
    ::GetWindowRect(floating, &frame);
    ::GetWindowRect(m_hWnd, &self);
    const POINT cursor = context->m_ptLast;
    const int hit = context->m_nHitTest;
    if (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) {
        m_sizeFloat.cx = (self.right - self.left) + (frame.left - cursor.x);
        context->m_rectFrameDrag.left =
            std::min(static_cast<int>(cursor.x), static_cast<int>(self.right - m_minFloat.cx));
    } else {
        m_sizeFloat.cx = (self.right - self.left) + (cursor.x - frame.right);
    }
    if (hit == HTTOPLEFT || hit == HTTOPRIGHT) {
        m_sizeFloat.cy = (self.bottom - self.top) + (frame.top - cursor.y);
        context->m_rectFrameDrag.top =
            std::min(static_cast<int>(cursor.y), static_cast<int>(self.bottom - m_minFloat.cy));
    } else {
        m_sizeFloat.cy = (self.bottom - self.top) + (cursor.y - frame.bottom);
    }
}

LRESULT CResizableBar::OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    // The edges follow every move: the non-client area is calculated again each time.
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (pos)
        pos->flags |= SWP_FRAMECHANGED;
    m_dockBarId = CurrentDockBarId();
    if (pos && (pos->flags & SWP_SHOWWINDOW) && !IsBarFloating())
        m_keepSize = true;
    return 0;
}

LRESULT CResizableBar::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    CDockContext* context = GetDockContext();
    if (m_isTracking || !context || !m_pDockBar) {
        bHandled = FALSE;
        return 0;
    }
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    context->StartDrag(pt);
    return 0;
}

LRESULT CResizableBar::OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    CDockContext* context = GetDockContext();
    if (m_isTracking || !context || !m_pDockBar) {
        bHandled = FALSE;
        return 0;
    }
    context->ToggleDocking();
    return 0;
}

LRESULT CResizableBar::OnSetText(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
    if (!IsFloating())
        return result;
    // The floating frame's caption shows the text of its dock bar.
    ::SetWindowTextW(m_pDockBar->m_hWnd, reinterpret_cast<LPCWSTR>(lParam));
    if (auto* floating =
            dynamic_cast<CMiniDockFrameWnd*>(FromHandlePermanent(::GetParent(m_pDockBar->m_hWnd))))
        floating->RecalcLayout();
    return result;
}

LRESULT CResizableBar::OnSettingChange(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    m_dragShowContent = ReadDragFullWindows();
    return 0;
}

BarEdge CResizableBar::TrackedEdge() const
{
    switch (m_trackedEdge) {
    case HTLEFT:
        return BarEdge::Left;
    case HTTOP:
        return BarEdge::Top;
    case HTRIGHT:
        return BarEdge::Right;
    default:
        return BarEdge::Bottom;
    }
}

int CResizableBar::FreeSpaceAcross() const
{
    CFrameWnd* frame = m_pFrame;
    if (!frame || !frame->m_hWnd)
        return 0;
    RECT free = {};
    frame->RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST, TRUE, &free);
    return IsHorzDocked() ? free.bottom - free.top : free.right - free.left;
}

bool CResizableBar::IsSideTracking() const
{
    const bool alongX = m_trackedEdge == HTLEFT || m_trackedEdge == HTRIGHT;
    return alongX ? IsHorzDocked() : IsVertDocked();
}

void CResizableBar::StartEdgeTracking(int hitCode, POINT screen)
{
    ::SetCapture(m_hWnd);
    if (!m_dragShowContent)
        ::RedrawWindow(m_hWnd, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    m_trackedEdge = hitCode;
    m_isTracking = true;
    const bool alongX = hitCode == HTLEFT || hitCode == HTRIGHT;
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const RECT edge = GetEdgeRect(window, hitCode);
    const int middle = alongX ? (edge.left + edge.right) / 2 : (edge.top + edge.bottom) / 2;
    m_trackPos = alongX ? screen.x : screen.y;
    m_trackEdgeOffset = m_trackPos - middle;
    const bool horz = IsHorzDocked();
    const std::vector<CResizableBar*> sizing = SizingRowBars();
    const auto at = std::find(sizing.begin(), sizing.end(), this);
    const int self = at == sizing.end() ? 0 : static_cast<int>(at - sizing.begin());
    const std::vector<DockRowBar> row = RowRecords(sizing, horz);
    const TrackLimits limits =
        IsSideTracking() ? SideTrackLimits(row, self, TrackedEdge(), m_trackPos)
                         : ThicknessTrackLimits(row, self, TrackedEdge(), m_trackPos, FreeSpaceAcross());
    m_trackMin = limits.min;
    m_trackMax = limits.max;
    InvertTracker();
}

void CResizableBar::UpdateTrackedSize(POINT screen)
{
    const bool alongX = m_trackedEdge == HTLEFT || m_trackedEdge == HTRIGHT;
    const int pos = std::clamp(static_cast<int>(alongX ? screen.x : screen.y), m_trackMin,
                               std::max(m_trackMin, m_trackMax));
    const int delta = pos - m_trackPos;
    if (delta == 0)
        return;
    InvertTracker();
    m_trackPos = pos;
    const bool horz = IsHorzDocked();
    const std::vector<CResizableBar*> sizing = SizingRowBars();
    const auto at = std::find(sizing.begin(), sizing.end(), this);
    const int self = at == sizing.end() ? 0 : static_cast<int>(at - sizing.begin());
    std::vector<DockRowBar> row = RowRecords(sizing, horz);
    if (IsSideTracking())
        ApplySideDrag(row, self, TrackedEdge(), delta);
    else
        ApplyThicknessDrag(row, self, TrackedEdge(), delta);
    StoreRowRecords(sizing, row, horz);
    InvertTracker();
    // With contents shown the panes follow the mouse: the frame lays them out at once.
    if (m_dragShowContent && m_pFrame && m_pFrame->m_hWnd)
        m_pFrame->RecalcLayout();
}

void CResizableBar::InvertTracker()
{
    if (m_dragShowContent || !m_isTracking || !m_pFrame || !m_pFrame->m_hWnd)
        return;
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    RECT edge = GetEdgeRect(window, m_trackedEdge);
    if (::IsRectEmpty(&edge))
        return;
    const bool alongX = m_trackedEdge == HTLEFT || m_trackedEdge == HTRIGHT;
    // Across the whole dock bar when the drag changes the row's thickness.
    RECT dock = {};
    if (!IsSideTracking() && ::GetWindowRect(::GetParent(m_hWnd), &dock)) {
        if (alongX) {
            edge.top = dock.top + 1;
            edge.bottom = dock.bottom - 1;
        } else {
            edge.left = dock.left + 1;
            edge.right = dock.right - 1;
        }
    }
    const int middle = alongX ? (edge.left + edge.right) / 2 : (edge.top + edge.bottom) / 2;
    const int shift = m_trackPos - m_trackEdgeOffset - middle;
    ::OffsetRect(&edge, alongX ? shift : 0, alongX ? 0 : shift);
    RECT site = {};
    ::GetWindowRect(m_pFrame->m_hWnd, &site);
    ::OffsetRect(&edge, -site.left, -site.top);
    HDC dc = ::GetDCEx(m_pFrame->m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (!dc)
        return;
    HBRUSH brush = CreateDockHalftoneBrush();
    HGDIOBJ old = brush ? ::SelectObject(dc, brush) : nullptr;
    ::PatBlt(dc, edge.left, edge.top, edge.right - edge.left, edge.bottom - edge.top, PATINVERT);
    if (brush) {
        ::SelectObject(dc, old);
        ::DeleteObject(brush);
    }
    ::ReleaseDC(m_pFrame->m_hWnd, dc);
}

void CResizableBar::StopEdgeTracking()
{
    InvertTracker();
    m_isTracking = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_pFrame && m_pFrame->m_hWnd)
        m_pFrame->DelayRecalcLayout();
}

HBRUSH CResizableBar::GetBackgroundBrush()
{
    return reinterpret_cast<HBRUSH>(::GetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND));
}

LRESULT CResizableBar::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    HDC windowDc = ::GetWindowDC(m_hWnd);
    if (!windowDc)
        return 0;
    RECT window = {};
    RECT client = {};
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);
    ::OffsetRect(&window, -window.left, -window.top);
    HDC memory = ::CreateCompatibleDC(windowDc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(windowDc, window.right, window.bottom);
    if (memory && bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        HBRUSH background = GetBackgroundBrush();
        ::FillRect(memory, &window, background ? background : ::GetSysColorBrush(COLOR_BTNFACE));
        RECT border = window;
        ::DrawEdge(memory, &border, EDGE_ETCHED, BF_RECT);
        PaintGripper(memory, client);
        PaintNonClientExtra(memory, client, window);
        ::ExcludeClipRect(windowDc, client.left, client.top, client.right, client.bottom);
        ::BitBlt(windowDc, 0, 0, window.right, window.bottom, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
    }
    if (bitmap)
        ::DeleteObject(bitmap);
    if (memory)
        ::DeleteDC(memory);
    ::ReleaseDC(m_hWnd, windowDc);
    return 0;
}

LRESULT CResizableBar::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    ::ValidateRect(m_hWnd, nullptr);
    return 0;
}

void CResizableBarG::CalcClientRect(RECT& rect, UINT dockBarId)
{
    CResizableBar::CalcClientRect(rect, dockBarId);
    if (!HasGripper())
        return;
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    if (IsHorzDocked()) {
        rect.left += m_gripperWidth;
        m_closeOrigin = POINT{rect.left - 13, rect.top};
    } else {
        rect.top += m_gripperWidth;
        m_closeOrigin = POINT{rect.right - 12, rect.top - 13};
    }
    // The rectangle arrives in parent coordinates; the button is kept relative to the window.
    POINT topLeft = {window.left, window.top};
    ::ScreenToClient(::GetParent(m_hWnd), &topLeft);
    m_closeOrigin.x -= topLeft.x;
    m_closeOrigin.y -= topLeft.y;
}

LRESULT CResizableBarG::OnNcHitTestG(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    const LRESULT hit = OnNcHitTest(msg, wParam, lParam, bHandled);
    if (hit != HTCLIENT || !HasGripper())
        return hit;
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const RECT button = {window.left + m_closeOrigin.x, window.top + m_closeOrigin.y,
                         window.left + m_closeOrigin.x + 11, window.top + m_closeOrigin.y + 11};
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::PtInRect(&button, pt) ? HTCLOSE : HTCLIENT;
}

LRESULT CResizableBarG::OnNcLButtonUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    SetCloseButtonState(false, wParam == HTCLOSE);
    CFrameWnd* site = GetDockingFrame();
    if (wParam == HTCLOSE && site)
        site->ShowControlBar(this, FALSE, FALSE);
    return 0;
}

void CResizableBarG::PaintCloseButton(HDC dc)
{
    RECT button = {m_closeOrigin.x, m_closeOrigin.y, m_closeOrigin.x + 11, m_closeOrigin.y + 11};
    if (m_closePushed)
        ::DrawEdge(dc, &button, BDR_SUNKENOUTER, BF_RECT);
    else if (m_closeHot)
        ::DrawEdge(dc, &button, BDR_RAISEDINNER, BF_RECT);
    if (DrawCaptionCloseButton(m_hWnd, dc, button, m_closePushed, m_closeHot))
        return;
    const int tenths = ::MulDiv(60, 96, ::GetDeviceCaps(dc, LOGPIXELSX));
    const GdiObject<HFONT> font = CreatePointFont(dc, L"Marlett", tenths, 0);
    const SelectedObject selected(dc, font.get());
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    if (::lstrcmpiW(face, L"Marlett") != 0) {
        // Without the symbol font the "r" would show as a letter: draw the cross by hand.
        DrawCrossGlyph(dc, button);
        return;
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::TextOutW(dc, button.left + 2, button.top + 2, L"r", 1);
}

void CResizableBarG::SetCloseButtonState(bool pushed, bool hot)
{
    if (pushed == m_closePushed && hot == m_closeHot)
        return;
    m_closePushed = pushed;
    m_closeHot = hot;
    ::SendMessageW(m_hWnd, WM_NCPAINT, 1, 0);
}

void CResizableBarG::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    if (!HasGripper() || !m_hWnd)
        return;
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    const bool over = ::SendMessageW(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLOSE;
    const bool down = IsLeftButtonDown();
    SetCloseButtonState(over && down, over && !down);
}

LRESULT CResizableBarG::OnNcMouseMoveG(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (!HasGripper())
        return 0;
    const bool over = wParam == HTCLOSE;
    const bool down = IsLeftButtonDown();
    SetCloseButtonState(over && down, over && !down);
    return 0;
}

LRESULT CResizableBarG::OnNcLButtonDownG(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (wParam == HTCLOSE && HasGripper())
        SetCloseButtonState(true, false);
    return 0;
}

void CResizableBarG::PaintGripper(HDC dc, const RECT& client)
{
    if (!HasGripper())
        return;
    RECT strip = client;
    ::InflateRect(&strip, -1, -1);
    if (IsHorzDocked()) {
        strip.left -= m_gripperWidth;
        strip.right = strip.left + 3;
        strip.top = m_closeOrigin.y + 11 + 3;
    } else {
        strip.top -= m_gripperWidth;
        strip.bottom = strip.top + 3;
        strip.right = m_closeOrigin.x - 3;
    }
    for (int copy = 0; copy < 2; ++copy) {
        RECT line = strip;
        if (IsHorzDocked())
            ::OffsetRect(&line, copy * 3, 0);
        else
            ::OffsetRect(&line, 0, copy * 3);
        ::DrawEdge(dc, &line, BDR_RAISEDINNER, BF_RECT);
    }
    PaintCloseButton(dc);
}

CResizableBarCF::CResizableBarCF()
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    LOGFONTW font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
    const bool tahoma = dc && ::EnumFontFamiliesExW(dc, &font, StopAtFirstFont, 0, 0) == 0;
    if (dc)
        ::DeleteDC(dc);
    m_captionFontFace = tahoma ? L"Tahoma" : L"Arial";
}

void CResizableBarCF::PaintGripper(HDC dc, const RECT& client)
{
    if (!HasGripper())
        return;
    RECT caption = client;
    if (IsHorzDocked()) {
        caption.left = client.left - m_gripperWidth - 1;
        caption.right = caption.left + 11;
        caption.top = m_closeOrigin.y + 11 + 3;
        ::InflateRect(&caption, 1, 0);
    } else {
        caption.top = client.top - m_gripperWidth - 1;
        caption.bottom = caption.top + 11;
        caption.right = m_closeOrigin.x - 3;
        ::InflateRect(&caption, 0, 1);
    }
    const CaptionColors colors = GetCaptionColors(m_isActive);
    if (ReadGradientCaptions()) {
        // The text runs upwards on a horizontal bar: the strip starts at its bottom there.
        if (IsHorzDocked())
            DrawEffects::Gradient(dc, caption, colors.gradient, colors.first, false);
        else
            DrawEffects::Gradient(dc, caption, colors.first, colors.gradient, true);
    } else {
        const GdiObject<HBRUSH> brush(::CreateSolidBrush(colors.first));
        ::FillRect(dc, &caption, brush.get());
    }
    const int tenths = ::MulDiv(85, 96, ::GetDeviceCaps(dc, LOGPIXELSX));
    const GdiObject<HFONT> font = CreatePointFont(dc, m_captionFontFace, tenths, IsHorzDocked() ? 900 : 0);
    wchar_t text[256] = {};
    ::GetWindowTextW(m_hWnd, text, 256);
    {
        const SelectedObject selected(dc, font.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, colors.text);
        const POINT at = IsHorzDocked() ? POINT{caption.left - 1, caption.bottom - 3}
                                        : POINT{caption.left + 3, caption.top - 1};
        ::ExtTextOutW(dc, at.x, at.y, ETO_CLIPPED, &caption, text, lstrlenW(text), nullptr);
    }
    PaintCloseButton(dc);
}

CResizableBarCF::CaptionColors CResizableBarCF::GetCaptionColors(bool) const
{
    // The strip stays quiet in the button face colours whether the focus is inside the bar or not.
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    return {face, face, ::GetSysColor(COLOR_BTNTEXT)};
}

void CResizableBarCF::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler)
{
    CResizableBarG::OnUpdateCmdUI(target, disableIfNoHandler);
    if (!HasGripper() || !m_hWnd)
        return;
    HWND focus = ::GetFocus();
    const bool active = focus && ::IsChild(m_hWnd, focus);
    if (active == m_isActive)
        return;
    m_isActive = active;
    ::SendMessageW(m_hWnd, WM_NCPAINT, 1, 0);
}

LRESULT CResizableBarCF::OnSetTextCF(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    const LRESULT result = OnSetText(msg, wParam, lParam, bHandled);
    ::SendMessageW(m_hWnd, WM_NCPAINT, 1, 0);
    return result;
}
