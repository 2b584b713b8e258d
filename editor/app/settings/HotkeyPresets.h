#pragma once

// The menu of preset hot keys of the Miscellaneous page: a fixed list of keys
// and, after a separator, the keys the user had in the control when the menu
// was opened.

#include <vector>

#include "editor/controls/HotkeyCtrlEx.h"

// The fixed presets in menu order; a row with virtual key 0 is a separator.
std::vector<HotkeyInfo> BuildHotkeyPresetList();

// Adds the key to the user's list unless an equal key is in it already.
void AddUserHotkey(std::vector<HotkeyInfo>& userKeys, const HotkeyInfo& key);

// One row of the preset menu.
struct HotkeyMenuRow
{
    HotkeyInfo key;
    bool separator = false;
    bool checked = false; // equal to the control's key
    UINT commandId = 0;   // 32000 + row index; 0 for a separator
    CString text;
};

// The rows of the menu: the presets, then (when there are any) a separator
// and the user's keys; trailing separators removed.
std::vector<HotkeyMenuRow> BuildHotkeyMenuRows(const std::vector<HotkeyInfo>& presets,
                                               const std::vector<HotkeyInfo>& userKeys,
                                               const HotkeyInfo& current);

// The process-wide lists (built on first use, UI thread only).
const std::vector<HotkeyInfo>& GetHotkeyPresets();
std::vector<HotkeyInfo>& GetUserHotkeys();
