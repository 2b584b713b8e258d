#pragma once
// Message maps: a table of handlers written with the macros below, compiled into ProcessWindowMessage.
//
//   class CMyWnd : public CWindowImpl<CMyWnd>
//   {
//   public:
//       BEGIN_MSG_MAP(CMyWnd)
//           MESSAGE_HANDLER(WM_CREATE, OnCreate)
//           COMMAND_ID_HANDLER(IDOK, OnOK)
//           NOTIFY_CODE_HANDLER(NM_CLICK, OnClick)
//           CHAIN_MSG_MAP(CBaseWnd)
//       ALT_MSG_MAP(1)
//           MESSAGE_HANDLER(WM_CHAR, OnChildChar)
//       END_MSG_MAP()
//   };
//
// Handler signatures:
//   LRESULT OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
//   LRESULT OnCommand(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
//   LRESULT OnNotify(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
// bHandled is TRUE on entry; a handler that sets it to FALSE lets the search go on with the following entries and
// finally with the window's default processing. Entries are tried from top to bottom; the first that handles the
// message ends the search.

#include <windows.h>

class CMessageMap
{
public:
    // TRUE when the map handled the message; lResult is then the result of the window procedure.
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                      DWORD dwMsgMapID = 0) = 0;

protected:
    ~CMessageMap() = default;
};

// Base of the notification codes reflected back to the child control that sent them (REFLECT_NOTIFICATIONS):
// the child receives SCV_REFLECTED_BASE + the original message.
#define SCV_REFLECTED_BASE (WM_USER + 0x1c00)

// Sends WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM, WM_VKEYTOITEM,
// WM_CHARTOITEM, WM_HSCROLL, WM_VSCROLL, WM_PARENTNOTIFY and WM_CTLCOLOR* messages back to the control they came
// from, as SCV_REFLECTED_BASE + message. bHandled is FALSE when the message is not of these kinds or names no
// control.
LRESULT ReflectNotificationToChild(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

#define BEGIN_MSG_MAP(theClass)                                                                              \
public:                                                                                                      \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,          \
                              DWORD dwMsgMapID = 0)                                                          \
    {                                                                                                        \
        BOOL bHandled = TRUE;                                                                                \
        (void)hWnd;                                                                                          \
        (void)uMsg;                                                                                          \
        (void)wParam;                                                                                        \
        (void)lParam;                                                                                        \
        (void)lResult;                                                                                       \
        (void)bHandled;                                                                                      \
        switch (dwMsgMapID) {                                                                                \
        case 0:

#define ALT_MSG_MAP(msgMapID)                                                                                \
    break;                                                                                                   \
    case msgMapID:

#define END_MSG_MAP()                                                                                        \
    break;                                                                                                   \
    default:                                                                                                 \
        break;                                                                                               \
        }                                                                                                    \
        return FALSE;                                                                                        \
        }

#define DECLARE_EMPTY_MSG_MAP()                                                                              \
public:                                                                                                      \
    BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD = 0)                               \
    {                                                                                                        \
        return FALSE;                                                                                        \
    }

// Calls an expression that returns the result; done when the handler left bHandled TRUE.
#define SCV_MSG_MAP_CALL(expr)                                                                               \
    {                                                                                                        \
        bHandled = TRUE;                                                                                     \
        lResult = (expr);                                                                                    \
        if (bHandled)                                                                                        \
            return TRUE;                                                                                     \
    }

#define MESSAGE_HANDLER(msg, func)                                                                           \
    if (uMsg == (msg))                                                                                       \
    SCV_MSG_MAP_CALL(func(uMsg, wParam, lParam, bHandled))

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)                                                       \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast))                                                             \
    SCV_MSG_MAP_CALL(func(uMsg, wParam, lParam, bHandled))

// A WM_COMMAND whose notification code is SCV_COMMAND_PROBE_CODE only asks whether the map has a handler for the
// id: the first command entry that matches answers TRUE (lResult 1) without calling its handler.
#define SCV_COMMAND_PROBE_CODE 0xFFFE

#define SCV_COMMAND_CALL(func)                                                                               \
    {                                                                                                        \
        if (HIWORD(wParam) == SCV_COMMAND_PROBE_CODE) {                                                      \
            lResult = 1;                                                                                     \
            return TRUE;                                                                                     \
        }                                                                                                    \
        SCV_MSG_MAP_CALL(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))     \
    }

#define COMMAND_HANDLER(id, code, func)                                                                      \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id) &&                                     \
        HIWORD(wParam) == static_cast<WORD>(code))                                                           \
    SCV_COMMAND_CALL(func)

#define COMMAND_ID_HANDLER(id, func)                                                                         \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id))                                       \
    SCV_COMMAND_CALL(func)

#define COMMAND_CODE_HANDLER(code, func)                                                                     \
    if (uMsg == WM_COMMAND && HIWORD(wParam) == static_cast<WORD>(code))                                     \
    SCV_COMMAND_CALL(func)

#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                                                         \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= static_cast<WORD>(idFirst) &&                                \
        LOWORD(wParam) <= static_cast<WORD>(idLast))                                                         \
    SCV_COMMAND_CALL(func)

#define COMMAND_RANGE_CODE_HANDLER(idFirst, idLast, code, func)                                              \
    if (uMsg == WM_COMMAND && HIWORD(wParam) == static_cast<WORD>(code) &&                                   \
        LOWORD(wParam) >= static_cast<WORD>(idFirst) && LOWORD(wParam) <= static_cast<WORD>(idLast))         \
    SCV_COMMAND_CALL(func)

#define SCV_NMHDR() (reinterpret_cast<LPNMHDR>(lParam))
#define SCV_NOTIFY_CALL(func) SCV_MSG_MAP_CALL(func(static_cast<int>(wParam), SCV_NMHDR(), bHandled))

#define NOTIFY_HANDLER(id, cd, func)                                                                         \
    if (uMsg == WM_NOTIFY && lParam != 0 && SCV_NMHDR()->idFrom == static_cast<UINT_PTR>(id) &&              \
        SCV_NMHDR()->code == static_cast<UINT>(cd))                                                          \
    SCV_NOTIFY_CALL(func)

#define NOTIFY_ID_HANDLER(id, func)                                                                          \
    if (uMsg == WM_NOTIFY && lParam != 0 && SCV_NMHDR()->idFrom == static_cast<UINT_PTR>(id))                \
    SCV_NOTIFY_CALL(func)

#define NOTIFY_CODE_HANDLER(cd, func)                                                                        \
    if (uMsg == WM_NOTIFY && lParam != 0 && SCV_NMHDR()->code == static_cast<UINT>(cd))                      \
    SCV_NOTIFY_CALL(func)

#define NOTIFY_RANGE_HANDLER(idFirst, idLast, func)                                                          \
    if (uMsg == WM_NOTIFY && lParam != 0 && SCV_NMHDR()->idFrom >= static_cast<UINT_PTR>(idFirst) &&         \
        SCV_NMHDR()->idFrom <= static_cast<UINT_PTR>(idLast))                                                \
    SCV_NOTIFY_CALL(func)

#define NOTIFY_RANGE_CODE_HANDLER(idFirst, idLast, cd, func)                                                 \
    if (uMsg == WM_NOTIFY && lParam != 0 && SCV_NMHDR()->code == static_cast<UINT>(cd) &&                    \
        SCV_NMHDR()->idFrom >= static_cast<UINT_PTR>(idFirst) &&                                             \
        SCV_NMHDR()->idFrom <= static_cast<UINT_PTR>(idLast))                                                \
    SCV_NOTIFY_CALL(func)

// Passes the message to another map: a base class's (CHAIN_MSG_MAP) or a member object's (CHAIN_MSG_MAP_MEMBER),
// its default map or one of its alternate maps (..._ALT).
#define CHAIN_MSG_MAP(theChainClass)                                                                         \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                            \
        return TRUE;

#define CHAIN_MSG_MAP_ALT(theChainClass, msgMapID)                                                           \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID))                  \
        return TRUE;

#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                                                 \
    if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                          \
        return TRUE;

#define CHAIN_MSG_MAP_ALT_MEMBER(theChainMember, msgMapID)                                                   \
    if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID))                \
        return TRUE;

// REFLECT_NOTIFICATIONS, in a parent's map: send control notifications back to the control they came from.
// DEFAULT_REFLECTION_HANDLER, in the control's map: answer the reflected messages the control does not handle
// (colour messages get the default brush, the others 0).
#define REFLECT_NOTIFICATIONS()                                                                              \
    SCV_MSG_MAP_CALL(ReflectNotificationToChild(hWnd, uMsg, wParam, lParam, bHandled))

#define DEFAULT_REFLECTION_HANDLER()                                                                         \
    if (uMsg >= SCV_REFLECTED_BASE + WM_CTLCOLORMSGBOX && uMsg <= SCV_REFLECTED_BASE + WM_CTLCOLORSTATIC)    \
        SCV_MSG_MAP_CALL(::DefWindowProcW(hWnd, uMsg - SCV_REFLECTED_BASE, wParam, lParam))                  \
    if (uMsg >= SCV_REFLECTED_BASE && uMsg <= SCV_REFLECTED_BASE + WM_PARENTNOTIFY)                          \
    SCV_MSG_MAP_CALL(0)
