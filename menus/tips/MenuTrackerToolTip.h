#pragma once

// The tooltip of the phrase pop-up menu as the menu tracker window drives it:
// a menu tooltip without the thread hook (the tracker window passes the menu
// messages itself) whose title is the item's caption and whose text is the
// item's own tooltip text (phrase and history records of the owner-drawn
// items) or the command's string; search commands show the item's preview.
// SetMenuTrackerToolTipFactory(&CreateMenuTrackerToolTip) makes the tracker
// window use it.

#include <memory>

#include "common/MenuToolTip.h"
#include "menus/tips/MenuTrackerWindow.h"
#include "menus/tips/TrayTipIcons.h"

class CMenuTrackerToolTip : public CMenuToolTip, public IMenuTrackerToolTip
{
public:
    CMenuTrackerToolTip();
    ~CMenuTrackerToolTip() override;

    HWND Create(HWND owner, LPCWSTR defaultText, HINSTANCE instance, DWORD style, LPCWSTR title) override;
    void OnMenuSelect(UINT item, UINT flags, HMENU menu) override;
    void OnEnterIdle(HWND window, WPARAM wParam, LPARAM lParam) override;
    void PopByClick() override;

    // The body text and title of an item of the phrase menu.
    CString BuildTipText(UINT id, HMENU menu, CString& title);
    // The icon the title of an item's tip shows: an HICON the tip keeps, or TTI_INFO.
    INT_PTR GetTitleIcon(UINT id) { return GetIconForId(id); }

protected:
    INT_PTR GetIconForId(UINT id) override;
    void GetTipText(CString& text, UINT id, HMENU menu, CString& title) override;

private:
    HICON ProgramIcon();

    HICON m_programIcon = nullptr;
    CTipIconCache m_icons;
};

std::unique_ptr<IMenuTrackerToolTip> CreateMenuTrackerToolTip();
