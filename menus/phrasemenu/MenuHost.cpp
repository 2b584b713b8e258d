#include "menus/phrasemenu/MenuHost.h"

namespace
{
MenuHost& Host()
{
    static MenuHost host;
    return host;
}
} // namespace

void SetMenuHost(const MenuHost& host)
{
    Host() = host;
}

const MenuHost& GetMenuHost()
{
    return Host();
}
