#pragma once
// The editor's list of macros for the user: the "Insert Macro" menu items, the description of each
// macro with a preview of its current value, the tip texts of macro and recent-folder menu items,
// the icons of the editor's menu commands, and the colouring scheme of macro names.

#include "editor/controls/MacroColoring.h"
#include "platform/CString.h"

#include <windows.h>

// Command ids of the macro menu items: kMacroCommandFirst + table index.
constexpr UINT kMacroCommandFirst = 30100;
constexpr UINT kMacroCommandLast = 30149;

// Appends one item per macro of the table to the pop-up menu; their number.
int AppendMacroMenuItems(HMENU menu);
// The macro of a menu command; empty outside the table.
CString GetMacroNameForCommand(UINT commandId);

// The string id of a macro's description (0 when it has none; keyboard-layout macros have none).
UINT GetMacroDescriptionId(const CString& name);
// The description of a macro followed by "\r\r  [" + its preview + "]" when the preview is not empty;
// keyboard-layout macros are described by their language. Empty for an unknown name.
CString GetMacroDescriptionTip(const CString& name);
// GetMacroDescriptionTip of the macro of a menu command; empty outside the table.
CString GetMacroTip(UINT commandId);

// "\n\n", "\r\r", "\n" and "\r" each replaced by a blank, in that order, then trimmed.
CString CollapseLineBreaksForTip(const CString& text);
// The text, followed by "\n\n " + extra when that is not empty.
CString GetPhrasePreviewTip(const CString& text, const CString& extra);

// The icon of an editor command for its menu item (process-wide, never destroyed by callers); the
// program icon (resource 128) when the command has none.
HICON GetEditorMenuIcon(UINT commandId);

// The text of a command in the program's main menu (resource 128); the English text when the
// menu has no such item.
CString GetMainMenuItemText(UINT commandId, const wchar_t* english);

// The process-wide scheme that colours every macro name and every input marker's span.
const MacroColoringScheme& GetMacroColoringScheme();
