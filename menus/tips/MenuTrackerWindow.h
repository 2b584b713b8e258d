#pragma once

// The hidden message-only window that owns the phrase pop-up menu for one
// TrackPopupMenuEx call: it passes the menu's WM_MEASUREITEM / WM_DRAWITEM to
// its owner (MenuTrackerOwner), drives the tracker tooltip from the menu's
// selection messages, asks the main window to hide its balloon when the menu
// opens, and offers a right-click pop-up on phrase and history items whose
// choice goes to the main window as an action (MenuTrackerOwner::OnRightMenuCommand).
//
// One object and window per menu show: made just before the menu is tracked,
// deleted right after. User-interface thread only.

#include <windows.h>

#include <memory>

#include "common/MenuLocalizer.h"
#include "platform/CWindowImpl.h"

class MenuItemDrawInfo;
class MenuTrackerOwner;

// Commands of the right-click pop-up.
enum : UINT
{
    ID_RIGHT_MENU_COPY = 32797,
    ID_RIGHT_MENU_COPY_EXCLUDE_SYMBOLS = 32864,
    ID_RIGHT_MENU_OPEN_AS_URL = 32806,
    ID_RIGHT_MENU_EDIT = 32828,
    ID_RIGHT_MENU_OPEN_WITH = 32846,
    ID_RIGHT_MENU_SEARCH_FIRST = 32834,
    ID_RIGHT_MENU_SEARCH_SECOND = 32835,
    ID_RIGHT_MENU_SEARCH_DEVELOPER_DOCS = 32836,
    ID_RIGHT_MENU_SEARCH_ENCYCLOPEDIA = 32837,
};

// The actions a right-click choice is passed on as.
enum RightMenuAction : int
{
    kRightMenuNoAction = -1,
    kRightMenuCopy = 0,
    kRightMenuCopyExcludeSymbols = 1,
    kRightMenuOpenAsUrl = 2,
    kRightMenuEdit = 3,
    kRightMenuOpenWith = 4,
    kRightMenuSearchFirst = 5,
    kRightMenuSearchSecond = 6,
    kRightMenuSearchDeveloperDocs = 7,
    kRightMenuSearchEncyclopedia = 8,
};

// The menu resource that supplies two of the pop-up's texts (32806, 32846).
inline constexpr UINT kRightMenuResourceId = 205;

// The tooltip that follows the selection in the phrase menu, as the tracker
// window drives it. Made through the factory set with
// SetMenuTrackerToolTipFactory when the "MenuToolTips_V0_94_A22" setting is on.
class IMenuTrackerToolTip
{
public:
    virtual ~IMenuTrackerToolTip() = default;
    // Creates the tooltip window owned by `owner`; null on failure.
    virtual HWND Create(HWND owner, LPCWSTR defaultText, HINSTANCE instance, DWORD style, LPCWSTR title) = 0;
    virtual void OnMenuSelect(UINT item, UINT flags, HMENU menu) = 0;
    virtual void OnEnterIdle(HWND window, WPARAM wParam, LPARAM lParam) = 0;
    // Hides the tooltip as a click on it would.
    virtual void PopByClick() = 0;
};
using MenuTrackerToolTipFactory = std::unique_ptr<IMenuTrackerToolTip> (*)();
void SetMenuTrackerToolTipFactory(MenuTrackerToolTipFactory factory);
// The tracker tooltip of the tracker window that exists now; null when none.
IMenuTrackerToolTip* GetMenuTrackerToolTip();

class MenuTrackerWindow : public CWindowImpl<MenuTrackerWindow, CWindow, CNullTraits>
{
public:
    static constexpr wchar_t kClassName[] = L"Scrivolanter_Menu_Tracker";
    static CWndClassInfo& GetWndClassInfo();

    explicit MenuTrackerWindow(MenuTrackerOwner* owner);
    ~MenuTrackerWindow() override;

    // Creates the message-only window; its handle (the owner for
    // TrackPopupMenuEx), null on failure.
    HWND Create();

    // True while the right-click pop-up is open (in any tracker window).
    static bool IsTrackerContextMenuOpen();

    // The right-click pop-up for an item's record, not shown: Copy, Copy
    // Exclude Symbols, Open As URL, separator, Edit, Open With, separator, the
    // four searches (their texts followed by " [" + single-line preview + "]"),
    // each grayed as the record asks. Null when no menu can be made.
    static CMenuHolder BuildRightClickMenu(const MenuItemDrawInfo& info);
    // The action of a pop-up command; kRightMenuNoAction for anything else.
    static int GetRightClickAction(UINT command);

    // WM_MENURBUTTONUP (position, menu): beeps for a separator, a sub-menu or
    // a program command, or while the pop-up is open; else shows the pop-up
    // at the cursor and passes a choice on to the owner (a search also closes
    // the phrase menu). Returns 1.
    LRESULT OnMenuRButtonUp(UINT position, HMENU menu);

    // Moves a tooltip rectangle back onto a screen of that size (right edge,
    // bottom edge); true when it changed.
    static bool FitRectOnScreen(RECT& rect, int screenWidth, int screenHeight);

    HWND GetToolTipWindow() const { return m_tipWindow; }

    BEGIN_MSG_MAP(MenuTrackerWindow)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroyOrExitMenuLoop)
    MESSAGE_HANDLER(WM_EXITMENULOOP, OnDestroyOrExitMenuLoop)
    MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
    MESSAGE_HANDLER(WM_ENTERIDLE, OnEnterIdle)
    MESSAGE_HANDLER(WM_MENURBUTTONUP, OnMenuRButtonUpMessage)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroyOrExitMenuLoop(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMeasureItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDrawItem(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMenuSelect(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEnterIdle(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMenuRButtonUpMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    void CreateToolTip();
    void DestroyToolTipWindow();

    MenuTrackerOwner* m_owner; // not owned
    HWND m_tipWindow = nullptr;
    int m_balloonPending = 1; // cleared after the first WM_INITMENUPOPUP
};
