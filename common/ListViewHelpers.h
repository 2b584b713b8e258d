#pragma once

// Free functions on list-view controls.

#include <windows.h>

// Scrolls the list so that the item ends up at (or as near as possible to)
// the top of the visible area. 0 when the list is empty or the item is out of
// range; otherwise the result of making the item itself visible.
LRESULT ListViewScrollItemToTop(HWND list, int item);
