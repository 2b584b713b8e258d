#pragma once

// Translates menus from the current language file: each item's text is looked
// up in section "Menu" + the program's suffix under its menu key (see
// MakeMenuItemKey); an item without a translation keeps its English text, and
// that text is written under its key, into the current file and into
// "LocalizeExample.lng" beside it, for translators.

#include <windows.h>

#include <set>

#include "platform/CString.h"

// A menu that is destroyed with the holder.
class CMenuHolder
{
public:
    CMenuHolder() = default;
    explicit CMenuHolder(HMENU menu) : m_menu(menu) {}
    ~CMenuHolder() { Reset(nullptr); }
    CMenuHolder(CMenuHolder&& other) noexcept : m_menu(other.Release()) {}
    CMenuHolder& operator=(CMenuHolder&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    CMenuHolder(const CMenuHolder&) = delete;
    CMenuHolder& operator=(const CMenuHolder&) = delete;

    HMENU Get() const { return m_menu; }
    operator HMENU() const { return m_menu; }
    HMENU Release()
    {
        HMENU menu = m_menu;
        m_menu = nullptr;
        return menu;
    }
    void Reset(HMENU menu)
    {
        if (m_menu)
            ::DestroyMenu(m_menu);
        m_menu = menu;
    }

private:
    HMENU m_menu = nullptr;
};

class CMenuLocalizer
{
public:
    // Makes `path` the current language file (creating it from the template
    // when missing) and uses section "Menu" + suffix.
    CMenuLocalizer(LPCWSTR path, LPCWSTR suffix);
    virtual ~CMenuLocalizer() = default;

    // Item filter: false keeps the command's text untranslated. Accepts all.
    virtual BOOL DefaultTrue(UINT commandId);

    // Makes another file current (a language chosen while the program runs).
    void SetLanguageFile(LPCWSTR path);

    // Translates every item of the menu and its sub-menus in place.
    void LocalizeMenu(HMENU menu);
    // The translated text of one command of a menu resource of the program:
    // the translation when the file has one, else the resource's text.
    CString GetItemText(UINT menuId, UINT commandId);
    // LoadMenuW from the program's module.
    CMenuHolder LoadMenu(LPCWSTR menuName);

    // Translates the controls of a dialog of the program (section "Dialog" +
    // suffix + "_" + dialog id).
    void LocalizeDialog(HWND dialog, UINT dialogId);

    // Commands whose texts are never translated (items made at run time).
    void ExcludeCommand(UINT commandId) { m_excluded.insert(commandId); }
    void ExcludeCommandRange(UINT first, UINT last);

    const CString& GetSectionName() const { return m_section; }
    void SetWriteMissing(bool writeMissing) { m_writeMissing = writeMissing; }

private:
    void LocalizeItem(HMENU menu, int position);
    void WriteMissingText(const CString& file, const CString& key, const CString& text) const;

    bool m_writeMissing = true;
    CString m_suffix;
    CString m_section;
    std::set<UINT> m_excluded;
};
