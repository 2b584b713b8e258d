#include "editor/controls/TreeCtrlWalk.h"

namespace
{
HTREEITEM Next(HWND tree, HTREEITEM item, UINT code)
{
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

// The item and its subtree; siblings only when `withSiblings`.
HTREEITEM Walk(HWND tree, TreeItemCallback callback, void* data, HTREEITEM item, bool withSiblings)
{
    for (; item != nullptr; item = Next(tree, item, TVGN_NEXT)) {
        if (!callback(tree, item, data))
            return item;
        if (HTREEITEM stopped = Walk(tree, callback, data, Next(tree, item, TVGN_CHILD), true))
            return stopped;
        if (!withSiblings)
            return nullptr;
    }
    return nullptr;
}
} // namespace

HTREEITEM ForEachTreeCtrlItem(HWND tree, TreeItemCallback callback, void* data)
{
    if (!callback || !::IsWindow(tree))
        return nullptr;
    return Walk(tree, callback, data, Next(tree, nullptr, TVGN_ROOT), true);
}

HTREEITEM ForEachTreeCtrlItemFrom(HWND tree, TreeItemCallback callback, void* data, HTREEITEM item)
{
    if (!callback || !::IsWindow(tree))
        return nullptr;
    return Walk(tree, callback, data, item, false);
}

bool EnsureTreeItemVisibleKeepHScroll(HWND tree, HTREEITEM item)
{
    if (!item)
        return false;
    const int before = ::GetScrollPos(tree, SB_HORZ);
    ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    if (::GetScrollPos(tree, SB_HORZ) != before) {
        ::SendMessageW(tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, before), 0);
        ::SendMessageW(tree, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    }
    return true;
}
