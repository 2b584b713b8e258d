#pragma once

// Tooltips for standard menus. A CMenuToolTip owns one tracking tooltip window
// that follows the selected menu item: half a second after the selection has
// settled on a command item it shows a title (the item's text with an icon)
// and a body text (from the notify window or from the derived class), placed
// beside the item. A sub-menu, a separator, a closed menu or a system command
// shows nothing; a click on the tip or the mouse over it pops it.
//
// The owner window passes its WM_MENUSELECT and WM_ENTERIDLE on
// (OnMenuSelect, OnEnterIdle). With the thread hook (the default) the same
// messages of the owner's child windows reach the owner too, and the tip
// hides when a dialog opens or the menu loop ends.
//
// The delay runs on short worker threads that share only a reference-counted
// state with the object; when the delay has passed for the newest selection
// they post a message to the tip window, and the user-interface thread shows
// the tip. A worker never touches the object, so it may outlive it.

#include <windows.h>

#include <memory>

#include "platform/CString.h"

// The registered message "9176C785-52C0-432a-AB51-C8439932297C" sent to the
// notify window; lParam points to a MenuTipRequest. A non-zero answer means the
// window filled the request.
UINT GetMenuTipRequestMessage();

struct MenuTipRequest
{
    UINT commandId = 0;
    CString title;
    CString text;
    // A TTI_ constant or an HICON (the window keeps the icon); 0 none.
    INT_PTR icon = 0;
};

// What the placement of a tip beside a menu item reads.
struct MenuTipPlacementInput
{
    RECT item{};             // the item's rectangle on the screen
    SIZE tip{};              // the tip window's size (cx 0 before it first showed)
    bool balloon = false;    // the tip has TTS_BALLOON
    int screenWidth = 0;     // SM_CXSCREEN when the object was made
    int screenHeight = 0;    // SM_CYSCREEN when the object was made
    int defaultWidth = 200;  // the width assumed before the tip has one
    int defaultHeight = 150; // the height that must fit below the item's top
    int borderHeight = 1;    // SM_CYBORDER
};

// The tip's top-left corner: right of the item when the tip fits there, else
// left of it; level with the item's top, or with its bottom edge aligned to the
// item's bottom when the tip would reach below the screen.
POINT ComputeMenuTipPosition(const MenuTipPlacementInput& input);

class CMenuToolTip
{
public:
    // `withHook`: install the thread hook that forwards the menu messages of
    // the owner's child windows (the phrase menu's tracker tip goes without).
    explicit CMenuToolTip(bool withHook = true);
    virtual ~CMenuToolTip();
    CMenuToolTip(const CMenuToolTip&) = delete;
    CMenuToolTip& operator=(const CMenuToolTip&) = delete;

    // Creates the tip window and its one tool for `owner`. With a title, the
    // title is set with the info icon. Returns the tip window, null on failure.
    HWND Create(HWND owner, LPCWSTR defaultText, HINSTANCE instance, DWORD style, LPCWSTR title);
    // Destroys the tip window (the destructor does it too).
    void DestroyTip();

    // The owner's WM_MENUSELECT: item, flags (HIWORD of wParam), menu.
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    // The owner's WM_ENTERIDLE: reason (wParam) and the menu's window (lParam).
    void OnEnterIdle(HWND owner, WPARAM reason, HWND menuWindow);
    // Pops and hides the tip.
    void HideTip();
    // Hides the tip as a click on it would.
    void PopByClick();
    // The body text; 3500 characters or more are cut to 3498 + "…".
    void SetText(const CString& text);
    // The title with an icon (0: the icon the id asks for); longer than 261
    // characters it is cut to 261 + "…".
    void SetTitle(const CString& text, UINT id, INT_PTR icon);
    void Activate(bool active);

    HWND GetTipWindow() const { return m_tipWindow; }
    HWND GetOwnerWindow() const { return m_ownerWindow; }
    // The window asked first for each tip's texts (null: none).
    void SetNotifyWindow(HWND window) { m_notifyWindow = window; }
    bool IsDisabled() const { return m_disabled; }
    void SetDisabled(bool disabled) { m_disabled = disabled; }
    // The id the newest selection waits for or shows; 0 none.
    UINT GetCurrentId() const;
    // How many delay threads have not finished yet.
    long GetPendingCount() const;

    // The delay between the selection and the tip.
    static constexpr DWORD kShowDelayMs = 500;

    // The text the tip of a command shows (its title is not asked for); empty without one.
    CString GetCommandTipText(UINT id)
    {
        CString text;
        CString title;
        GetTipText(text, id, nullptr, title);
        return text;
    }

protected:
    // System commands (size, move, minimize, maximize, close, restore) show no tip.
    virtual bool IsNoTipCommand(UINT id) const;
    // The title icon of an id: a TTI_ constant or an HICON the object keeps.
    virtual INT_PTR GetIconForId(UINT id);
    virtual bool ShowAtOnce(UINT) const { return false; }
    // The body text of the id (and, when wanted, a title).
    virtual void GetTipText(CString& text, UINT id, HMENU menu, CString& title) = 0;
    virtual int GetDefaultHeight() const { return 150; }
    virtual int GetDefaultWidth() const { return 200; }

private:
    struct DelayState;
    static LRESULT CALLBACK TipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void InstallHook();
    void RemoveHook();
    void StartDelay(UINT item, HMENU menu);
    void OnDelayPassed(UINT item, HMENU menu);
    void Show(HMENU menu, UINT id);
    void Hide();
    void Place(HMENU menu, UINT id);
    void AddTool(LPCWSTR text);

    std::shared_ptr<DelayState> m_state;
    bool m_withHook;
    bool m_hooked = false;
    bool m_active = false;
    bool m_disabled = false;
    HWND m_notifyWindow = nullptr;
    HWND m_ownerWindow = nullptr;
    HWND m_tipWindow = nullptr;
    HWND m_menuWindow = nullptr;
    HMENU m_placedMenu = nullptr;
    UINT m_placedId = 0;
    HINSTANCE m_instance = nullptr;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    wchar_t m_defaultText[260] = {};
};
