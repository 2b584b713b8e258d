#include "editor/controls/DialogTextFit.h"

#include "editor/controls/EditorLook.h"

#include <algorithm>
#include <map>
#include <vector>

namespace
{

struct FitControl
{
    HWND window;
    RECT rect; // in page client coordinates
    bool isGroup;
    bool hasText; // a check box, radio button or one-line label
};

RECT RectInParent(HWND window, HWND parent)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsFitGroupBox(HWND window, const wchar_t* className)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    return lstrcmpiW(className, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsFitTextControl(HWND window, const wchar_t* className, const RECT& rect)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    if (lstrcmpiW(className, L"Button") == 0) {
        const DWORD type = style & BS_TYPEMASK;
        return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
               type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    }
    if (lstrcmpiW(className, L"Static") != 0)
        return false;
    const DWORD type = style & SS_TYPEMASK;
    // One-line text labels only: pictures and multi-line texts keep their size.
    return (type == SS_LEFT || type == SS_LEFTNOWORDWRAP) && rect.bottom - rect.top < 24;
}

std::vector<FitControl> CollectFitControls(HWND page)
{
    std::vector<FitControl> controls;
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        ::GetClassNameW(child, className, 32);
        const RECT rect = RectInParent(child, page);
        controls.push_back(
            {child, rect, IsFitGroupBox(child, className), IsFitTextControl(child, className, rect)});
    }
    return controls;
}

int NeededTextWidth(HWND window, bool bold)
{
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0)
        return 0;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    ::GetWindowTextW(window, text.data(), length + 1);
    HDC dc = ::GetDC(window);
    HFONT font =
        bold ? GetBoldDialogFont() : reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    const HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT measured = {};
    ::DrawTextW(dc, text.data(), length, &measured, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    const bool isButton = lstrcmpiW(className, L"Button") == 0;
    // A check box's box and the gap after it come before the text.
    const int box = isButton ? ::GetSystemMetrics(SM_CXMENUCHECK) + 8 : 2;
    return measured.right - measured.left + box;
}

bool InsideFit(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right + 1 && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

bool SameFitRow(const RECT& a, const RECT& b)
{
    return a.top < b.bottom && b.top < a.bottom;
}

void MoveFitControl(FitControl& control, HWND page, int dx, int grow)
{
    control.rect.left += dx;
    control.rect.right += dx + grow;
    ::SetWindowPos(control.window, nullptr, control.rect.left, control.rect.top,
                   control.rect.right - control.rect.left, control.rect.bottom - control.rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(page, nullptr, TRUE);
}

} // namespace

void FitDialogTextsToColumns(HWND page, const std::set<int>& boldIds)
{
    if (!page || !::IsWindow(page))
        return;
    std::vector<FitControl> controls = CollectFitControls(page);
    // The growth each column of group boxes needs, by the column's left edge.
    std::map<LONG, int> columnGrowth;
    for (FitControl& group : controls) {
        if (!group.isGroup)
            continue;
        int& growth = columnGrowth[group.rect.left];
        const RECT groupRect = group.rect;
        for (FitControl& control : controls) {
            if (!control.hasText || !InsideFit(control.rect, groupRect))
                continue;
            const bool bold = boldIds.count(::GetDlgCtrlID(control.window)) != 0;
            const int extra = control.rect.left + NeededTextWidth(control.window, bold) - control.rect.right;
            if (extra <= 0)
                continue;
            // Whatever follows in the same row moves right by the same amount.
            const RECT before = control.rect;
            int rowEnd = before.right + extra;
            for (FitControl& follower : controls) {
                if (&follower == &control || follower.isGroup || follower.rect.left < before.right ||
                    !SameFitRow(follower.rect, before) || !InsideFit(follower.rect, groupRect))
                    continue;
                MoveFitControl(follower, page, extra, 0);
                rowEnd = std::max(rowEnd, static_cast<int>(follower.rect.right));
            }
            MoveFitControl(control, page, 0, extra);
            const int margin = 6;
            growth = std::max(growth, rowEnd + margin - static_cast<int>(groupRect.right));
        }
    }
    // Grow the groups of each column (left to right) and move the later columns over.
    int shift = 0;
    for (const auto& [originalLeft, growth] : columnGrowth) {
        const LONG left = originalLeft + shift;
        const int grow = std::max(0, growth);
        if (grow == 0)
            continue;
        std::vector<RECT> columnGroups;
        for (FitControl& group : controls) {
            if (group.isGroup && group.rect.left == left) {
                MoveFitControl(group, page, 0, grow);
                columnGroups.push_back(group.rect);
            }
        }
        for (FitControl& control : controls) {
            if (control.rect.left <= left)
                continue;
            const bool inThisColumn =
                std::any_of(columnGroups.begin(), columnGroups.end(),
                            [&](const RECT& group) { return InsideFit(control.rect, group); });
            if (!inThisColumn)
                MoveFitControl(control, page, grow, 0);
        }
        shift += grow;
    }
}
