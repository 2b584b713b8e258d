#pragma once
// Resizable docked panes of the editor's frame. CResizableBar keeps its own size per state (docked
// across the top or bottom, docked at a side, floating), lets the user drag the edge that faces the
// frame's centre to resize it (limits and arithmetic in ResizableBarLayout), and paints its non-client
// area through one off-screen bitmap. CResizableBarG adds a close button that hides the bar through the
// frame; CResizableBarCF a caption strip with the bar's window text.
//
// Docked in one of the frame's dock bars (DockControlBar), the bar's state is its parent's id: top or
// bottom "docked horizontally", left or right "docked vertically", the floating dock bar "floating". With
// docking enabled, a left-button drag in the bar (or on its caption strip) moves it through its dock
// context to another side or into a floating frame, and a double click toggles it between docked and
// floating. A bar the frame lays out directly (never docked) stands for the side of its alignment style.

#include "editor/controls/ResizableBarLayout.h"
#include "platform/docview/ControlBars.h"

#include <vector>

class CResizableBar : public CControlBar
{
    DECLARE_DYNAMIC(CResizableBar)

public:
    static constexpr UINT kDockTop = 59419;
    static constexpr UINT kDockLeft = 59420;
    static constexpr UINT kDockRight = 59421;
    static constexpr UINT kDockBottom = 59422;
    static constexpr UINT kFloating = 59423;

    BEGIN_MSG_MAP(CResizableBar)
    MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
    MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDown)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnStopTracking)
    MESSAGE_HANDLER(WM_RBUTTONDOWN, OnStopTracking)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
    MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    CHAIN_MSG_MAP(CControlBar)
    END_MSG_MAP()

    // `style` holds the alignment (CBRS_ALIGN_*) and window styles.
    BOOL Create(LPCWSTR name, HWND parent, UINT id, DWORD style);
    BOOL Create(LPCWSTR name, HWND parent, SIZE defaultSize, BOOL hasGripper, UINT id, DWORD style);
    CWndClassInfo& GetWndClassInfo() override;
    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // Docked: the framework's answer. Floating: the floating size, set from the length (or, for a corner
    // drag of the floating frame, from the cursor), never below the floating minimum.
    SIZE CalcDynamicLayout(int nLength, DWORD dwMode) override;

    UINT GetDockBarId() const { return m_dockBarId; }
    SIZE GetFloatSize() const { return m_sizeFloat; }
    bool IsHorzDocked() const { return m_dockBarId == kDockTop || m_dockBarId == kDockBottom; }
    bool IsVertDocked() const { return m_dockBarId == kDockLeft || m_dockBarId == kDockRight; }
    bool IsBarFloating() const { return !IsHorzDocked() && !IsVertDocked(); }
    bool IsTracking() const { return m_isTracking; }
    // Whether an edge drag resizes the panes live (the system's "show window contents while dragging",
    // read at creation and on every setting change) or draws an outline until the mouse is released.
    bool GetDragShowContent() const { return m_dragShowContent; }
    void SetDragShowContent(bool on) { m_dragShowContent = on; }
    // The docked and floating sizes in the application profile (HKCU\Software\<registry key>\section,
    // the section "<profileName>-SCBar-<bar id>"): loading keeps each size at least its minimum and the
    // current value where nothing is stored; saving writes the six values. False when the profile cannot
    // be opened.
    bool LoadSizeState(LPCWSTR profileName);
    bool SaveSizeState(LPCWSTR profileName) const;
    SIZE GetHorzSize() const { return m_sizeHorz; }
    SIZE GetVertSize() const { return m_sizeVert; }
    int GetEdgeFlags() const { return m_edgeFlags; }
    // The rectangle (screen) of the draggable edge with the hit code; empty when that edge is not draggable.
    RECT GetEdgeRect(const RECT& window, int hitCode) const;

protected:
    virtual void StartEdgeTracking(int hitCode, POINT screen);
    virtual void StopEdgeTracking();
    virtual void UpdateTrackedSize(POINT screen);
    // Inverts the outline of the tracked edge at its current place on the frame (outline mode only).
    virtual void InvertTracker();
    virtual void PaintGripper(HDC dc, const RECT& client) {}
    virtual void PaintNonClientExtra(HDC dc, const RECT& client, const RECT& window) {}
    virtual void CalcClientRect(RECT& rect, UINT dockBarId);
    virtual HBRUSH GetBackgroundBrush();

    LRESULT OnNcCalcSize(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnNcLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnStopTracking(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnNcPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSetText(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);

    UINT DockBarIdFromStyle() const;
    // The id of the dock bar the bar sits in; a bar outside any dock bar: the side of its style.
    UINT CurrentDockBarId() const;
    // The floating size while the floating frame is dragged by a corner.
    void FollowCornerDrag();
    // The visible bars of this bar's dock row; a bar outside any dock bar is alone in its row.
    std::vector<CControlBar*> VisibleRowBars() const;
    // The sizing bars (resizable bars) among them.
    std::vector<CResizableBar*> SizingRowBars() const;
    // Shares the dock bar's length among the bars of the row when this is the row's first sizing bar;
    // bars that no longer fit move to a new row.
    void NegotiateRow(bool horz);
    // The lengths along and widths across the row of the bars (cx/cy of the docked size of each).
    static std::vector<DockRowBar> RowRecords(const std::vector<CResizableBar*>& bars, bool horz);
    static void StoreRowRecords(const std::vector<CResizableBar*>& bars,
                                const std::vector<DockRowBar>& records, bool horz);
    // The tracked edge lies between two bars of the row (else it changes the row's thickness).
    bool IsSideTracking() const;
    BarEdge TrackedEdge() const;
    // The extent across the bar of the frame's area left to the view.
    int FreeSpaceAcross() const;

    int m_edgeFlags = 0;
    int m_trackedEdge = 0;
    SIZE m_sizeHorz{200, 200};
    SIZE m_sizeVert{200, 200};
    SIZE m_sizeFloat{200, 200};
    SIZE m_minHorz{33, 32};
    SIZE m_minVert{33, 32};
    SIZE m_minFloat{37, 32};
    int m_trackMin = 0;
    int m_trackMax = 0;
    int m_trackPos = 0;
    int m_trackEdgeOffset = 0;
    bool m_isTracking = false;
    bool m_keepSize = false; // shown while docked: the next row sharing leaves its length alone
    bool m_dragShowContent = false;
    UINT m_dockBarId = 0;
    int m_edgeWidth = 5;
};

// A docked bar with a close button (11 x 11) at the start of its gripper. The button shows hot while the
// mouse is over it and pushed while the left button is down on it (themed where a theme draws it, else the
// Marlett close glyph); the frame's idle update reads both again from the cursor.
class CResizableBarG : public CResizableBar
{
    DECLARE_DYNAMIC(CResizableBarG)

public:
    BEGIN_MSG_MAP(CResizableBarG)
    MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTestG)
    MESSAGE_HANDLER(WM_NCMOUSEMOVE, OnNcMouseMoveG)
    MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDownG)
    MESSAGE_HANDLER(WM_NCLBUTTONUP, OnNcLButtonUp)
    CHAIN_MSG_MAP(CResizableBar)
    END_MSG_MAP()

    virtual bool HasGripper() const { return !IsBarFloating(); }
    // Window coordinates of the close button's top-left corner.
    POINT GetCloseButtonOrigin() const { return m_closeOrigin; }
    // The close button's state from the cursor and the left button.
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

protected:
    void CalcClientRect(RECT& rect, UINT dockBarId) override;
    void PaintGripper(HDC dc, const RECT& client) override;
    void PaintCloseButton(HDC dc);
    // Stores the state and repaints the non-client area when it changed.
    void SetCloseButtonState(bool pushed, bool hot);
    LRESULT OnNcHitTestG(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnNcMouseMoveG(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnNcLButtonDownG(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnNcLButtonUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);

    int m_gripperWidth = 12;
    POINT m_closeOrigin{};
    bool m_closePushed = false;
    bool m_closeHot = false;
};

// A docked bar whose gripper is a caption strip showing the window text in a small font. While the
// keyboard focus is inside the bar the strip has the system's active caption colours, else the button
// face; with gradient captions on (the system setting) the strip runs from the caption colour into its
// gradient colour.
class CResizableBarCF : public CResizableBarG
{
    DECLARE_DYNAMIC(CResizableBarCF)

public:
    CResizableBarCF();

    BEGIN_MSG_MAP(CResizableBarCF)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetTextCF)
    CHAIN_MSG_MAP(CResizableBarG)
    END_MSG_MAP()

    const CString& GetCaptionFontFace() const { return m_captionFontFace; }
    bool IsActive() const { return m_isActive; }
    // The close button's state, then whether the focus is inside the bar.
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    // The strip's background (first and gradient colour) and text colour for the state: the button face
    // and the button text, active or not.
    struct CaptionColors
    {
        COLORREF first;
        COLORREF gradient;
        COLORREF text;
    };
    virtual CaptionColors GetCaptionColors(bool active) const;

protected:
    void PaintGripper(HDC dc, const RECT& client) override;
    LRESULT OnSetTextCF(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);

    bool m_isActive = false;
    CString m_captionFontFace;
};
