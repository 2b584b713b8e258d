#pragma once

// Icons taken from the editor program's file and from the shell.

#include <windows.h>

// LoadLibraryExW of the editor program as a data file; null when it cannot be
// loaded. The caller frees it (FreeLibrary) after taking its icons.
HMODULE LoadEditorExeAsDataFile();

// Icon 160 for kind 0, 163 for kind 1, 164 for kind 2 of the module; null for
// other kinds, without a module or when the icon is missing.
HICON LoadEditorIcon(int kind, HMODULE module);

// The shell's small icon of the ".txt" file type; null when the shell gives
// none. The caller owns it (DestroyIcon).
HICON GetTxtFileSmallIcon();
