#pragma once

// The toolbar that serves as the floating pane's caption bar: the item
// counter and a hint in its stretched first field, buttons for pin, minimize
// to caption, copy into the target, the edit drop-down and close. Dragging
// its free area moves the pane, a right click opens the pane's context menu,
// and resting the mouse on it, a middle click and some menu choices reach the
// pane as WM_NOTIFY with the codes below.

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "common/SubclassedWindow.h"
#include "platform/CString.h"

// WM_NOTIFY codes of the toolbar to its parent.
enum : int
{
    kPaneTbnShowPhraseMenu = -696,
    kPaneTbnIsCaptionOnly = -697,
    kPaneTbnShowAllItemsPinned = -698,
    kPaneTbnIsListEmpty = -699,
    kPaneTbnHoverRest = -700,
};

// Commands of the pane, its toolbar and its menus.
enum : UINT
{
    kPaneCmdHowToLocalize = 32776,
    kPaneCmdEditPhrases = 32772,
    kPaneCmdKeepHistory = 32786,
    kPaneCmdClear = 32789,
    kPaneCmdCheckUpdates = 32791,
    kPaneCmdCopy = 32793,
    kPaneCmdProtect = 32794,
    kPaneCmdSave = 32795,
    kPaneCmdDelete = 32796,
    kPaneCmdCopyPlain = 32797,
    kPaneCmdMinimizeToCaption = 32798,
    kPaneCmdUpper = 32799,
    kPaneCmdLower = 32805,
    kPaneCmdOpenAsUrl = 32806,
    kPaneCmdTrim = 32812,
    kPaneCmdEmptyClipboard = 32813,
    kPaneCmdSounds = 32817,
    kPaneCmdReKeep = 32819,
    kPaneCmdPin = 32820,
    kPaneCmdRun = 32821,
    kPaneCmdJoin = 32822,
    kPaneCmdEdit = 32828,
    kPaneCmdRunAsAdmin = 32829,
    kPaneCmdWelcome = 32832,
    kPaneCmdTrayMenu = 32833,
    kPaneCmdUndo = 32838,
    kPaneCmdSearchFirst = 32840,
    kPaneCmdSearchSecond = 32841,
    kPaneCmdSearchEncyclopedia = 32842,
    kPaneCmdSearchDeveloper = 32843,
    kPaneCmdPhraseMenu = 32844,
    kPaneCmdOpenWith = 32846,
    kPaneCmdCopySourceUrl = 32847,
    kPaneCmdOpenSourceUrl = 32848,
    kPaneCmdCopyAsRtf = 32849,
    kPaneCmdCopyAsHtml = 32851,
    kPaneCmdClearUndo = 32854,
    kPaneCmdShowAll = 32856,
    kPaneCmdSaveAsPhrase = 32857,
    kPaneCmdExpand = 32858,
    kPaneCmdCollapse = 32859,
    kPaneCmdCopyHtmlCode = 32860,
    kPaneCmdSelectAll = 32861,
    kPaneCmdCopyExcludeSymbols = 32864,
    kPaneCmdCommandLineKeys = 32865,
    kPaneCmdMuteMode = 32867,
    kPaneCmdHelp = 57664,
    kPaneCmdClose = 57665,
};

// HWND_TOPMOST or HWND_NOTOPMOST without moving, sizing or activating and,
// when that worked, WS_EX_TOPMOST set or cleared to match.
bool SetWindowTopMost(HWND window, bool on);

class CFloatPaneToolBar : public CSubclassedWindow
{
public:
    static const int kControlId = 1204;
    static const UINT_PTR kHoverTimerId = 1212;
    static const UINT kHoverDelayMs = 1000;

    explicit CFloatPaneToolBar(UINT countMessage) : m_countMessage(countMessage) {}
    ~CFloatPaneToolBar() override;

    BEGIN_MSG_MAP(CFloatPaneToolBar)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_RBUTTONUP, OnRButtonUp)
    MESSAGE_HANDLER(WM_RBUTTONDBLCLK, OnRButtonDblClk)
    MESSAGE_HANDLER(WM_MBUTTONDOWN, OnMButtonDown)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    END_MSG_MAP()

    // Creates the toolbar as a child of the pane with its images and buttons.
    HWND CreateBar(HWND parent);
    void SetTrayWindow(HWND tray) { m_tray = tray; }

    // Background: COLOR_WINDOW while the history is kept, else COLOR_GRAYTEXT.
    void SetWatching(bool watching);
    int GetBackgroundColourIndex() const { return m_backgroundIndex; }
    // The blink highlight of the caption; repaints when it changes.
    void SetHighlight(bool highlight);
    bool IsHighlighted() const { return m_highlight; }
    // Pin pressed, minimize button image and check.
    void ShowPinned(bool pinned);
    void ShowCaptionOnly(bool captionOnly);
    bool IsMenuOpen() const { return m_menuOpen; }

    // The counter: caption-only the row count; expanded "selected/rows" when
    // rows are selected, else the row count.
    static CString MakeCounterText(bool captionOnly, int selected, int rows);

    // The context menu as it would be tracked: the parent's window menu (or
    // a new pop-up) with the program commands appended. `added` gets the
    // positions count appended to the window menu (to remove them after),
    // `created` whether the menu is a new one.
    HMENU BuildContextMenu(bool& created, int& addedFrom, HMENU& languageMenu);
    // Removes what BuildContextMenu added to a window menu, or destroys a created menu.
    static void ReleaseContextMenu(HMENU menu, bool created, int addedFrom);
    // Builds, tracks and carries out the context menu at a client point.
    void ShowContextMenu(POINT clientPoint);

    // A command's caption in the tray menu (resource 128, translated, without its accelerator part);
    // else its string's part after the line break.
    static CString GetTrayMenuCaption(UINT command);

    // TTM_SETTITLEW with the title cut to 97 characters and "…".
    static void SetToolTipTitle(HWND tip, LPCWSTR title, HICON icon);

private:
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    // idFrom 0, code 1: the context menu at the client point packed after the header.
    LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMButtonDown(UINT, WPARAM, LPARAM, BOOL&);

    bool IsOverButton(LPARAM point) const;
    void StartHoverTimer();
    LRESULT SendToParent(int code) const;
    void PostToParent(int code);
    void CarryOut(UINT command, POINT screenPoint, bool languageMenu);

    int m_backgroundIndex = COLOR_GRAYTEXT;
    UINT m_countMessage;
    bool m_highlight = false;
    bool m_trackingLeave = false;
    bool m_hoverTimer = false;
    bool m_menuOpen = false;
    HIMAGELIST m_images = nullptr;
    NMHDR m_posted = {};
    HWND m_tray = nullptr;
};
