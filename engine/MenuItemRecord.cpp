#include "engine/MenuItemRecord.h"

#include <cwchar>

namespace
{

// Copies at most `limit` characters and always terminates the target.
void CopyLimited(wchar_t* target, const wchar_t* source, int limit) noexcept
{
    int i = 0;
    if (source != nullptr) {
        for (; i < limit && source[i] != L'\0'; ++i) {
            target[i] = source[i];
        }
    }
    target[i] = L'\0';
}

} // namespace

MenuItemRecord::MenuItemRecord() noexcept
{
    wmemset(title, 0, kMaxTitleLength + 1);
    wmemset(hint, 0, kMaxHintLength + 1);
}

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
    CopyLimited(title, other.title, kMaxTitleLength);
    CopyLimited(hint, other.hint, kMaxHintLength);
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

void MenuItemRecord::SetTitle(const wchar_t* text) noexcept
{
    CopyLimited(title, text, kMaxTitleLength);
}

void MenuItemRecord::SetHint(const wchar_t* text) noexcept
{
    CopyLimited(hint, text, kMaxHintLength);
}
