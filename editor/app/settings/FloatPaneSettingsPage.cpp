#include "editor/app/settings/FloatPaneSettingsPage.h"

#include "common/BoldCheckBox.h"
#include "common/DialogLocalizer.h"
#include "common/WellKnownNames.h"

void FloatPaneSettingsPage::ReadControls(CEditorSettings& settings)
{
    settings.ShowHistoryPaneOnStart = IsChecked(IDC_FP_SHOW_ON_START) ? 1 : 0;
    settings.SetPinnedFloatPaneOnStart(IsChecked(IDC_FP_PIN_ON_START) ? 1 : 0);
    settings.ShowIconInAltTab_ForFP = IsChecked(IDC_FP_ALT_TAB_ICON) ? 1 : 0;
}

int FloatPaneSettingsPage::SaveToSettings()
{
    TakeEditedValues();
    // Written at once: a close with the caption's X must not lose the box (only what changed is written).
    return Settings().SaveEditor();
}

void FloatPaneSettingsPage::LoadFromSettings()
{
    CEditorSettings& settings = Settings();
    SetChecked(IDC_FP_SHOW_ON_START, settings.ShowHistoryPaneOnStart != 0);
    SetChecked(IDC_FP_PIN_ON_START, settings.GetPinnedFloatPaneOnStart() != 0);
    SetChecked(IDC_FP_ALT_TAB_ICON, settings.GetShowIconInAltTab() != 0);
    RememberShownValues();
}

void FloatPaneSettingsPage::Localize()
{
    CDialogLocalizer localizer(&m_hWnd, IDD_SETTINGS_FLOAT_PANE, L"_Editor");
    localizer.Translate();
}

LRESULT FloatPaneSettingsPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SubclassBoldCheckBox(::GetDlgItem(m_hWnd, IDC_FP_SHOW_ON_START));
    LoadFromSettings();
    Localize();
    return TRUE;
}

LRESULT FloatPaneSettingsPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    SaveToSettings();
    handled = FALSE;
    return 0;
}

LRESULT FloatPaneSettingsPage::OnBlinkingBox(WORD, WORD, HWND, BOOL&)
{
    SaveToSettings();
    PulseNamedEvent(GetFloatPaneBlinkEventName());
    return 0;
}

LRESULT FloatPaneSettingsPage::OnAltTabBox(WORD, WORD, HWND, BOOL&)
{
    SaveToSettings();
    return 0;
}
