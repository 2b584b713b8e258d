#pragma once

// The clipboard history as the phrase menu and the command lookup read it: how many items there
// are, each item's type, data, cached menu and tooltip texts, and the lock that keeps new items
// out while the menu is open. Items are addressed by index, 0 the newest. The history window
// provides it (an adapter over its queue); without one the menu shows no history.

#include <windows.h>

#include <cstddef>

#include "platform/CString.h"

// Types of a history item (the numbers the history stores).
enum MenuHistoryItemType : int
{
    kHistoryAnsiText = 0,    // NUL-terminated bytes in the ANSI code page
    kHistoryUnicodeText = 1, // NUL-terminated UTF-16
    kHistoryRtf = 2,         // NUL-terminated 8-bit RTF
    kHistoryDocument = 3,    // an Ovelline clip
    kHistoryBitmap = 4,
    kHistoryHtml = 5,
};

class IMenuHistoryItem
{
public:
    virtual int GetType() const = 0;
    // The item's data: for the text types the text with its terminating NUL; `size` in bytes.
    virtual const void* GetData() const = 0;
    virtual size_t GetSize() const = 0;

    // The cached menu caption and tooltip text (empty until the menu stores them).
    virtual CString GetMenuText() const = 0;
    virtual void SetMenuText(const CString& text) = 0;
    virtual CString GetTipText() const = 0;
    virtual void SetTipText(const CString& text) = 0;

    // The item's preview for a menu line: at most 150 characters.
    virtual CString GetMenuLine() const = 0;
    // Whether the item carries document meta information, and its long description.
    virtual bool HasOvlMetaInfo() const = 0;
    virtual CString DescribeOvlMetaInfoLong() const = 0;
    // The address the data was copied from; empty when unknown.
    virtual CString GetUrl() const = 0;

protected:
    IMenuHistoryItem() = default;
    ~IMenuHistoryItem() = default;
    IMenuHistoryItem(const IMenuHistoryItem&) = default;
    IMenuHistoryItem& operator=(const IMenuHistoryItem&) = default;
};

class IMenuHistory
{
public:
    virtual int GetHistoryCount() const = 0;
    // The item at the index (0 = newest); null when there is none.
    virtual IMenuHistoryItem* GetHistoryItem(int index) = 0;
    // While locked, the history takes no new items.
    virtual void SetLocked(bool locked) = 0;

protected:
    IMenuHistory() = default;
    ~IMenuHistory() = default;
    IMenuHistory(const IMenuHistory&) = default;
    IMenuHistory& operator=(const IMenuHistory&) = default;
};

// The first command id of the history items in the phrase menu: item i has 2000 + i.
inline constexpr int kHistoryMenuFirstId = 2000;
// At most this many history items get menu ids (2000 to 2999): phrase ids
// step over that block.
inline constexpr int kHistoryMenuMaxItems = 1000;
