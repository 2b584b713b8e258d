#pragma once
// Drag and drop of one item inside a tree control: a drag cursor made from the item's drag image, a
// red insertion mark after the allowed target, automatic scrolling near the edges (one line per 50 ms
// step, rearmed by each mouse move), automatic expanding of a collapsed group held under the cursor for
// 400 ms, and the end by button release, Esc or the loss of the capture. The tree forwards its mouse,
// key, timer and capture messages while a drag runs (HandleMessage); the sink decides where a drop is
// allowed and carries it out.

#include <windows.h>

#include <commctrl.h>

class ITreeDropSink
{
public:
    virtual ~ITreeDropSink() = default;
    virtual bool CanDropOn(HTREEITEM dragged, HTREEITEM target) = 0;
    virtual void DropOn(HTREEITEM dragged, HTREEITEM target) = 0;
};

class TreeDragDropTracker
{
public:
    static constexpr UINT_PTR kScrollTimer = 8654;
    static constexpr UINT kScrollDelay = 50;
    static constexpr UINT_PTR kExpandTimer = 8655;
    static constexpr UINT kExpandDelay = 400;
    static constexpr UINT_PTR kEndTimer = 8656;

    enum Zone
    {
        kZoneBefore = 0, // up or left
        kZoneAfter = 1,  // down or right
        kZoneNone = 2,
    };
    enum EndReason
    {
        kNotEnded,
        kDropped,
        kRefused,
        kCancelled,
    };

    TreeDragDropTracker() = default;
    ~TreeDragDropTracker();
    TreeDragDropTracker(const TreeDragDropTracker&) = delete;
    TreeDragDropTracker& operator=(const TreeDragDropTracker&) = delete;

    // Starts dragging the item (captures the mouse); false when a drag runs already or nothing to drag.
    bool Begin(HWND tree, HTREEITEM item, ITreeDropSink* sink);
    bool IsDragging() const { return m_dragged != nullptr; }
    // Takes the tree's messages while a drag runs; true when the message was used up.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Ends the drag without a drop.
    void Cancel();

    HTREEITEM GetDraggedItem() const { return m_dragged; }
    HTREEITEM GetMarkedItem() const { return m_marked; }
    HTREEITEM GetExpandCandidate() const { return m_expandCandidate; }
    int GetVerticalZone() const { return m_vertZone; }
    int GetHorizontalZone() const { return m_horzZone; }
    EndReason GetLastEnd() const { return m_lastEnd; }

    // Removes the tree's insertion mark. Some tree implementations refuse "no item" and keep the mark;
    // there the mark is moved to a stand-in item that is taken out again at once, which takes the mark
    // with it.
    static void RemoveInsertMark(HWND tree);

    // The scroll zones of a point: vertical within two item heights of the top (only when scrolled down)
    // or the bottom edge, horizontal within one item height of the left (only when scrolled right) or
    // the right edge.
    static void ZonesOf(POINT point, const RECT& client, int itemHeight, bool scrolledDown,
                        bool scrolledRight, int* vertical, int* horizontal);

private:
    void OnMouseMove(POINT point);
    void OnButtonUp(POINT point);
    void OnTimer(UINT_PTR id);
    void End(EndReason reason);
    void MoveMark(HTREEITEM target);
    void RedrawAround(HTREEITEM item);
    HTREEITEM HitItem(POINT point, UINT* flags) const;
    HCURSOR MakeDragCursor(HTREEITEM item);

    HWND m_tree = nullptr;
    ITreeDropSink* m_sink = nullptr;
    HTREEITEM m_dragged = nullptr;
    HTREEITEM m_marked = nullptr;
    HTREEITEM m_expandCandidate = nullptr;
    HCURSOR m_dragCursor = nullptr;
    HCURSOR m_oldCursor = nullptr;
    int m_cursorState = 0;
    int m_vertZone = kZoneNone;
    int m_horzZone = kZoneNone;
    POINT m_lastPoint{};
    bool m_ending = false;
    EndReason m_lastEnd = kNotEnded;
};
