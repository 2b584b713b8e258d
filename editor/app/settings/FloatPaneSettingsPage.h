#pragma once

// The "Float Pane" settings page: the three start-up options of the main
// program's floating clipboard-history pane. Changing the first two makes
// that pane blink (the named blink event is pulsed) so the user sees which
// window they are about.

#include "editor/app/settings/SettingsPage.h"
#include "editor/app/settings/EditorSettingsRes.h"

class FloatPaneSettingsPage : public SettingsPage
{
public:
    explicit FloatPaneSettingsPage(CEditorSettings& settings)
        : SettingsPage(IDD_SETTINGS_FLOAT_PANE, settings)
    {}

    int SaveToSettings() override;
    void ReadControls(CEditorSettings& settings) override;
    void LoadFromSettings() override;
    void Localize() override;

    BEGIN_MSG_MAP(FloatPaneSettingsPage)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    COMMAND_HANDLER(IDC_FP_SHOW_ON_START, BN_CLICKED, OnBlinkingBox)
    COMMAND_HANDLER(IDC_FP_PIN_ON_START, BN_CLICKED, OnBlinkingBox)
    COMMAND_HANDLER(IDC_FP_ALT_TAB_ICON, BN_CLICKED, OnAltTabBox)
    CHAIN_MSG_MAP(SettingsPage)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnBlinkingBox(WORD, WORD, HWND, BOOL&);
    LRESULT OnAltTabBox(WORD, WORD, HWND, BOOL&);
};
