#include "editor/controls/ToolTipPlacement.h"

#include <algorithm>

namespace
{

// Position change by the room along one axis (point p, window length l,
// anchor margin m, screen from start to end).
int AdjustPosition(int position, int p, int l, int m, int start, int end)
{
    bool pastEndFromStart = p + l - m > end;
    bool pastStartFromEnd = p + m - l < start;
    switch (position) {
    case 0:
        if (pastEndFromStart)
            return pastStartFromEnd ? 2 : 1;
        return 0;
    case 1:
        if (pastStartFromEnd)
            return pastEndFromStart ? 2 : 0;
        return 1;
    default:
        if (m >= p - start)
            return 0;
        if (m >= end - p)
            return 1;
        return 2;
    }
}

// The anchor's offset along the edge of length l.
int AnchorOffset(int position, int p, int l, int m, int start, int end)
{
    int offset = position == 0 ? m : position == 1 ? l - m : l / 2;
    if (position == 2) {
        bool crossesStart = p - offset < start;
        bool crossesEnd = p + l - offset > end;
        if (crossesStart && !crossesEnd)
            offset = p - start;
        else if (crossesEnd && !crossesStart)
            offset = p + l - end;
    } else if (position == 0) {
        if (p - offset < start)
            offset = p - start;
    } else if (p + l - offset > end) {
        offset = p + l - end;
    }
    return std::clamp(offset, 0, l);
}

} // namespace

ToolTipSizes BalloonSizes(bool balloon)
{
    if (balloon)
        return ToolTipSizes{16, 16, 12, 12, 12, 16, 16, 0, 0};
    return ToolTipSizes{0, 0, 3, 1, 0, 0, 0, 0, 0};
}

ToolTipPlacement PlaceToolTip(int direction, POINT point, SIZE bodySize, const ToolTipSizes& sizes,
                              const RECT& screen)
{
    int group = direction & 0x30;
    int position = std::clamp(direction & 0x0F, 0, 2);
    int m = sizes[kTipAnchorMargin];
    int strip = sizes[kTipAnchorHeight];
    bool vertical = group == 0 || group == 16; // anchor on the top or bottom edge
    ToolTipPlacement result;
    result.window =
        vertical ? SIZE{bodySize.cx, bodySize.cy + strip} : SIZE{bodySize.cx + strip, bodySize.cy};
    int w = result.window.cx;
    int h = result.window.cy;
    if (vertical) {
        position = AdjustPosition(position, point.x, w, m, screen.left, screen.right);
        if (group == 0 && point.y + h > screen.bottom)
            group = 16;
        else if (group == 16 && point.y - h < screen.top)
            group = 0;
    } else {
        if (group == 32 && point.x + w > screen.right)
            group = 48;
        else if (group == 48 && point.x - w < screen.left)
            group = 32;
        position = AdjustPosition(position, point.y, h, m, screen.top, screen.bottom);
    }
    result.direction = group + position;
    result.body = RECT{0, 0, w, h};
    if (vertical) {
        result.anchor.x = AnchorOffset(position, point.x, w, m, screen.left, screen.right);
        result.anchor.y = group == 0 ? 0 : h;
        if (group == 0)
            result.body.top += strip;
        else
            result.body.bottom -= strip;
    } else {
        result.anchor.y = AnchorOffset(position, point.y, h, m, screen.top, screen.bottom);
        result.anchor.x = group == 32 ? 0 : w;
        if (group == 32)
            result.body.left += strip;
        else
            result.body.right -= strip;
    }
    int aw = sizes[kTipAnchorWidth];
    int length = vertical ? w : h;
    int from = 0;
    int to = 0;
    int along = vertical ? result.anchor.x : result.anchor.y;
    if (position == 0) {
        from = m;
        to = m + aw;
    } else if (position == 1) {
        from = length - m;
        to = length - m - aw;
    } else {
        from = along - aw / 2;
        to = along + aw / 2;
    }
    result.triangle[0] = result.anchor;
    if (vertical) {
        int edge = group == 0 ? result.body.top : result.body.bottom;
        result.triangle[1] = POINT{from, edge};
        result.triangle[2] = POINT{to, edge};
    } else {
        int edge = group == 32 ? result.body.left : result.body.right;
        result.triangle[1] = POINT{edge, from};
        result.triangle[2] = POINT{edge, to};
    }
    return result;
}

HRGN CreateToolTipRegion(const ToolTipPlacement& placement, const ToolTipSizes& sizes)
{
    const RECT& body = placement.body;
    HRGN region = ::CreateRoundRectRgn(body.left, body.top, body.right + 1, body.bottom + 1,
                                       sizes[kTipCornerWidth], sizes[kTipCornerHeight]);
    if (!region || sizes[kTipAnchorWidth] == 0 || sizes[kTipAnchorHeight] == 0)
        return region;
    HRGN triangle = ::CreatePolygonRgn(placement.triangle, 3, ALTERNATE);
    if (triangle) {
        ::CombineRgn(region, region, triangle, RGN_OR);
        ::DeleteObject(triangle);
    }
    return region;
}
