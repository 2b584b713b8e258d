#pragma once

// Where a balloon tooltip goes: its direction after flipping away from the
// screen edges, the anchor point (relative to the window) and the body and
// anchor-triangle shape. Pure arithmetic, no windows.

#include <windows.h>

#include <array>

// Shape size slots of the tooltip.
enum ToolTipSize
{
    kTipCornerWidth = 0,
    kTipCornerHeight = 1,
    kTipMarginX = 2,
    kTipMarginY = 3,
    kTipAnchorWidth = 4,
    kTipAnchorHeight = 5,
    kTipAnchorMargin = 6,
    kTipSizeCount = 9,
};

using ToolTipSizes = std::array<int, kTipSizeCount>;

// The nine sizes of a balloon (true) or a rectangle (false).
ToolTipSizes BalloonSizes(bool balloon);

struct ToolTipPlacement
{
    int direction = 16; // group (0 below, 16 above, 32 right, 48 left) + position (0, 1, 2)
    POINT anchor = {};  // relative to the window's top-left corner
    SIZE window = {};   // body plus anchor strip
    RECT body = {};     // relative to the window
    POINT triangle[3] = {};
};

// Places a body of bodySize for the point (screen co-ordinates) on the screen.
ToolTipPlacement PlaceToolTip(int direction, POINT point, SIZE bodySize, const ToolTipSizes& sizes,
                              const RECT& screen);

// The window-shaped region of a placement (rounded body joined with the
// anchor triangle); the caller deletes it.
HRGN CreateToolTipRegion(const ToolTipPlacement& placement, const ToolTipSizes& sizes);
