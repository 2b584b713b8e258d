#include "common/MenuLocalizer.h"

#include "common/DialogLocalizer.h"
#include "common/IniFile.h"
#include "common/LanguageFile.h"
#include "common/MenuUtils.h"

namespace
{
const wchar_t kMissingMenuText[] = L"{87D306BD-DD3A-42fa-B7F2-9B39C5D6F374}";
const wchar_t kMissingItemText[] = L"{87D306BD-DD3A-42fa-B7F2123129B39C5D6F374}";
const int kMenuValueChars = 2000;

CString GetMenuTextByPosition(HMENU menu, int position, int bufferChars)
{
    CString text;
    wchar_t* buffer = text.GetBufferSetLength(bufferChars);
    buffer[0] = L'\0';
    int length = ::GetMenuStringW(menu, static_cast<UINT>(position), buffer, bufferChars, MF_BYPOSITION);
    text.ReleaseBufferSetLength(length > 0 ? length : 0);
    return text;
}

// Depth-first search, in position order, for the item with the command.
bool FindCommandItem(HMENU menu, UINT commandId, HMENU& owner, int& position)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0)
            continue;
        if (id == static_cast<UINT>(-1)) {
            HMENU sub = ::GetSubMenu(menu, i);
            if (sub && FindCommandItem(sub, commandId, owner, position))
                return true;
            continue;
        }
        if (id == commandId) {
            owner = menu;
            position = i;
            return true;
        }
    }
    return false;
}

// "&" before a character is dropped, "&&" becomes "&"; trailing ellipses go.
CString CleanItemText(const CString& text)
{
    CString clean;
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        const wchar_t ch = text[i];
        if (ch == L'&' && i + 1 < length) {
            if (text[i + 1] == L'&') {
                clean.AppendChar(L'&');
                ++i;
            }
            continue;
        }
        clean.AppendChar(ch);
    }
    clean.TrimRight(L'\x2026');
    return clean;
}
} // namespace

CMenuLocalizer::CMenuLocalizer(LPCWSTR path, LPCWSTR suffix) : m_suffix(suffix), m_section(L"Menu")
{
    m_section += m_suffix;
    SetLanguageFile(path);
}

BOOL CMenuLocalizer::DefaultTrue(UINT /*commandId*/)
{
    return TRUE;
}

void CMenuLocalizer::SetLanguageFile(LPCWSTR path)
{
    SetCurrentLanguageFilePath(path);
    CreateLanguageFileFromTemplate(path);
}

void CMenuLocalizer::ExcludeCommandRange(UINT first, UINT last)
{
    for (UINT id = first; id <= last && id >= first; ++id)
        m_excluded.insert(id);
}

void CMenuLocalizer::LocalizeMenu(HMENU menu)
{
    if (!menu)
        return;
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const UINT id = ::GetMenuItemID(menu, position);
        if (id == 0)
            continue;
        if (id == static_cast<UINT>(-1)) {
            LocalizeItem(menu, position);
            LocalizeMenu(::GetSubMenu(menu, position));
            continue;
        }
        if (m_excluded.count(id) != 0 || !DefaultTrue(id))
            continue;
        LocalizeItem(menu, position);
    }
}

void CMenuLocalizer::LocalizeItem(HMENU menu, int position)
{
    const CString text = GetMenuTextByPosition(menu, position, 260);
    if (text.IsEmpty())
        return;
    const CString file = GetCurrentLanguageFilePath();
    if (file.IsEmpty())
        return;
    const MenuItemKey parts = MakeMenuItemKey(text);

    const CString example = GetLocalizeExamplePath(file);
    if (!example.IsEmpty() && StringsDifferNoCase(example, file))
        WriteMissingText(example, parts.Key, parts.PlainText);

    CString value;
    IniReadStringWithDefault(file, m_section, parts.Key, kMissingMenuText, kMenuValueChars, value);
    if (!value.IsEmpty() && StringsDifferNoCase(value, kMissingMenuText)) {
        if (!parts.Accelerator.IsEmpty())
            value += L"\t" + parts.Accelerator;
        SetMenuItemString(menu, value, static_cast<UINT>(position), true);
        return;
    }
    WriteMissingText(file, parts.Key, parts.PlainText);
}

void CMenuLocalizer::WriteMissingText(const CString& file, const CString& key, const CString& text) const
{
    if (!m_writeMissing || !IsWritableLanguageKey(key))
        return;
    WriteLanguageText(file, m_section, key, text);
}

CString CMenuLocalizer::GetItemText(UINT menuId, UINT commandId)
{
    CMenuHolder menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId)));
    if (!menu)
        return CString();
    HMENU owner = nullptr;
    int position = -1;
    if (!FindCommandItem(menu, commandId, owner, position))
        return CString();
    const CString clean = CleanItemText(GetMenuTextByPosition(owner, position, 1000));
    const MenuItemKey parts = MakeMenuItemKey(clean);
    CString value;
    IniReadStringWithDefault(GetCurrentLanguageFilePath(), m_section, parts.Key, kMissingItemText,
                             kMenuValueChars, value);
    // A key present with an empty value counts as missing, as for whole menus.
    if (!value.IsEmpty() && value != kMissingItemText)
        return value;
    return clean;
}

CMenuHolder CMenuLocalizer::LoadMenu(LPCWSTR menuName)
{
    return CMenuHolder(::LoadMenuW(::GetModuleHandleW(nullptr), menuName));
}

void CMenuLocalizer::LocalizeDialog(HWND dialog, UINT dialogId)
{
    HWND window = dialog;
    CDialogLocalizer(&window, dialogId, m_suffix).Translate();
}
