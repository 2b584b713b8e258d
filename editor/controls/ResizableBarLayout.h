#pragma once
// The arithmetic of resizable docking bars, free of windows: how the bars of one dock row share its
// length, and how far an edge drag may go and what it does to the bars of the row. Lengths run along
// the row (cx of a horizontal row, cy of a vertical one), widths across it.

#include <vector>

struct DockRowBar
{
    bool sizing = true; // a resizable bar; other bars keep their length
    int length = 0;     // the current length along the row
    int width = 0;      // the current width across the row
    int minLength = 0;  // sizing bars only
    int minWidth = 0;   // sizing bars only
    bool keepSize = false;
};

struct DockRowResult
{
    bool fits = false;    // the row was shared; false: a row break is needed
    int breakAfter = -1;  // insert a row break after this index (the negotiation failed)
    int breakBefore = -1; // insert a row break before this index (bars from there on left the row)
};

// Shares `totalLength` among the bars of the row on behalf of bar `self` (the first sizing bar). Bars
// that no longer fit are cut off by a row break; `self` alone too long is set to its minimum.
DockRowResult NegotiateDockRow(std::vector<DockRowBar>& row, int self, int totalLength);

enum class BarEdge
{
    Left,
    Top,
    Right,
    Bottom
};

struct TrackLimits
{
    int min = 0;
    int max = 0;
};

// Side tracking: the edge lies between two bars of the row. Bars before the edge may give up their
// length above minimum (lowering min), bars after it likewise (raising max).
TrackLimits SideTrackLimits(const std::vector<DockRowBar>& row, int self, BarEdge edge, int pos);

// Thickness tracking: the row's width changes. `freeSpace` is the extent of the frame's free area
// across the row.
TrackLimits ThicknessTrackLimits(const std::vector<DockRowBar>& row, int self, BarEdge edge, int pos,
                                 int freeSpace);

// Applies an accepted move `delta` of a side edge: the bar on the growing side takes |delta|, the bars on
// the far side give it up, each down to its minimum at most.
void ApplySideDrag(std::vector<DockRowBar>& row, int self, BarEdge edge, int delta);

// Applies a move `delta` of a thickness edge: every sizing bar of the row takes the new width.
void ApplyThicknessDrag(std::vector<DockRowBar>& row, int self, BarEdge edge, int delta);

// True for the left and top edges, which face the start of the row or the frame's outer side.
inline bool IsLeadingEdge(BarEdge edge)
{
    return edge == BarEdge::Left || edge == BarEdge::Top;
}
