#pragma once

// A tooltip over one tree item: after SetItemTip, when the mouse still rests
// on that item's label or icon one second later, the text shows at the
// cursor (with the item's icon, which the tracker owns).

#include <windows.h>

#include <commctrl.h>

#include "editor/controls/HtmlToolTip.h"

#include <string>

class CTreeHoverTracker : public CHtmlToolTip
{
public:
    static constexpr UINT_PTR kTimerItem = 1234;
    static constexpr UINT kItemDelay = 1000;

    // `tree` points to the tree window's handle (it may be set later).
    explicit CTreeHoverTracker(const HWND* tree) : m_tree(tree) {}
    ~CTreeHoverTracker() override;

    // Remembers the item, its tip text and icon (owned from now on) and
    // starts the one-second wait when the text is not empty.
    void SetItemTip(int value1, int value2, const std::wstring& text, HTREEITEM item, HICON icon);
    void HideTip();
    void OnTimerStep(UINT_PTR id) override;

    HTREEITEM TrackedItem() const { return m_trackedItem; }
    int Value1() const { return m_value1; }
    int Value2() const { return m_value2; }

private:
    void ShowIfStillOnItem();

    const HWND* m_tree;
    HTREEITEM m_trackedItem = nullptr;
    HICON m_tipIcon = nullptr;
    int m_value1 = -1;
    int m_value2 = -1;
    std::wstring m_tipText;
};
