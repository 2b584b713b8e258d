#pragma once
// One phrase or one folder of the phrase tree: a menu item followed by the phrase's body, ordering,
// usage and menu fields, the folder's children and the path of its file or directory.

#include "engine/MenuItemRecord.h"
#include "platform/CString.h"

#include <memory>
#include <vector>

class PhraseItemRecord : public MenuItemRecord
{
public:
    // Bits of `flagsMenu`.
    static constexpr int kSeparatorBefore = 0x1;
    static constexpr int kSeparatorAfter = 0x2;

    PhraseItemRecord() noexcept;
    ~PhraseItemRecord();

    // A copy duplicates the whole subtree; a move hands the children over (the vector itself moves,
    // so pointers to it stay valid) and leaves the source without children.
    PhraseItemRecord(const PhraseItemRecord& other);
    PhraseItemRecord(PhraseItemRecord&& other) noexcept;
    PhraseItemRecord& operator=(const PhraseItemRecord& other);
    PhraseItemRecord& operator=(PhraseItemRecord&& other) noexcept;

    // A record with a children vector (even an empty one) is a folder.
    bool IsFolder() const noexcept { return children != nullptr; }
    // Turns the record into an (empty) folder when it is none yet; gives its children.
    std::vector<PhraseItemRecord>& MakeFolder();

    const CString& GetPath() const noexcept { return m_path; }
    // For a folder whose old directory exists and whose new one does not, renames the directory on
    // disk first; stores the new path in any case.
    void SetPath(const CString& path);
    // Stores the path and touches nothing on disk.
    void SetPathOnly(const CString& path) { m_path = path; }

    unsigned int GetUsageCount() const noexcept { return usageCount; }
    void IncrementUsageCount() noexcept { ++usageCount; }
    int GetDisabledIsNoHasSelection() const noexcept { return disabledIsNoHasSelection; }
    int GetUseTitleOnly() const noexcept { return useTitleOnly; }
    int HasSeparatorBefore() const noexcept { return flagsMenu & kSeparatorBefore; }
    int HasSeparatorAfter() const noexcept { return (flagsMenu & kSeparatorAfter) ? 1 : 0; }

    // True when the flag changed.
    bool SetIncluded(int flag) noexcept;
    // A phrase: its included flag. A folder: whether any record below it has included content.
    bool HasIncludedContent() const noexcept;

    bool HasUsageDate() const noexcept { return dateUsage.wYear != 0; }
    // Copies the date out when there is one.
    bool GetUsageDate(SYSTEMTIME& out) const noexcept;
    // Phrases only (false for a folder).
    bool SetUsageDate(const SYSTEMTIME& date) noexcept;
    // Phrases only: the date of the last use becomes now (UTC).
    bool StampUsageDate() noexcept;

    CString body;
    int sortId = 0; // ordered as an unsigned 32-bit value
    int useTitleOnly = 0;
    SYSTEMTIME dateUsage{}; // UTC; a zero year means never used
    std::unique_ptr<std::vector<PhraseItemRecord>> children;
    int disabledIsNoHasSelection = 0;
    unsigned int usageCount = 0;
    int included = 1;
    int flagsMenu = 0;

private:
    void CopyPhraseFields(const PhraseItemRecord& other);

    CString m_path;
};

// True when `a` comes before `b` in a folder: folders before phrases, then the smaller SortID
// compared as an unsigned value.
bool PhraseComesBefore(const PhraseItemRecord& a, const PhraseItemRecord& b) noexcept;
