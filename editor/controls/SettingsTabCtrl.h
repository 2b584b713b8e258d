#pragma once

// The settings pane's tab control: the medium dialog font, and tab tips asked
// from the parent with WM_NOTIFY 0xB0D (the tooltip's title is the tab text).

#include "editor/controls/ThemedTabCtrl.h"

class SettingsTabCtrl : public ThemedTabCtrl
{
public:
    // The longest tooltip title the tab text gives.
    static constexpr int kTabTipTitleChars = 97;
    CString TabTipText(int tab) override;

protected:
    void OnAttachedTab() override;
};
