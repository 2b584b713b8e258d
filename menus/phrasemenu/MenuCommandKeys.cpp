#include "menus/phrasemenu/MenuCommandKeys.h"

namespace
{
struct KeyAndCommand
{
    int key;
    int commandId;
};

constexpr KeyAndCommand kMenuCommands[] = {
    {kMenuKeyEditSettings, ID_MENU_EDIT_SETTINGS},
    {kMenuKeyAddSelection, ID_MENU_ADD_SELECTION},
    {kMenuKeySupport, ID_MENU_SUPPORT},
    {kMenuKeyShowFloatPane, ID_MENU_SHOW_FLOAT_PANE},
    {kMenuKeyRunAsAdmin, ID_MENU_RUN_AS_ADMIN},
};
} // namespace

int GetMenuCommandKey(int commandId)
{
    for (const KeyAndCommand& entry : kMenuCommands) {
        if (entry.commandId == commandId)
            return entry.key;
    }
    return 0;
}

int GetMenuKeyCommand(int key)
{
    for (const KeyAndCommand& entry : kMenuCommands) {
        if (entry.key == key)
            return entry.commandId;
    }
    return 0;
}

bool IsMenuCommandMapped(int commandId)
{
    return GetMenuCommandKey(commandId) != 0;
}
