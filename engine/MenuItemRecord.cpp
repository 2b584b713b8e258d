#include "engine/MenuItemRecord.h"

#include <cwchar>

namespace
{

// At most `limit` characters of the text (null reads as empty).
CString Limited(const wchar_t* text, int limit)
{
    if (text == nullptr)
        return CString();
    return CString(text, static_cast<int>(wcsnlen(text, static_cast<size_t>(limit))));
}

} // namespace

MenuItemRecord::MenuItemRecord() noexcept = default;

MenuItemRecord::~MenuItemRecord() = default;

MenuItemRecord::MenuItemRecord(const MenuItemRecord& other) : MenuItemRecord()
{
    *this = other;
}

MenuItemRecord::MenuItemRecord(MenuItemRecord&& other) noexcept : MenuItemRecord()
{
    *this = std::move(other);
}

MenuItemRecord& MenuItemRecord::operator=(const MenuItemRecord& other)
{
    if (this == &other) {
        return *this;
    }
    CopyItemFields(other);
    subItems = other.subItems ? std::make_unique<std::vector<MenuItemRecord>>(*other.subItems) : nullptr;
    return *this;
}

MenuItemRecord& MenuItemRecord::operator=(MenuItemRecord&& other) noexcept
{
    if (this == &other) {
        return *this;
    }
    CopyItemFields(other);
    subItems = std::move(other.subItems);
    return *this;
}

void MenuItemRecord::CopyItemFields(const MenuItemRecord& other) noexcept
{
    title = other.title;
    hint = other.hint;
    dataType = other.dataType;
    flags = other.flags;
    id = other.id;
    languageId = other.languageId;
}

const std::vector<MenuItemRecord>& MenuItemRecord::GetSubItems() const noexcept
{
    static const std::vector<MenuItemRecord> empty;
    return subItems ? *subItems : empty;
}

std::vector<MenuItemRecord>& MenuItemRecord::MutableSubItems()
{
    if (!subItems) {
        subItems = std::make_unique<std::vector<MenuItemRecord>>();
    }
    return *subItems;
}

void MenuItemRecord::FreeSubItems(bool /*clear*/) noexcept
{
    subItems.reset();
}

void MenuItemRecord::SetTitle(const wchar_t* text)
{
    title = Limited(text, kMaxTitleLength);
}

void MenuItemRecord::SetHint(const wchar_t* text)
{
    hint = Limited(text, kMaxHintLength);
}
