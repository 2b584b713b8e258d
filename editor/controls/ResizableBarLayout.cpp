#include "editor/controls/ResizableBarLayout.h"

#include <algorithm>
#include <cstdlib>

namespace
{

int CountSizing(const std::vector<DockRowBar>& row)
{
    return static_cast<int>(
        std::count_if(row.begin(), row.end(), [](const DockRowBar& b) { return b.sizing; }));
}

// Spreads `delta` one pixel at a time over the sizing bars in passes. A pass that changes nothing or a
// used-up delta clears every keepSize mark; a second pass without change ends the spreading (all bars at
// their minimum), so the loop always ends.
void SpreadDelta(std::vector<DockRowBar>& row, int delta)
{
    bool clearedWithoutChange = false;
    while (delta != 0) {
        bool changed = false;
        for (DockRowBar& bar : row) {
            if (delta == 0)
                break;
            if (!bar.sizing || bar.keepSize)
                continue;
            if (delta < 0 && bar.length <= bar.minLength)
                continue;
            const int step = delta > 0 ? 1 : -1;
            bar.length += step;
            delta -= step;
            changed = true;
        }
        if (changed && delta != 0) {
            clearedWithoutChange = false;
            continue;
        }
        for (DockRowBar& bar : row)
            if (bar.sizing)
                bar.keepSize = false;
        if (!changed) {
            if (clearedWithoutChange)
                return;
            clearedWithoutChange = true;
        }
    }
}

} // namespace

DockRowResult NegotiateDockRow(std::vector<DockRowBar>& row, int self, int totalLength)
{
    DockRowResult result;
    int minTotal = 2;
    int available = totalLength;
    int actual = 0;
    int widthMax = 0;
    const int count = static_cast<int>(row.size());
    for (int i = 0; i < count; ++i) {
        const DockRowBar& bar = row[i];
        minTotal += bar.sizing ? bar.minLength - 2 : bar.length - 2;
        if (minTotal > totalLength) {
            if (i < self) {
                result.breakAfter = i;
                return result;
            }
            if (i > self) {
                result.breakBefore = i;
                row.resize(i);
                break;
            }
            row[i].length = row[i].minLength;
            result.fits = true;
            return result;
        }
        if (bar.sizing) {
            actual += bar.length - 2;
            widthMax = std::max(widthMax, bar.width);
        } else {
            available -= bar.length - 2;
        }
    }
    const int delta = available - actual;
    if (CountSizing(row) == 1) {
        for (DockRowBar& bar : row) {
            if (bar.sizing && delta != 0) {
                bar.keepSize = false;
                bar.length += delta;
            }
        }
        result.fits = true;
        return result;
    }
    for (DockRowBar& bar : row)
        if (bar.sizing)
            bar.width = widthMax;
    SpreadDelta(row, delta);
    result.fits = true;
    return result;
}

TrackLimits SideTrackLimits(const std::vector<DockRowBar>& row, int self, BarEdge edge, int pos)
{
    TrackLimits limits{pos, pos};
    // The first bar after the edge.
    const int firstAfter = IsLeadingEdge(edge) ? self : self + 1;
    for (int i = 0; i < static_cast<int>(row.size()); ++i) {
        if (!row[i].sizing)
            continue;
        const int spare = row[i].length - row[i].minLength;
        if (i < firstAfter)
            limits.min -= spare;
        else
            limits.max += spare;
    }
    return limits;
}

TrackLimits ThicknessTrackLimits(const std::vector<DockRowBar>& row, int self, BarEdge edge, int pos,
                                 int freeSpace)
{
    int minWidthMax = 0;
    for (const DockRowBar& bar : row)
        if (bar.sizing)
            minWidthMax = std::max(minWidthMax, bar.minWidth);
    const int room = row[self].width - minWidthMax;
    const int farLimit = freeSpace - 2;
    TrackLimits limits{pos, pos};
    if (IsLeadingEdge(edge)) {
        limits.min -= farLimit;
        limits.max += room;
    } else {
        limits.min -= room;
        limits.max += farLimit;
    }
    return limits;
}

void ApplySideDrag(std::vector<DockRowBar>& row, int self, BarEdge edge, int delta)
{
    if (delta == 0)
        return;
    bool before = IsLeadingEdge(edge);
    int growing = self;
    if (before && delta > 0)
        growing = self - 1;
    if (!before && delta < 0)
        growing = self + 1;
    const int count = static_cast<int>(row.size());
    if (growing < 0 || growing >= count)
        return;
    if (growing != self)
        before = !before;
    // `before`: the bars that give up length lie before the growing bar (else after it), walked away
    // from the edge. The growing bar takes only what they gave, so the row keeps its length.
    int rest = std::abs(delta);
    const int step = before ? -1 : 1;
    int given = 0;
    for (int i = growing + step; i >= 0 && i < count && rest > 0; i += step) {
        DockRowBar& bar = row[i];
        if (!bar.sizing)
            continue;
        const int take = std::min(rest, std::max(0, bar.length - bar.minLength));
        bar.length -= take;
        rest -= take;
        given += take;
    }
    row[growing].length += given;
}

void ApplyThicknessDrag(std::vector<DockRowBar>& row, int self, BarEdge edge, int delta)
{
    const int width = IsLeadingEdge(edge) ? row[self].width - delta : row[self].width + delta;
    for (DockRowBar& bar : row)
        if (bar.sizing)
            bar.width = width;
}
