#pragma once

// What the phrase menu needs of the program that shows it and cannot reach
// itself (the menu library does not depend on the program's own code): the
// version text and icon of the side band, and the language object that
// translates menu resources. The program sets it once at start-up; until
// then the side band shows no version, the icon is resource 128 and menu
// resources stay in English.

#include <windows.h>

#include "platform/CString.h"

class CMenuLocalizer;
struct TipIconSource;

struct MenuHost
{
    CString productVersionText;          // "Scrivolanter 6.00" and the like
    UINT appIconId = 128;                // the program's icon resource (another one when elevated)
    CMenuLocalizer* localizer = nullptr; // not owned; lives as long as the program
    // Loads the icon a menu tip names (the caller owns it); null: tips show the program icon.
    HICON (*loadTipIcon)(const TipIconSource&) = nullptr;
    CString shortVersionText; // "Scrivolanter 6.00 b123": the pane's caption tip begins with it
};

void SetMenuHost(const MenuHost& host);
const MenuHost& GetMenuHost();
