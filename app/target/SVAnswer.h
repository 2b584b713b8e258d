#pragma once

// What the main program answers to a query, written into the interchange area
// as an "SVAnswer" document when the tray window asks for it.

#include <vector>

#include "engine/MenuItemRecord.h"

struct SVAnswer
{
    std::vector<MenuItemRecord> Items;
    int MenuPerColumn = -1; // 0: not written
    int Sound = 0;          // flags, 0 or 1
    int ShowToolTips = 1;
    int ForegroundTopMostWnd = 0;
};
