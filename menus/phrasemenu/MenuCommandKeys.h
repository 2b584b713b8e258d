#pragma once

// The program commands the phrase pop-up menu offers beside the phrases, and
// the negative keys by which the menu reports them: a fixed two-way map
// between key and command id.

#include <windows.h>

enum MenuCommandKey : int
{
    kMenuKeyEditSettings = -2,  // 32772: edit phrases and settings
    kMenuKeyAddSelection = -4,  // 32826: add the selected text as a new phrase
    kMenuKeySupport = -6,       // 32784: technical support
    kMenuKeyShowFloatPane = -8, // 32792: show the floating pane
    kMenuKeyRunAsAdmin = -9,    // 32829: run as administrator
};

enum : UINT
{
    ID_MENU_EDIT_SETTINGS = 32772,
    ID_MENU_ADD_SELECTION = 32826,
    ID_MENU_SUPPORT = 32784,
    ID_MENU_SHOW_FLOAT_PANE = 32792,
    ID_MENU_RUN_AS_ADMIN = 32829,
};

// The key of a program command; 0 when the id is not one of them.
int GetMenuCommandKey(int commandId);
// The command id of a key; 0 when the key is not one of them.
int GetMenuKeyCommand(int key);
// True for exactly the five program command ids above.
bool IsMenuCommandMapped(int commandId);
