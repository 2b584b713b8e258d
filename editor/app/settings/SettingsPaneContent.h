#pragma once

// The content of the editor's settings pane: a row with a small toolbar
// ("Hide", "Save And Close") and the tab control, and below them one settings
// page at a time ("Miscellaneous", "Float Pane"). It is a plain child window,
// so any parent can host it; in the editor the docking bar at the bottom of
// the main frame (SettingsPane) creates it over its client area, sizes it
// with itself and passes on:
//   - ReloadCurrentPage() after the settings object was reloaded,
//   - OnLanguageChanged() on the document's language-changed hint,
//   - HasUnsentChanges() when the frame is destroyed.
// Command 32777 (the frame's show/hide of the pane) goes to the parent as
// WM_COMMAND; Save And Close saves and closes the main window.

#include <windows.h>

#include <memory>

#include "editor/app/settings/FloatPaneSettingsPage.h"
#include "editor/app/settings/MiscSettingsPage.h"
#include "editor/app/settings/SettingsPageViewport.h"
#include "editor/controls/SettingsPaneToolBar.h"
#include "editor/controls/SettingsTabCtrl.h"
#include "platform/CWindowImpl.h"

inline constexpr UINT kSettingsTabId = 1234;
inline constexpr UINT kSettingsToolbarId = 1235;
inline constexpr UINT kHideSettingsCommand = 32777;
inline constexpr UINT kSaveAndCloseCommand = 1037;

// A tip in the house style: when a ":" stands at position 1 or later, the part
// before it is the title and the part after it a comma-separated list; the
// result is the title, "\n", 25 "—", then each item on a new line after five
// blanks and "•". Other texts come back unchanged.
CString FormatSettingsTip(const CString& text);

class SettingsPaneContent : public CWindowImpl<SettingsPaneContent>
{
public:
    DECLARE_WND_CLASS_EX(L"ScvSettingsPaneContent", 0, COLOR_BTNFACE)

    SettingsPaneContent(CEditorSettings& settings, LPCWSTR runKeyPath, LPCWSTR programPath);
    explicit SettingsPaneContent(CEditorSettings& settings);
    ~SettingsPaneContent() override;

    // Creates the content as a child of `parent` filling `rect`.
    HWND CreateContent(HWND parent, const RECT& rect);
    // The window that Save And Close closes (the top-level parent by default).
    void SetMainWindow(HWND window) { m_mainWindow = window; }

    int GetCurrentPage() const { return m_current; }
    SettingsPage* GetPage(int index);
    // Switches to the page (as a tab change does); false for an unknown index.
    bool SelectPage(int index);
    void ReloadCurrentPage();
    int HasUnsentChanges() const { return 1; }
    void OnLanguageChanged();
    SettingsTabCtrl& TabControl() { return m_tab; }
    HWND Toolbar() const { return m_toolbar.m_hWnd; }
    // The area below the tab row in which the current page stands (and scrolls when it does not fit).
    SettingsPageViewport& Viewport() { return m_viewport; }
    // The formatted tip of a page's tab.
    static CString TabTip(int page);

    BEGIN_MSG_MAP(SettingsPaneContent)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    COMMAND_ID_HANDLER(kSaveAndCloseCommand, OnSaveAndClose)
    COMMAND_ID_HANDLER(kHideSettingsCommand, OnHide)
    NOTIFY_HANDLER(kSettingsTabId, TCN_SELCHANGE, OnTabChange)
    NOTIFY_HANDLER(kSettingsTabId, kTabNotifyTipText, OnTabTip)
    NOTIFY_HANDLER(kSettingsToolbarId, TBN_GETINFOTIPW, OnToolbarTip)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnSaveAndClose(WORD, WORD, HWND, BOOL&);
    LRESULT OnHide(WORD, WORD, HWND, BOOL&);
    LRESULT OnTabChange(int, LPNMHDR, BOOL&);
    LRESULT OnTabTip(int, LPNMHDR header, BOOL&);
    LRESULT OnToolbarTip(int, LPNMHDR header, BOOL&);
    int RowHeight() const;
    bool CreatePageWindow(int index);
    void CreateToolbar(int width, int height);
    void Layout();
    // The viewport shows the current page at the size its template gives it.
    void ShowCurrentPageInViewport();
    // The toolbar's width: the sum of its buttons' widths, each plus 2.
    int ToolbarWidth() const;

    CEditorSettings& m_settings;
    int m_current = 0;
    MiscSettingsPage m_misc;
    std::unique_ptr<FloatPaneSettingsPage> m_floatPane;
    SettingsTabCtrl m_tab;
    SettingsPaneToolBar m_toolbar;
    SettingsPageViewport m_viewport;
    SIZE m_pageSizes[2] = {};
    HWND m_mainWindow = nullptr;
};
