#pragma once

// The shell's folder choice dialog.

#include <windows.h>

#include "platform/CString.h"

// Shows the folder choice dialog owned by `owner`, opened at `startFolder`
// (when it exists), with `title` above the tree (it may hold two lines).
// `newFolderButton` offers the "Make New Folder" button, `editBox` an edit
// field for the path. Returns the chosen folder, or empty when the user
// cancelled or chose something that is not a file-system folder.
CString BrowseForFolder(HWND owner, LPCWSTR startFolder, LPCWSTR title, bool newFolderButton, bool editBox);
