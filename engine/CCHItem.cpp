#include "engine/CCHItem.h"

#include <objbase.h>

#include <atomic>
#include <cstring>

#include "common/InvariantCompare.h"
#include "engine/ClipboardBitmaps.h"
#include "engine/ClipboardHistoryFiles.h"
#include "engine/ClipboardOwnerInfo.h"
#include "engine/ForeignClipboardFormats.h"

namespace
{
std::atomic<int> g_nextItemId{0};

CString NewItemKey()
{
    GUID guid = {};
    wchar_t text[64] = {};
    if (FAILED(::CoCreateGuid(&guid)) || !::StringFromGUID2(guid, text, 64))
        return CString();
    CString key(text);
    key.Remove(L'-');
    key.Remove(L'{');
    key.Remove(L'}');
    return key;
}

bool IsFileThere(const CString& path)
{
    return !path.IsEmpty() && ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

void* AllocItemData(size_t len, bool zero)
{
    if (len == 0)
        return nullptr;
    // VirtualAlloc always hands out zeroed pages, whatever `zero` asks for.
    (void)zero;
    return ::VirtualAlloc(nullptr, len + 2, MEM_COMMIT, PAGE_READWRITE);
}

void FreeItemData(void* data)
{
    if (data)
        ::VirtualFree(data, 0, MEM_RELEASE);
}

LPCWSTR GetItemTypeExtension(int type)
{
    static const wchar_t* const kExtensions[] = {L"txt", L"txt", L"rtf", L"ovl", L"bmp", L"html"};
    if (type < 0 || type >= static_cast<int>(sizeof(kExtensions) / sizeof(kExtensions[0])))
        return L"";
    return kExtensions[type];
}

bool DeleteFileClearReadOnly(LPCWSTR path)
{
    if (!path || !*path)
        return false;
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    return ::DeleteFileW(path) != FALSE;
}

// --- CCHOwnerInfo ---

CCHOwnerInfo::~CCHOwnerInfo()
{
    if (icon)
        ::DestroyIcon(icon);
}

CCHOwnerInfo::CCHOwnerInfo(const CCHOwnerInfo& other)
    : exePath(other.exePath), windowTitle(other.windowTitle), iconFetched(other.iconFetched),
      icon(other.icon ? ::CopyIcon(other.icon) : nullptr)
{}

CCHOwnerInfo& CCHOwnerInfo::operator=(const CCHOwnerInfo& other)
{
    if (this == &other)
        return *this;
    HICON copy = other.icon ? ::CopyIcon(other.icon) : nullptr;
    if (icon)
        ::DestroyIcon(icon);
    exePath = other.exePath;
    windowTitle = other.windowTitle;
    iconFetched = other.iconFetched;
    icon = copy;
    return *this;
}

// --- CCHItemPtr ---

CCHItemPtr::CCHItemPtr(CCHItem* item) : m_item(item)
{
    if (m_item)
        m_count = new long(1);
}

CCHItemPtr::CCHItemPtr(const CCHItemPtr& other) : m_item(other.m_item), m_count(other.m_count)
{
    if (m_count)
        ::InterlockedIncrement(m_count);
}

CCHItemPtr& CCHItemPtr::operator=(const CCHItemPtr& other)
{
    if (this == &other || m_count == other.m_count)
        return *this;
    if (other.m_count)
        ::InterlockedIncrement(other.m_count);
    Release();
    m_item = other.m_item;
    m_count = other.m_count;
    return *this;
}

CCHItemPtr::~CCHItemPtr()
{
    Release();
}

void CCHItemPtr::Release()
{
    if (m_count && ::InterlockedDecrement(m_count) == 0) {
        delete m_item;
        delete m_count;
    }
    m_item = nullptr;
    m_count = nullptr;
}

// --- CCHItem ---

CCHItem::CCHItem(int type, HWND sourceWindow)
    : m_sourceWindow(sourceWindow), m_key(NewItemKey()), m_id(g_nextItemId.fetch_add(1)), m_type(type)
{
    ::GetLocalTime(&m_time);
    if (m_sourceWindow)
        FillOwnerInfo(m_ownerInfo, m_sourceWindow);
}

CCHItem::~CCHItem()
{
    ClearData();
}

bool CCHItem::ClearData()
{
    m_parts.clear();
    m_metaInfo.clear();
    m_fingerprintState = 0;
    if (!m_data)
        return false;
    if (m_type == CHT_BITMAP) {
        if (!m_ownsBitmap)
            return false;
        ::DeleteObject(static_cast<HBITMAP>(m_data));
        m_data = nullptr;
        m_size = 0;
        return true;
    }
    FreeItemData(m_data);
    m_data = nullptr;
    m_size = 0;
    m_textLocale = 0;
    m_url.Empty();
    return true;
}

void CCHItem::SetData(void* data, unsigned size)
{
    if (m_data && m_data != data) {
        if (m_type == CHT_BITMAP) {
            if (m_ownsBitmap)
                ::DeleteObject(static_cast<HBITMAP>(m_data));
        } else {
            FreeItemData(m_data);
        }
    }
    m_data = data;
    m_size = data ? size : 0;
    m_fingerprintState = 0;
}

bool CCHItem::SetDataCopy(const void* bytes, unsigned size)
{
    void* block = AllocItemData(size, true);
    if (size != 0 && !block)
        return false;
    if (block)
        std::memcpy(block, bytes, size);
    SetData(block, size);
    return true;
}

bool CCHItem::SetUnicodeText(LPCWSTR text)
{
    const size_t bytes = (std::wcslen(text ? text : L"") + 1) * sizeof(wchar_t);
    return SetDataCopy(text ? text : L"", static_cast<unsigned>(bytes));
}

void CCHItem::SetBitmap(HBITMAP bitmap)
{
    m_type = CHT_BITMAP;
    SetData(bitmap, 4);
}

namespace
{
// The invariant locale's sort key: texts that CompareStringW finds equal have
// equal sort keys.
bool SortKeyFingerprint(const CString& text, unsigned long long& fingerprint)
{
    const int length = ::LCMapStringW(LOCALE_INVARIANT, LCMAP_SORTKEY, text.GetString(), -1, nullptr, 0);
    if (length <= 0)
        return false;
    std::vector<BYTE> key(static_cast<size_t>(length));
    if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_SORTKEY, text.GetString(), -1,
                       reinterpret_cast<LPWSTR>(key.data()), length) != length)
        return false;
    fingerprint = HashBytes(key.data(), key.size(), kFingerprintSeed);
    return true;
}
} // namespace

bool CCHItem::GetContentFingerprint(unsigned long long& fingerprint) const
{
    if (m_fingerprintState == 0) {
        bool known = false;
        if (m_type == CHT_BITMAP) {
            known = GetBitmapFingerprint(GetBitmap(), m_fingerprint);
        } else if (m_type == CHT_UNICODE_TEXT) {
            known = SortKeyFingerprint(GetWideText(), m_fingerprint);
        } else if (m_type != CHT_OVELLINE) {
            const std::string bytes = GetByteText();
            m_fingerprint = HashBytes(bytes.data(), bytes.size(), kFingerprintSeed);
            known = true;
        }
        m_fingerprintState = known ? 1 : 2;
    }
    fingerprint = m_fingerprint;
    return m_fingerprintState == 1;
}

CString CCHItem::GetWideText() const
{
    if (!m_data || m_type == CHT_BITMAP)
        return CString();
    const wchar_t* text = static_cast<const wchar_t*>(m_data);
    // The block has two zero bytes past the size, so one unit past the end is readable.
    const int units = static_cast<int>((m_size + 1) / sizeof(wchar_t));
    int length = 0;
    while (length < units && text[length])
        ++length;
    return CString(text, length);
}

std::string CCHItem::GetByteText() const
{
    if (!m_data || m_type == CHT_BITMAP)
        return std::string();
    const char* bytes = static_cast<const char*>(m_data);
    size_t length = 0;
    while (length < m_size && bytes[length])
        ++length;
    return std::string(bytes, length);
}

CCHItem* CCHItem::Clone() const
{
    // Made without a source window so that the owner is not looked up again.
    CCHItem* copy = new CCHItem(m_type, nullptr);
    copy->m_sourceWindow = m_sourceWindow;
    copy->m_parts = m_parts;
    copy->m_metaInfo = m_metaInfo;
    copy->m_key = m_key;
    copy->m_protected = m_protected;
    copy->m_id = m_id;
    copy->m_fileState = m_fileState;
    copy->m_dataFilePath = m_dataFilePath;
    copy->m_url = m_url;
    copy->m_descriptorPath = m_descriptorPath;
    copy->m_ownerInfo = m_ownerInfo;
    copy->m_time = m_time;
    copy->m_textLocale = m_textLocale;
    if (!m_data)
        return copy;
    if (m_type == CHT_BITMAP) {
        HANDLE bitmap = ::CopyImage(m_data, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        copy->m_data = bitmap;
        copy->m_size = bitmap ? 4 : 0;
        return copy;
    }
    unsigned size = m_size;
    if (size == 0) {
        size = m_type == CHT_UNICODE_TEXT
                   ? static_cast<unsigned>((std::wcslen(static_cast<const wchar_t*>(m_data)) + 1) * 2)
                   : static_cast<unsigned>(std::strlen(static_cast<const char*>(m_data)) + 1);
    }
    void* block = AllocItemData(size, true);
    if (block) {
        std::memcpy(block, m_data, size);
        copy->m_data = block;
        copy->m_size = size;
    }
    return copy;
}

void CCHItem::AddPart(CCHItem* part)
{
    if (part)
        m_parts.emplace_back(part);
}

CCHItem* CCHItem::FindPart(int type)
{
    if (m_type == type)
        return this;
    for (const CCHItemPtr& part : m_parts) {
        if (part && part->GetType() == type)
            return part.Get();
    }
    return nullptr;
}

bool CCHItem::HasType(int type, bool partsOnly) const
{
    if (!partsOnly && m_type == type)
        return true;
    for (const CCHItemPtr& part : m_parts) {
        if (part && part->GetType() == type)
            return true;
    }
    return false;
}

CString CCHItem::GetFormatListText() const
{
    CString text = GetItemTypeExtension(m_type);
    for (const CCHItemPtr& part : m_parts) {
        if (!part)
            continue;
        text += L", ";
        text += GetItemTypeExtension(part->GetType());
    }
    return text;
}

int CCHItem::SetProtected(bool value)
{
    const int flag = value ? 1 : 0;
    if (m_protected == flag)
        return 0;
    m_protected = flag;
    if (m_fileState != 1 && m_fileState != 2)
        return 2;
    bool ok = true;
    if (IsFileThere(m_dataFilePath))
        ok = SetReadOnlyAttribute(m_dataFilePath, value);
    if (!IsFileThere(m_descriptorPath))
        return 2;
    ClearReadOnlyAttribute(m_descriptorPath);
    ok = WriteProtectedKey(m_descriptorPath, value) && ok;
    return ok ? 1 : 2;
}

void CCHItem::SetFileInfo(int state, const CString& path)
{
    if (path.IsEmpty() && !m_dataFilePath.IsEmpty())
        ClearReadOnlyAttribute(m_dataFilePath);
    m_fileState = state;
    m_dataFilePath = path;
}

void CCHItem::MarkNotOnDisk()
{
    m_fileState = 0;
    m_dataFilePath.Empty();
    m_descriptorPath.Empty();
}

std::vector<CString> CCHItem::GetFileList() const
{
    std::vector<CString> files;
    if (!m_descriptorPath.IsEmpty())
        files.push_back(m_descriptorPath);
    if (!m_dataFilePath.IsEmpty())
        files.push_back(m_dataFilePath);
    for (const CCHItemPtr& part : m_parts) {
        if (part && !part->GetDataFilePath().IsEmpty())
            files.push_back(part->GetDataFilePath());
    }
    return files;
}

void CCHItem::ClearCachedTexts()
{
    m_menuText.Empty();
    m_tipText.Empty();
}

int DeleteItemFiles(CCHItem& item)
{
    int deleted = 0;
    bool allGone = true;
    for (const CString& path : item.GetFileList()) {
        if (!IsFileThere(path))
            continue;
        if (DeleteFileClearReadOnly(path))
            ++deleted;
        else
            allGone = false;
    }
    if (allGone)
        item.MarkNotOnDisk();
    return deleted;
}

bool ItemsEqual(const CCHItem& a, const CCHItem& b)
{
    if (a.GetType() != b.GetType())
        return false;
    if (a.GetType() == CHT_OVELLINE)
        return false;
    unsigned long long fingerprintA = 0;
    unsigned long long fingerprintB = 0;
    if (a.GetContentFingerprint(fingerprintA) && b.GetContentFingerprint(fingerprintB) &&
        fingerprintA != fingerprintB)
        return false;
    if (a.GetType() == CHT_BITMAP)
        return BitmapsEqual(a.GetBitmap(), b.GetBitmap());
    if (a.GetType() == CHT_UNICODE_TEXT)
        return IsEqualInvariant(a.GetWideText(), b.GetWideText());
    return a.GetByteText() == b.GetByteText();
}

bool CCHItem::GetOvlMetaInfo(COvlMetaInfo& info) const
{
    return !m_metaInfo.empty() && info.Parse(m_metaInfo.c_str());
}
