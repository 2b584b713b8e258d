#pragma once

// One entry of the clipboard history: one clipboard format's data, where it came
// from, and its parts (the other formats kept from the same copy).
//
// Text types hold a NUL-terminated block made by AllocItemData; the size counts
// the bytes including the NUL. A bitmap item holds an HBITMAP (size 4).

#include <windows.h>

#include <string>
#include <vector>

#include "platform/CString.h"

// Item types; the numbers are also the "DataType" of the history files.
enum CCHItemType : int
{
    CHT_ANSI_TEXT = 0,    // NUL-terminated bytes, ANSI code page
    CHT_UNICODE_TEXT = 1, // NUL-terminated UTF-16
    CHT_RTF = 2,          // NUL-terminated 8-bit RTF
    CHT_OVELLINE = 3,     // the bytes of "Ovelline Format"
    CHT_BITMAP = 4,       // an HBITMAP
    CHT_HTML = 5,         // NUL-terminated "HTML Format" bytes
};

// len 0 gives null; otherwise a committed block of len + 2 bytes (zeroed when
// asked). Freed with FreeItemData.
void* AllocItemData(size_t len, bool zero);
void FreeItemData(void* data);

// The file extension of an item type ("txt", "txt", "rtf", "ovl", "bmp",
// "html"); empty for an unknown type.
LPCWSTR GetItemTypeExtension(int type);

// Deletes a file, clearing its read-only attribute first. Refuses directories.
bool DeleteFileClearReadOnly(LPCWSTR path);

// Where a copy came from. Owns its icon; a copy takes its own copy of the icon.
struct CCHOwnerInfo
{
    CString exePath;
    CString windowTitle;
    int iconFetched = 0;
    HICON icon = nullptr;

    CCHOwnerInfo() = default;
    ~CCHOwnerInfo();
    CCHOwnerInfo(const CCHOwnerInfo& other);
    CCHOwnerInfo& operator=(const CCHOwnerInfo& other);
};

class CCHItem;
class COvlMetaInfo;

// Shared ownership of a part: the count is changed with interlocked operations
// because clones share parts with their originals.
class CCHItemPtr
{
public:
    CCHItemPtr() = default;
    // Takes the item with a count of 1.
    explicit CCHItemPtr(CCHItem* item);
    CCHItemPtr(const CCHItemPtr& other);
    CCHItemPtr& operator=(const CCHItemPtr& other);
    ~CCHItemPtr();

    CCHItem* Get() const { return m_item; }
    CCHItem* operator->() const { return m_item; }
    CCHItem& operator*() const { return *m_item; }
    explicit operator bool() const { return m_item != nullptr; }
    long GetCount() const { return m_count ? *m_count : 0; }

private:
    void Release();

    CCHItem* m_item = nullptr;
    long* m_count = nullptr;
};

class CCHItem
{
public:
    // A new item with a new key, the next id and the current local time.
    CCHItem(int type, HWND sourceWindow);
    ~CCHItem();
    CCHItem(const CCHItem&) = delete;
    CCHItem& operator=(const CCHItem&) = delete;

    // Destroys the parts and the meta-info text and frees the data (a bitmap
    // only while the item owns it). True when there was data to free.
    bool ClearData();
    // A copy sharing the parts, with its own copy of the data.
    CCHItem* Clone() const;

    // --- Data ---
    int GetType() const { return m_type; }
    void SetType(int type)
    {
        m_type = type;
        m_fingerprintState = 0;
    }
    const void* GetData() const { return m_data; }
    unsigned GetSize() const { return m_size; }
    // Takes a block made by AllocItemData (frees the current data first).
    void SetData(void* data, unsigned size);
    // Copies `size` bytes into a new NUL-padded block. False on allocation failure.
    bool SetDataCopy(const void* bytes, unsigned size);
    // A Unicode text with its NUL (type 1 data).
    bool SetUnicodeText(LPCWSTR text);
    // Takes the bitmap (type 4, size 4).
    void SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const { return m_type == CHT_BITMAP ? static_cast<HBITMAP>(m_data) : nullptr; }
    void SetOwnsBitmap(int owns) { m_ownsBitmap = owns; }
    // The data as wide text (type 1) or as bytes (other text types), read no
    // further than the size.
    CString GetWideText() const;
    std::string GetByteText() const;
    // A hash of what item equality compares, computed once and kept until the
    // data changes: items that compare equal have equal fingerprints, so a
    // difference settles inequality without comparing the data. False when
    // the item has none (a clip, or data that cannot be read).
    bool GetContentFingerprint(unsigned long long& fingerprint) const;

    // --- Parts ---
    const std::vector<CCHItemPtr>& GetParts() const { return m_parts; }
    // Takes the part (count 1).
    void AddPart(CCHItem* part);
    // The item itself when its type equals, else the first part of that type.
    CCHItem* FindPart(int type);
    CCHItem* FindHtmlPart() { return FindPart(CHT_HTML); }
    // Whether (unless partsOnly) the item itself, or any part, has the type.
    bool HasType(int type, bool partsOnly) const;
    bool HasBitmapPart(bool partsOnly) const { return HasType(CHT_BITMAP, partsOnly); }
    bool HasHtmlPart(bool partsOnly) const { return HasType(CHT_HTML, partsOnly); }
    // "rtf, html": the extension of the item's type, then of each part.
    CString GetFormatListText() const;

    // --- Identity and source ---
    const CString& GetKey() const { return m_key; }
    int GetId() const { return m_id; }
    void SetId(int id) { m_id = id; }
    HWND GetSourceWindow() const { return m_sourceWindow; }
    CCHOwnerInfo& GetOwnerInfo() { return m_ownerInfo; }
    const CCHOwnerInfo& GetOwnerInfo() const { return m_ownerInfo; }
    const SYSTEMTIME& GetTime() const { return m_time; }
    void SetTime(const SYSTEMTIME& time) { m_time = time; }
    LCID GetTextLocale() const { return m_textLocale; }
    void SetTextLocale(LCID locale) { m_textLocale = locale; }
    const CString& GetUrl() const { return m_url; }
    bool HasUrl() const { return !m_url.IsEmpty(); }
    void SetUrl(const CString& url) { m_url = url; }
    const std::string& GetOvlMetaInfoText() const { return m_metaInfo; }
    void SetOvlMetaInfoText(const std::string& xml) { m_metaInfo = xml; }
    bool HasOvlMetaInfo() const { return !m_metaInfo.empty(); }
    // Parses the meta-info text; false when empty or unparsable.
    bool GetOvlMetaInfo(COvlMetaInfo& info) const;

    // --- Protection ---
    bool IsProtected() const { return m_protected != 0; }
    // The flag alone, no file effects.
    void SetProtectedFlag(bool value) { m_protected = value ? 1 : 0; }
    // 0 unchanged; 1 the item's files were updated; 2 not on disk, or the
    // update failed. A protected item's data file is read-only on disk.
    int SetProtected(bool value);

    // --- Files ---
    // 0 not on disk, 1 loaded from disk, 2 written by the save worker.
    int GetFileState() const { return m_fileState; }
    const CString& GetDataFilePath() const { return m_dataFilePath; }
    const CString& GetDescriptorPath() const { return m_descriptorPath; }
    void SetDescriptorPath(const CString& path) { m_descriptorPath = path; }
    // An empty path first clears the read-only attribute of the current data file.
    void SetFileInfo(int state, const CString& path);
    // Sets the data file path alone (a part written by the saver).
    void SetDataFilePath(const CString& path) { m_dataFilePath = path; }
    // File state 0, data file and descriptor paths emptied.
    void MarkNotOnDisk();
    // The descriptor, the data file and each part's data file (those set).
    std::vector<CString> GetFileList() const;

    // --- Cached texts ---
    const CString& GetMenuText() const { return m_menuText; }
    void SetMenuText(const CString& text) { m_menuText = text; }
    const CString& GetTipText() const { return m_tipText; }
    void SetTipText(const CString& text) { m_tipText = text; }
    void ClearCachedTexts();

private:
    std::string m_metaInfo;
    HWND m_sourceWindow = nullptr;
    CString m_descriptorPath;
    CString m_key;
    std::vector<CCHItemPtr> m_parts;
    int m_ownsBitmap = 1;
    int m_protected = 0;
    CString m_menuText;
    CString m_tipText;
    CString m_dataFilePath;
    int m_id = 0;
    CString m_url;
    CCHOwnerInfo m_ownerInfo;
    int m_fileState = 0;
    SYSTEMTIME m_time = {};
    int m_type = CHT_UNICODE_TEXT;
    void* m_data = nullptr;
    unsigned m_size = 0;
    LCID m_textLocale = 0;
    // 0 not computed yet, 1 m_fingerprint holds it, 2 the item has none.
    mutable int m_fingerprintState = 0;
    mutable unsigned long long m_fingerprint = 0;
};

// Deletes the item's files that exist; when every listed file is gone the item
// is marked not on disk. Returns the number deleted.
int DeleteItemFiles(CCHItem& item);

// Whether two items hold the same content: same type; bitmaps by pixels;
// Ovelline clips never; text by its characters (case counts).
bool ItemsEqual(const CCHItem& a, const CCHItem& b);
