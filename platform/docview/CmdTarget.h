#pragma once
// Command targets and command-user-interface updates.
//
// A command target (window, document, application, document template) answers OnCmdMsg for a command id:
// either "run the command" (nCode CN_COMMAND or a control's notification code) or "update its user interface"
// (nCode CN_UPDATE_COMMAND_UI, pExtra the CCmdUI of the menu item, toolbar button or status pane). The
// default OnCmdMsg runs the target's message map (GetCommandMap): commands as WM_COMMAND, updates as
// SCV_WM_UPDATE_CMDUI, written in the map with the macros below. Frames pass commands on to their view,
// document and the application.
//
//   BEGIN_MSG_MAP(CMyDoc)
//       COMMAND_ID_HANDLER(ID_EDIT_CUT, OnCut)
//       UPDATE_COMMAND_UI_HANDLER(ID_EDIT_CUT, OnUpdateCut)          // void OnUpdateCut(CCmdUI* pCmdUI)
//       UPDATE_COMMAND_UI_RANGE_HANDLER(30000, 30049, OnUpdateLanguage)
//   END_MSG_MAP()
//
// An item with a command handler but no update handler is enabled; with neither it is disabled (when the pass
// asks for it: menus and toolbars do).

#include <windows.h>

#include "platform/CMessageMap.h"
#include "platform/CString.h"
#include "platform/docview/RuntimeClass.h"

// Codes of OnCmdMsg besides the control notification codes.
enum : int
{
    CN_COMMAND = 0,
    CN_UPDATE_COMMAND_UI = -1,
    CN_COMMAND_PROBE = SCV_COMMAND_PROBE_CODE, // only asks whether a command handler exists
};

// The private message of update handlers: wParam = command id, lParam = CCmdUI*.
#define SCV_WM_UPDATE_CMDUI (WM_USER + 0x1b00)

#define UPDATE_COMMAND_UI_HANDLER(id, func)                                                                  \
    if (uMsg == SCV_WM_UPDATE_CMDUI && wParam == static_cast<WPARAM>(id)) {                                  \
        func(reinterpret_cast<CCmdUI*>(lParam));                                                             \
        lResult = 1;                                                                                         \
        return TRUE;                                                                                         \
    }

#define UPDATE_COMMAND_UI_RANGE_HANDLER(idFirst, idLast, func)                                               \
    if (uMsg == SCV_WM_UPDATE_CMDUI && wParam >= static_cast<WPARAM>(idFirst) &&                             \
        wParam <= static_cast<WPARAM>(idLast)) {                                                             \
        func(reinterpret_cast<CCmdUI*>(lParam));                                                             \
        lResult = 1;                                                                                         \
        return TRUE;                                                                                         \
    }

class CCmdTarget;

// The user interface of one command: a popup-menu item (m_hMenu, m_nIndex), a window (m_hOther, a dialog
// bar's button, for instance), or, in derived classes, a toolbar button or a status-bar pane.
class CCmdUI
{
public:
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    HMENU m_hMenu = nullptr;
    HWND m_hOther = nullptr;

    virtual void Enable(BOOL bOn = TRUE);
    // 0 unchecked, 1 checked, 2 indeterminate (menus show 2 as checked).
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCWSTR lpszText);

    // Asks the target to update this item; when no update handler answered and disableIfNoHandler is set, the
    // item is enabled exactly when the target has a command handler for it. TRUE when an update handler
    // answered.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);

    bool m_bEnableChanged = false;
};

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)

public:
    // TRUE when the command was run, the update answered, or (CN_COMMAND_PROBE) a handler exists.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra);

protected:
    // The map OnCmdMsg runs, and the window handle passed to it; none by default.
    virtual CMessageMap* GetCommandMap() { return nullptr; }
    virtual HWND GetCommandWindow() const { return nullptr; }
    // Runs the map for a command or update; TRUE when an entry took it.
    BOOL DispatchCmdMsg(UINT nID, int nCode, void* pExtra);
};

// Updates every command item of a popup menu (sub-menus and separators are skipped).
void UpdateMenuCmdUI(HMENU hPopup, CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
