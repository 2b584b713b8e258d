#pragma once

// What the menu tracker window (MenuTrackerWindow) asks of the object that
// shows the phrase menu: measuring and drawing the owner-drawn items, and
// passing on the choice made in the right-click pop-up. The defaults do what
// the phrase menu needs; the menu builder derives from this class.

#include <windows.h>

class MenuTrackerOwner
{
public:
    // The private message that carries a right-click choice to the main
    // window: wParam the action (0-8), lParam the command id of the item.
    static constexpr UINT kRightMenuCommandMessage = WM_APP + 21;

    // The window that gets the right-click choices and the request to hide
    // its balloon (the tray window).
    virtual HWND GetMainWindow() const = 0;

    // MeasureMenuItem / DrawMenuItem under a structured exception guard. A
    // caught exception is reported with "ERROR: Exception in
    // IDataNeededHander_MenuSelf::OnMenuMEASUREITEM" (...::OnMenuDRAWITEMSTRUCT)
    // and answers 0.
    virtual LRESULT OnMenuMEASUREITEM(HWND window, MEASUREITEMSTRUCT* measure);
    virtual LRESULT OnMenuDRAWITEMSTRUCT(HWND window, DRAWITEMSTRUCT* draw);

    // Logs "IDataNeededHander_MenuSelf::OnRightMenuCommand" and sends
    // kRightMenuCommandMessage (action, command id) to the main window.
    virtual void OnRightMenuCommand(int commandId, int action);

    // A pop-up of the menu is about to open (WM_INITMENUPOPUP, before it is
    // shown): the place to fill a sub-menu that was left empty. Does nothing
    // by default.
    virtual void OnMenuInitPopup(HMENU popup);

protected:
    MenuTrackerOwner() = default;
    virtual ~MenuTrackerOwner() = default;
    MenuTrackerOwner(const MenuTrackerOwner&) = default;
    MenuTrackerOwner& operator=(const MenuTrackerOwner&) = default;
};
