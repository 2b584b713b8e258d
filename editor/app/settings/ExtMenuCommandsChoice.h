#pragma once
// The service commands shown at the bottom of the phrase insertion menu ("Edit menu/settings", "Save
// selected text as new phrase", "Technical Support", "Show Float Pane"): the texts of the settings
// page's button and tip, and the check-list box that turns them on and off.

#include "common/Settings.h"
#include "platform/CString.h"

#include <windows.h>

#include <set>

// The row texts, localized, in the order of the settings' flags.
CString GetExtMenuCommandRow(int index);
// The indexes of the commands the settings show.
std::set<int> GetEnabledExtMenuCommands(const CSettings& settings);
// The button text without its counter: the text before its first "[", trailing blanks removed.
CString ExtMenuCommandsBaseText(const CString& buttonText);
// base + " [" + enabled + "/" + count + "]".
CString ExtMenuCommandsButtonText(const CString& buttonText, const CSettings& settings);
// The tip: the title with the counter, then the enabled rows under "Enabled" and the others under
// "Disabled", one bulleted row per line.
CString ExtMenuCommandsTip(const CSettings& settings);
// Shows the check-list box (owner, caption from the button text); unless it is cancelled every flag is
// set to whether its row is checked. True when the flags were taken from the box.
bool ChooseExtMenuCommands(HWND owner, const CString& buttonText, CSettings& settings);
