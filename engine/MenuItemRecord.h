#pragma once
// One item of a menu: title, hint, data type, flags, command id, language id and
// an optional group of sub-items that the record owns.

#include <windows.h>

#include "platform/CString.h"

#include <memory>
#include <vector>

class MenuItemRecord
{
public:
    static constexpr int kMaxTitleLength = 120;
    static constexpr int kMaxHintLength = 1024;

    // Data types of an item.
    static constexpr int kTypeText = 0; // plain text
    static constexpr int kTypeRtf = 1;  // rich text (RTF source)
    static constexpr int kTypeExec = 2; // command line to run

    // Bit of `flags`: the default item of a group.
    static constexpr int kFlagDefault = 0x1;

    MenuItemRecord() noexcept;
    ~MenuItemRecord();

    // A copy duplicates the sub-items; a move hands them over and leaves the source without any.
    MenuItemRecord(const MenuItemRecord& other);
    MenuItemRecord(MenuItemRecord&& other) noexcept;
    MenuItemRecord& operator=(const MenuItemRecord& other);
    MenuItemRecord& operator=(MenuItemRecord&& other) noexcept;

    // The sub-items, or a shared empty list for an item without any (never null).
    const std::vector<MenuItemRecord>& GetSubItems() const noexcept;
    // The item's own list, created when it has none.
    std::vector<MenuItemRecord>& MutableSubItems();
    bool HasSubItems() const noexcept { return subItems != nullptr; }
    // Destroys the sub-items; the item is a plain item afterwards. `clear` is kept for callers
    // that distinguish freeing from clearing: both leave the pointer null.
    void FreeSubItems(bool clear = true) noexcept;

    // Stores a text cut to kMaxTitleLength / kMaxHintLength characters.
    void SetTitle(const wchar_t* text);
    void SetHint(const wchar_t* text);
    const wchar_t* GetTitle() const noexcept { return title; }
    const wchar_t* GetHint() const noexcept { return hint; }

    std::unique_ptr<std::vector<MenuItemRecord>> subItems;
    // Written only through SetTitle and SetHint, which keep the length limits. Each record holds
    // only the characters it has (a library of thousands of records keeps no fixed-size buffers),
    // and copies share them.
    CString title;
    CString hint;
    int dataType = kTypeText;
    int flags = 0;
    int id = 0;
    int languageId = 0;

protected:
    void CopyItemFields(const MenuItemRecord& other) noexcept;
};
