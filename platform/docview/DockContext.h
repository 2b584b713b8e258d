#pragma once
// The dock context of a control bar that can float: drags the bar from its dock bar or floating frame to
// another dock side of its frame or to a floating frame, toggles it between docked and floating, and keeps
// the state a floating frame's resize hands to the bar's dynamic-layout query.
//
// A drag moves an inverted outline on the screen; released over the area of a dock side that the bar
// allows (the side's dock bar, or a strip along the frame's free area where the dock bar is empty), the
// bar docks there, elsewhere it floats with its floating frame's top-left corner at the outline's. Esc, the
// right button or a lost capture cancel. StartDrag runs the whole drag in a message loop of its own;
// BeginDrag, MoveDrag, EndDrag and CancelDrag are its steps.

#include <windows.h>

class CControlBar;
class CFrameWnd;

// An 8 x 8 checker brush (every other pixel) for drag outlines drawn with PATINVERT; the caller deletes it.
HBRUSH CreateDockHalftoneBrush();

class CDockContext
{
public:
    explicit CDockContext(CControlBar* pBar);
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;
    ~CDockContext();

    // Drags the bar from the screen point until the left button goes up (or the drag is cancelled).
    void StartDrag(POINT pt);
    void BeginDrag(POINT pt);
    void MoveDrag(POINT pt);
    // Ends the drag at the point: docks or floats the bar there. A drag that never left the system's drag
    // distance changes nothing.
    void EndDrag(POINT pt);
    void CancelDrag();
    BOOL IsDragging() const { return m_bDragging; }

    // Floating: docks the bar at the side it was last docked at; docked: floats it where it last floated
    // (at first over its docked place).
    void ToggleDocking();

    // The dock bar id of the side at the screen point that the bar may dock at; 0 when none.
    UINT DockTargetAt(POINT pt) const;

    // Frame resize state read by the bar's dynamic-layout query: the hit code of the floating frame's
    // border being dragged (HTNOWHERE when none), the cursor, and the frame's proposed rectangle.
    int m_nHitTest = HTNOWHERE;
    POINT m_ptLast{};
    RECT m_rectFrameDrag{};

    // The side the bar was last docked at and the place it last floated at.
    UINT m_uMRUDockID = 0;
    POINT m_ptMRUFloatPos{};
    bool m_bHasFloatPos = false;

    // Width of the strip that stands for an empty dock side.
    static constexpr int kDockZone = 24;

private:
    void DrawTracker();
    CFrameWnd* DockSite() const;

    CControlBar* m_pBar;
    bool m_bDragging = false;
    bool m_bMoved = false;
    bool m_bTrackerShown = false;
    POINT m_ptStart{};
    RECT m_rectStart{};
    RECT m_rectDrag{};
    RECT m_rectShown{};
    int m_nShownThickness = 0;
    UINT m_uTarget = 0;
};
