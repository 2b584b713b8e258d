#pragma once

// The floating clipboard-history pane: a borderless, always-on-top tool
// window whose caption is a toolbar (CFloatPaneToolBar) and whose body lists
// the clipboard history newest first (an owner-data CFloatPaneListView). It
// copies items, pastes them into the window the user worked in, protects,
// deletes, undoes and transforms them, saves them as files, shows item tips,
// and shrinks to its caption (sliding to a small tab) when it loses the focus
// unless pinned.
//
// The tray window owns one object for the run of the program and creates the
// window on request. The history and the application services come in
// through the interfaces of menus/floatpane/FloatPaneServices.h. User-interface thread
// only; the slide and blink threads only move the window, post messages and
// signal their events.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <set>
#include <vector>

#include "common/AppListeners.h"
#include "common/FloatPaneListView.h"
#include "common/ImageListCache.h"
#include "common/KernelHandle.h"
#include "common/LayeredWindowApi.h"
#include "common/ListViewHoverTracker.h"
#include "common/MenuAccelTable.h"
#include "common/ResizeNoBorderSubclasser.h"
#include "menus/floatpane/FloatPaneServices.h"
#include "menus/floatpane/FloatPaneToolBar.h"
#include "platform/CIdleHandler.h"
#include "platform/CMessageFilter.h"
#include "platform/CString.h"
#include "platform/CWindowImpl.h"

class CCHItem;
class CCHQueue;

// The texts of the selection that the item menu shows (and the tray reads
// while the pane is visible).
struct FloatPaneTextHolder
{
    CString menuText;
    CString preview;
    CString third;
    void Clear()
    {
        menuText.Empty();
        preview.Empty();
        third.Empty();
    }
};

// Size and place of a window: cx, cy, x, y.
struct PaneSavedRect
{
    int cx = 0;
    int cy = 0;
    int x = 0;
    int y = 0;
};

class CSCVFloatPane : public CWindowImpl<CSCVFloatPane, CWindow, CNullTraits>,
                      public CMessageFilter,
                      public CIdleHandler,
                      public IClipboardSpyStateListener,
                      public IAppEventListener
{
public:
    // Private messages.
    enum : UINT
    {
        WM_PANE_BLINK = WM_APP + 1,  // wParam highlight, lParam last round
        WM_PANE_COUNT = WM_APP + 2,  // returns the row count
        WM_PANE_SELECT = WM_APP + 3, // wParam the row to select (-1: none)
        WM_PANE_FIRST_SHOW = WM_APP + 4,
        WM_PANE_CAPTION_TIP = WM_APP + 5,
        WM_PANE_SHOW_LIST = WM_APP + 6,
    };
    // Timers.
    enum : UINT_PTR
    {
        kTimerCopyToTarget = 2334,
        kTimerPaste = 2335,
        kTimerHoverCollapse = 2336,
        kTimerReselect = 2337,
    };
    static const int kListId = 1203;
    static const int kDefaultWidth = 300;
    static const int kDefaultTop = 40;
    static const int kDefaultBottom = 210;
    static const DWORD kDoubleEnterMs = 500;
    static constexpr const wchar_t* kPositionName = L"FloatPaneRect_TOPLEFT";

    DECLARE_WND_CLASS_EX(L"Scrivolanter_FloatPane", CS_DBLCLKS, COLOR_WINDOW)

    explicit CSCVFloatPane(IFloatPaneHost* host);
    ~CSCVFloatPane() override;
    CSCVFloatPane(const CSCVFloatPane&) = delete;
    CSCVFloatPane& operator=(const CSCVFloatPane&) = delete;

    BEGIN_MSG_MAP(CSCVFloatPane)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
    MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
    MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
    MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
    MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
    MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
    MESSAGE_HANDLER(WM_ENTERIDLE, OnEnterIdle)
    MESSAGE_HANDLER(WM_EXITMENULOOP, OnExitMenuLoop)
    MESSAGE_HANDLER(WM_MENURBUTTONUP, OnMenuRButtonUp)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_PANE_BLINK, OnBlinkStep)
    MESSAGE_HANDLER(WM_PANE_COUNT, OnCountQuery)
    MESSAGE_HANDLER(WM_PANE_SELECT, OnSelectRow)
    MESSAGE_HANDLER(WM_PANE_FIRST_SHOW, OnFirstShow)
    MESSAGE_HANDLER(WM_PANE_CAPTION_TIP, OnCaptionTip)
    MESSAGE_HANDLER(WM_PANE_SHOW_LIST, OnShowList)
    END_MSG_MAP()

    // --- Used by the tray window --------------------------------------------
    // Creates the window for the history; true when the window exists.
    bool Create(IFloatPaneHistory* history, BOOL focusList, BOOL startBlink);
    // Forgets the history (the watcher is going away); the list empties.
    void SetHistory(IFloatPaneHistory* history);
    // Re-reads the history count when the list exists.
    void RefreshIfOpen();
    // Resets the item count and repaints list and toolbar.
    void RebuildList();
    bool IsCaptionOnly() const { return m_captionOnly != 0; }
    // 0 when the state was already set, else 1.
    int SetCaptionOnly(int state, int gentle) { return SetCaptionOnlyEx(state, gentle, FALSE); }
    int SetCaptionOnlyEx(int state, int gentle, BOOL focusList);
    void ShowAsCaption();
    // Starts the blink thread when the pane is caption-only and no blink runs.
    bool StartAnimationThread(int kind);
    CString GetSelectedItemUrl() const;
    // form 0 the text, 1 the HTML part as text, 2 the source URL.
    CString GetSelectedItemData(int form) const;
    FloatPaneTextHolder& GetTextHolder();
    void SetFocusToList();

    // --- State and parts, also for the tests ---------------------------------
    bool IsPinned() const { return m_pinned != 0; }
    void SetPinned(bool pinned);
    bool IsSlideRunning() const;
    bool FillsWorkArea() const;
    const PaneSavedRect& GetSavedRect() const { return m_savedRect; }
    int GetCaptionHeight() const;
    HWND GetListWindow() const { return m_list.m_hWnd; }
    CFloatPaneToolBar& GetToolBar() { return m_toolBar; }
    CListViewHoverTracker& GetHoverTracker() { return m_hoverTracker; }
    HWND GetCaptionToolTip() const { return m_captionTip; }
    int GetRowCount() const;
    int GetSelectedCount() const;
    int GetSelectionMark() const;
    // The row as the list shows it.
    CString GetRowText(int row) const;
    // Copies a row to the clipboard (with the paper sound when asked); false
    // when the row is out of range or the clipboard refused the data.
    bool CopyRowToClipboard(int row, bool withSound);
    // Copies a row and activates the target window for the delayed paste.
    bool CopyRowToTarget(int row);
    // The item menu as it would be tracked at the screen point; the caller
    // destroys it (DestroyItemMenu). `onIcon` gives the reduced menu.
    HMENU BuildItemMenu(POINT screenPoint, bool onIcon, UINT& defaultCommand);
    void DestroyItemMenu(HMENU menu);
    // Shows the save dialog for the row; non-zero when the file was written.
    int SaveRowToFile(int row);
    // Fits the height to the rows (mode 1 only grows), pinning when asked.
    void ShowAllItems(int mode, bool pin);
    void FillWorkArea();
    void RestoreFromWorkArea();
    // The edit button's drop-down menu, its checks set; the caller destroys it.
    HMENU BuildEditDropDownMenu();
    // The caption tooltip's text.
    static CString BuildCaptionTipText(bool elevated);

    // --- Interfaces ---------------------------------------------------------
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnIdle() override;
    void OnClipboardSpyState(int code, LPARAM value) override;
    void OnAppEvent(int code, LPARAM value) override;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNcHitTest(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNcLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKeyUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnInitMenuPopup(UINT, WPARAM, LPARAM, BOOL&);
    // The menu tooltip's part of the pane's menus (SCVFloatPaneMenuTips.cpp).
    LRESULT OnMenuSelect(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnterIdle(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnExitMenuLoop(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMenuRButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnBlinkStep(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCountQuery(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSelectRow(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFirstShow(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptionTip(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowList(UINT, WPARAM, LPARAM, BOOL&);

    // List (SCVFloatPaneList.cpp)
    bool CreateList();
    void SetUpImageList();
    LRESULT OnListNotify(NMHDR* header);
    void OnGetDispInfo(NMLVDISPINFOW* info);
    void OnGetInfoTip(NMLVGETINFOTIPW* info);
    LRESULT OnListCustomDraw(NMLVCUSTOMDRAW* draw);
    void OnListKeyDown(const NMLVKEYDOWN* key);
    int RowImage(int row);
    void ReselectByKey();
    void ArmReselect(const CCHItem* item);
    void ShowItemMenu(bool fromKeyboard);
    void FillTextHolder();
    void ShowCopyBalloon(int row, bool show);
    std::vector<int> SelectedRows() const;
    // The row of the item with the key (-1: none), and the keys of rows.
    int RowOfKey(const CString& key) const;
    std::vector<CString> KeysOfRows(const std::vector<int>& rows) const;
    CCHItem* ItemAt(int row) const;
    CCHQueue* Queue() const;
    void ColumnWidth();
    bool FocusIsInsidePane() const;

    // Commands (SCVFloatPaneCommands.cpp)
    bool RunCommand(UINT command, UINT code, HWND source);
    void CommandProtect();
    void CommandDelete(bool fromAccelerator);
    void CommandTransform(UINT command);
    void CommandUndo();
    void CommandClear();
    void CommandSave();
    void CommandCopyHtmlCode();
    void CommandCopyPart(UINT command);
    void CommandSaveAsPhrase();
    void CommandShowPhraseMenu();
    void AfterRemoval(int rowAbove);

    // Caption mode and animations (SCVFloatPaneCaption.cpp)
    bool StartSlide(int gentle);
    static DWORD WINAPI SlideThread(LPVOID parameter);
    static DWORD WINAPI BlinkThread(LPVOID parameter);
    void HoverExpand();
    void UpdateButtons();

    // Toolbar (SCVFloatPaneToolBar.cpp)
    LRESULT OnToolBarNotify(NMHDR* header);
    LRESULT OnToolBarCustomDraw(NMTBCUSTOMDRAW* draw);
    void OnToolBarDropDown(NMTOOLBARW* toolbar);
    void OnToolBarInfoTip(NMTBGETINFOTIPW* tip);
    void UpdateCaptionTip();

    IFloatPaneHost* m_host;
    IFloatPaneHistory* m_history = nullptr;
    struct DoubleEnter
    {
        int item = -1;
        DWORD tick = 0;
    } m_doubleEnter;
    std::unique_ptr<FloatPaneTextHolder> m_textHolder;
    int m_startFlags = 1;
    CMenuAccelTable m_accelTable;
    int m_tipItem = -1;
    HWND m_balloon = nullptr;
    CListViewHoverTracker m_hoverTracker;
    bool m_comInitialised = false;
    CString m_reselectKey;
    CString m_topKey;              // the newest item at the last refresh
    PaneSavedRect m_savedRect;     // the expanded pane while caption-only
    PaneSavedRect m_workAreaSaved; // the place before filling the work area
    std::unique_ptr<CResizeNoBorderSubclasser> m_resizer;
    int m_pinned = 0;
    bool m_closedByButton = false;
    CKernelHandle m_blinkReady;
    int m_captionOnly = 0;
    int m_collapseSuppressed = 0;
    bool m_changingCaption = false;
    CKernelHandle m_slideRunning;
    HICON m_protectedIcon = nullptr;
    CImageListCache m_iconCache;
    CFloatPaneListView m_list;
    CFloatPaneToolBar m_toolBar;
    HWND m_captionTip = nullptr;
    BOOL m_focusListOnCreate = FALSE;
    CLayeredWindowApi m_layered;
    HFONT m_captionFont = nullptr;
    HFONT m_hintFont = nullptr;
};
