#include "engine/PhraseItemRecord.h"

#include "common/PathFunctions.h"

PhraseItemRecord::PhraseItemRecord() noexcept = default;

PhraseItemRecord::~PhraseItemRecord() = default;

PhraseItemRecord::PhraseItemRecord(const PhraseItemRecord& other) : MenuItemRecord(other)
{
    CopyPhraseFields(other);
    if (other.children) {
        children = std::make_unique<std::vector<PhraseItemRecord>>(*other.children);
    }
}

PhraseItemRecord::PhraseItemRecord(PhraseItemRecord&& other) noexcept : MenuItemRecord(std::move(other))
{
    CopyPhraseFields(other);
    children = std::move(other.children);
}

PhraseItemRecord& PhraseItemRecord::operator=(const PhraseItemRecord& other)
{
    if (this == &other) {
        return *this;
    }
    MenuItemRecord::operator=(other);
    CopyPhraseFields(other);
    children = other.children ? std::make_unique<std::vector<PhraseItemRecord>>(*other.children) : nullptr;
    return *this;
}

PhraseItemRecord& PhraseItemRecord::operator=(PhraseItemRecord&& other) noexcept
{
    if (this == &other) {
        return *this;
    }
    MenuItemRecord::operator=(std::move(other));
    CopyPhraseFields(other);
    children = std::move(other.children);
    return *this;
}

void PhraseItemRecord::CopyPhraseFields(const PhraseItemRecord& other)
{
    body = other.body;
    sortId = other.sortId;
    useTitleOnly = other.useTitleOnly;
    dateUsage = other.dateUsage;
    disabledIsNoHasSelection = other.disabledIsNoHasSelection;
    usageCount = other.usageCount;
    included = other.included;
    flagsMenu = other.flagsMenu;
    m_path = other.m_path;
}

std::vector<PhraseItemRecord>& PhraseItemRecord::MakeFolder()
{
    if (!children) {
        children = std::make_unique<std::vector<PhraseItemRecord>>();
    }
    return *children;
}

void PhraseItemRecord::SetPath(const CString& path)
{
    const bool renameDirectory =
        IsFolder() && !m_path.IsEmpty() && !path.IsEmpty() && FolderExists(m_path) && !FolderExists(path);
    if (renameDirectory) {
        MoveFileW(m_path, path);
    }
    m_path = path;
}

bool PhraseItemRecord::SetIncluded(int flag) noexcept
{
    if (included == flag) {
        return false;
    }
    included = flag;
    return true;
}

bool PhraseItemRecord::HasIncludedContent() const noexcept
{
    if (!IsFolder()) {
        return included != 0;
    }
    for (const PhraseItemRecord& child : *children) {
        if (child.HasIncludedContent()) {
            return true;
        }
    }
    return false;
}

bool PhraseItemRecord::GetUsageDate(SYSTEMTIME& out) const noexcept
{
    if (!HasUsageDate()) {
        return false;
    }
    out = dateUsage;
    return true;
}

bool PhraseItemRecord::SetUsageDate(const SYSTEMTIME& date) noexcept
{
    if (IsFolder()) {
        return false;
    }
    dateUsage = date;
    return true;
}

bool PhraseItemRecord::StampUsageDate() noexcept
{
    if (IsFolder()) {
        return false;
    }
    GetSystemTime(&dateUsage);
    return true;
}

bool PhraseComesBefore(const PhraseItemRecord& a, const PhraseItemRecord& b) noexcept
{
    if (a.IsFolder() != b.IsFolder()) {
        return a.IsFolder();
    }
    return static_cast<unsigned int>(a.sortId) < static_cast<unsigned int>(b.sortId);
}
