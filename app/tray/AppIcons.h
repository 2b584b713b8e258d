#pragma once

// Icons of the program and of its neighbours for the tray, menus and the
// system report. Every icon returned belongs to the caller (DestroyIcon).

#include <windows.h>

struct TipIconSource;

// The program's icon: CAppObjects::GetAppIconId() (elevated or not), or
// resource 201 when `flag` is 0.
HICON LoadAppIcon(int flag);
// An icon resource of the program at 16 pixels.
HICON LoadSmallIconResource(UINT id);
// An icon resource of the program: ids 234 and 211 first at 16 pixels; then
// at 32 and at 16 pixels; else LoadIconW.
HICON LoadIconResourceBestSize(UINT id);

// The icon of the editor and of the welcome program files, when they exist.
HICON GetEditorProgramIcon();
HICON GetWelcomeProgramIcon();
// "Notepad.exe" of the system folder, else the program that opens ".txt" files.
HICON GetNotepadIcon();
// The user's video folder, else the common one (large, then small), else the
// ".avi" type's icon.
HICON GetVideoFolderIcon();

// The icon a menu tip names (menus/tips/TrayTipIcons.h); null when its source has none.
HICON LoadTipIcon(const TipIconSource& source);
