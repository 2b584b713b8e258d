#pragma once

// The settings pane: the resizable docking bar at the bottom of the main frame that hosts the
// settings pane content (toolbar, tabs and the settings pages) over its whole client area. It passes
// on the frame's reload after the settings object was reloaded, the document's language-changed hint
// and the frame's question on close. The content's Hide command reaches the frame through the bar.

#include "editor/app/document/Doc.h"
#include "editor/app/settings/SettingsPaneContent.h"
#include "editor/controls/ResizableBar.h"

#include <memory>

class SettingsPane : public CResizableBar, public IDocUpdateListener
{
public:
    // The content's pages read and write `settings`; the Miscellaneous page watches the Run key
    // `runKeyPath` for `programPath` (null for both: the real Run key and this program).
    SettingsPane(CEditorSettings& settings, LPCWSTR runKeyPath = nullptr, LPCWSTR programPath = nullptr);
    ~SettingsPane() override;

    static constexpr UINT kChildId = 100;
    static constexpr int kHeight = 375;

    BEGIN_MSG_MAP(SettingsPane)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    CHAIN_MSG_MAP(CResizableBar)
    END_MSG_MAP()

    // Creates the bar docked at the bottom of `frame` with the title; hidden when `visible` is false.
    BOOL CreatePane(LPCWSTR title, HWND frame, bool visible);

    SettingsPaneContent& GetContent() { return *m_content; }
    void ReloadCurrentPage() { m_content->ReloadCurrentPage(); }
    int HasUnsentChanges() const { return m_content->HasUnsentChanges(); }

    HWND GetListenerWindow() override { return m_hWnd; }
    // The tab control's tip sees the mouse messages the framework's pre-translation walk brings here.
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnDocUpdate(CView* sender, LPARAM hint, CObject* object) override;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);

    std::unique_ptr<SettingsPaneContent> m_content;
};
