#pragma once
// Walks over the items of a tree control and a scroll-keeping "ensure visible".

#include <windows.h>

#include <commctrl.h>

// Called for each item with the tree's window handle; false stops the walk.
using TreeItemCallback = bool (*)(HWND tree, HTREEITEM item, void* data);

// Every item of the tree, depth-first, each item before its children. The item at which the
// callback stopped the walk, or null when it went through.
HTREEITEM ForEachTreeCtrlItem(HWND tree, TreeItemCallback callback, void* data);
// The same walk over one item and its subtree (not its later siblings).
HTREEITEM ForEachTreeCtrlItemFrom(HWND tree, TreeItemCallback callback, void* data, HTREEITEM item);

// TVM_ENSUREVISIBLE of the item, with the horizontal scroll position put back when that moved it.
// False for a null item (nothing is done), else true.
bool EnsureTreeItemVisibleKeepHScroll(HWND tree, HTREEITEM item);
