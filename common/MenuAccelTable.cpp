#include "common/MenuAccelTable.h"

#include "common/HotKeyText.h"
#include "common/MenuUtils.h"

namespace
{
CMenuAccelTable::MainWindowGetter g_mainWindowGetter = nullptr;

bool IsKeyDown(int virtualKey)
{
    return static_cast<USHORT>(::GetKeyState(virtualKey)) > 1;
}

BYTE CurrentModifierFlags()
{
    BYTE flags = 0;
    if (IsKeyDown(VK_SHIFT))
        flags |= FSHIFT;
    if (IsKeyDown(VK_CONTROL))
        flags |= FCONTROL;
    if (IsKeyDown(VK_MENU))
        flags |= FALT;
    return flags;
}

LRESULT SendCommand(HWND window, WORD command)
{
    if (!window)
        return 0;
    return ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(command, 1), 0);
}
} // namespace

CString AccelToText(const ACCEL& row)
{
    UINT modifiers = 0;
    if (row.fVirt & FALT)
        modifiers |= MOD_ALT;
    if (row.fVirt & FCONTROL)
        modifiers |= MOD_CONTROL;
    if (row.fVirt & FSHIFT)
        modifiers |= MOD_SHIFT;
    return HotKeyToText(row.key, modifiers);
}

bool CMenuAccelTable::BuildDefault()
{
    m_rows.clear();
    Add(FVIRTKEY | FCONTROL, 'C', 32793);
    Add(FVIRTKEY | FCONTROL, VK_INSERT, 32793);
    Add(FVIRTKEY | FCONTROL | FALT, VK_F1, 57664);
    Add(FVIRTKEY, VK_F4, 32828);
    Add(FVIRTKEY, VK_ESCAPE, 32859);
    Add(FVIRTKEY, VK_ESCAPE, 32798);
    Add(FVIRTKEY | FCONTROL, 'A', 32861);
    Add(FVIRTKEY | FCONTROL | FALT, 'A', 32856);
    Add(0, VK_DELETE, 32796);
    return !m_rows.empty();
}

void CMenuAccelTable::Add(BYTE fVirt, WORD key, WORD command)
{
    ACCEL row = {};
    row.fVirt = fVirt;
    row.key = key;
    row.cmd = command;
    m_rows.push_back(row);
}

const ACCEL* CMenuAccelTable::FindByCommand(UINT command) const
{
    for (const ACCEL& row : m_rows) {
        if (row.cmd == command)
            return &row;
    }
    return nullptr;
}

const ACCEL* CMenuAccelTable::FindByKey(BYTE fVirt, WORD key) const
{
    for (const ACCEL& row : m_rows) {
        if (row.fVirt == fVirt && row.key == key)
            return &row;
    }
    return nullptr;
}

int CMenuAccelTable::TranslateKeyDown(const MSG& message, HWND window) const
{
    if (m_rows.empty() || message.message != WM_KEYDOWN)
        return 0;
    const BYTE flags = CurrentModifierFlags();
    const WORD key = static_cast<WORD>(message.wParam);
    const ACCEL* row = FindByKey(flags, key);
    if (!row)
        row = FindByKey(flags | FVIRTKEY, key);
    if (!row)
        return 0;

    if (SendCommand(window, row->cmd))
        return 1;
    if (SendCommand(::GetFocus(), row->cmd))
        return 1;
    if (g_mainWindowGetter && SendCommand(g_mainWindowGetter(), row->cmd))
        return 1;
    return 0;
}

int CMenuAccelTable::AppendKeyToItemText(UINT command, CString& text) const
{
    const ACCEL* row = FindByCommand(command);
    if (!row)
        return 0;
    CString key = AccelToText(*row);
    if (key.Replace(L"Num", L"") > 0)
        key.Trim(L' ');
    if (key.IsEmpty())
        return 0;

    CString result = text;
    const int tab = result.Find(L'\t');
    if (tab > 0)
        result.Truncate(tab);
    result += L"\t";
    result += key;
    text = result;
    return 1;
}

int CMenuAccelTable::AppendKeyToMenuItem(HMENU menu, UINT command) const
{
    if (!FindByCommand(command))
        return 0;
    CString text;
    wchar_t* buffer = text.GetBuffer(401);
    const int length = ::GetMenuStringW(menu, command, buffer, 401, MF_BYCOMMAND);
    text.ReleaseBuffer(length > 0 ? length : 0);
    if (text.IsEmpty() || !AppendKeyToItemText(command, text))
        return 0;
    return SetMenuItemText(text, command, menu) ? 1 : 0;
}

int CMenuAccelTable::AppendKeysToMenu(HMENU menu) const
{
    int changed = 0;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        changed += AppendKeyToMenuItem(menu, id);
    }
    return changed;
}

void CMenuAccelTable::SetMainWindowGetter(MainWindowGetter getter)
{
    g_mainWindowGetter = getter;
}
