#include "engine/ClipboardHistoryFiles.h"

#include <climits>
#include <set>
#include <string>
#include <unordered_map>

#include "common/FileBytes.h"
#include "common/IniFile.h"
#include "common/IniText.h"
#include "common/KernelHandle.h"
#include "common/SharedLog.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardBitmaps.h"

namespace
{
constexpr wchar_t kSection[] = L"Files";
constexpr wchar_t kDataStem[] = L"clipboard_history";
constexpr wchar_t kUnicodePrefix[] = L"Unicode_";
constexpr wchar_t kDescriptorStem[] = L"scrivolanter_cb";
constexpr wchar_t kMetaInfoSuffix[] = L"_ovl_metainfo.xml";
constexpr int kMaxFreeNumber = 1000000;
// A descriptor is a few hundred bytes; anything near this is not one.
constexpr unsigned long long kMaxDescriptorBytes = 1024 * 1024;

// Whether anything (a file or a folder) holds the name.
bool NameTaken(LPCWSTR path)
{
    return path && *path && ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void LogSkipped(LPCWSTR what, LPCWSTR path)
{
    WriteLogLine(CString(L"Clipboard history: ") + what + L" [" + path + L"]");
}

CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind(L'\\');
    return slash < 0 ? CString() : path.Left(slash);
}

CString FileNameOf(const CString& path)
{
    return path.Mid(path.ReverseFind(L'\\') + 1);
}

CString ExtensionOf(const CString& path)
{
    const CString name = FileNameOf(path);
    const int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

bool EndsWithNoCase(const CString& text, LPCWSTR suffix)
{
    const int length = static_cast<int>(wcslen(suffix));
    return text.GetLength() >= length && text.Right(length).CompareNoCase(suffix) == 0;
}

CString NewTempFilePath(const CString& folder)
{
    wchar_t path[MAX_PATH + 16] = {};
    if (!::GetTempFileNameW(folder, L"scv", 0, path))
        return CString();
    return path;
}

void DeleteNewFiles(const std::vector<CString>& files)
{
    for (const CString& path : files)
        DeleteFileClearReadOnly(path);
}

int TypeFromExtension(const CString& extension)
{
    if (extension.CompareNoCase(L"bmp") == 0)
        return CHT_BITMAP;
    if (extension.CompareNoCase(L"ovl") == 0)
        return CHT_OVELLINE;
    if (extension.CompareNoCase(L"rtf") == 0)
        return CHT_RTF;
    if (extension.CompareNoCase(L"html") == 0)
        return CHT_HTML;
    return CHT_UNICODE_TEXT;
}

// A bitmap from the bytes read: made straight from them where the file is a plain DIB, else decoded
// from the file by LoadImageW.
std::unique_ptr<CCHItem> LoadBitmapItem(LPCWSTR path, const std::string& bytes)
{
    HANDLE bitmap = BitmapFromFileBytes(bytes.data(), bytes.size());
    if (!bitmap)
        bitmap = ::LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!bitmap)
        return nullptr;
    auto item = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
    item->SetBitmap(static_cast<HBITMAP>(bitmap));
    return item;
}

std::unique_ptr<CCHItem> LoadDataItem(LPCWSTR path, int type, const std::string& bytes)
{
    size_t skip = 0;
    if (type == CHT_UNICODE_TEXT) {
        const bool hasMark =
            bytes.size() >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE;
        const CString name = FileNameOf(path);
        const bool unicodeName =
            name.Left(static_cast<int>(wcslen(kUnicodePrefix))).CompareNoCase(kUnicodePrefix) == 0;
        if (hasMark)
            skip = 2;
        else if (!unicodeName)
            type = CHT_ANSI_TEXT;
    }
    if (bytes.size() == skip)
        return nullptr;
    auto item = std::make_unique<CCHItem>(type, nullptr);
    if (!item->SetDataCopy(bytes.data() + skip, static_cast<unsigned>(bytes.size() - skip)))
        return nullptr;
    return item;
}
} // namespace

CString EnsureClipboardHistoryFolder(const CString& folder)
{
    if (folder.IsEmpty())
        return CString();
    const DWORD attributes = ::GetFileAttributesW(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? folder : CString();
    return ::CreateDirectoryW(folder, nullptr) ? folder : CString();
}

bool ClearReadOnlyAttribute(LPCWSTR path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY))
        return true;
    const DWORD cleared = attributes == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL
                                                                : (attributes & ~FILE_ATTRIBUTE_READONLY);
    return ::SetFileAttributesW(path, cleared ? cleared : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool SetReadOnlyAttribute(LPCWSTR path, bool readOnly)
{
    if (!readOnly)
        return ClearReadOnlyAttribute(path);
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return true;
    return ::SetFileAttributesW(path, (attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_READONLY) !=
           FALSE;
}

bool WriteProtectedKey(LPCWSTR descriptor, bool value)
{
    const DWORD attributes = ::GetFileAttributesW(descriptor);
    const bool wasReadOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (wasReadOnly)
        ClearReadOnlyAttribute(descriptor);
    const bool written = IniWriteString(descriptor, kSection, L"Protected", value ? L"1" : L"0");
    if (wasReadOnly)
        ::SetFileAttributesW(descriptor, attributes);
    return written;
}

namespace
{
// stem + N + extension for the first free N from the cursor (1 without one).
CString FindFreeNumberedPath(const CString& stem, const CString& extension, CHistoryFileNumbers* numbers)
{
    int first = 1;
    int* cursor = numbers ? &numbers->NextFor(stem + L"." + extension) : &first;
    for (int number = *cursor; number < kMaxFreeNumber; ++number) {
        CString path;
        path.Format(L"%s%d", stem.GetString(), number);
        if (!extension.IsEmpty())
            path += CString(L".") + extension;
        if (!NameTaken(path)) {
            *cursor = number + 1;
            return path;
        }
    }
    return CString();
}
} // namespace

CString GetFreeDataFilePath(const CString& folder, int type, CHistoryFileNumbers* numbers)
{
    const CString stem = folder + L"\\" + (type == CHT_UNICODE_TEXT ? kUnicodePrefix : L"") + kDataStem;
    return FindFreeNumberedPath(stem, GetItemTypeExtension(type), numbers);
}

CString GetFreeDescriptorPath(const CString& folder, CHistoryFileNumbers* numbers)
{
    return FindFreeNumberedPath(folder + L"\\" + kDescriptorStem, L"info", numbers);
}

bool WriteDataFile(LPCWSTR path, const CCHItem& item, const SYSTEMTIME& time)
{
    if (!path || !*path || item.GetSize() == 0 || !item.GetData())
        return false;
    // A name no file has (CREATE_NEW fails on a taken one), written in one open: the data from
    // memory, the times, a flush. No descriptor names the file before it is whole, so a load never
    // reads it cut; a failed write deletes it.
    CKernelHandle file(::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    bool written = false;
    if (item.GetType() == CHT_BITMAP) {
        written = WriteBitmapFile(file.Get(), item.GetBitmap());
    } else {
        static const BYTE kMark[] = {0xFF, 0xFE};
        written = (item.GetType() != CHT_UNICODE_TEXT || WriteAllBytes(file.Get(), kMark, sizeof(kMark))) &&
                  WriteAllBytes(file.Get(), item.GetData(), item.GetSize());
    }
    // The last-write time too: it is what the loader reads back, and unlike
    // the creation time every file system keeps it.
    FILETIME fileTime = {};
    if (written && ::SystemTimeToFileTime(&time, &fileTime))
        ::SetFileTime(file.Get(), &fileTime, nullptr, &fileTime);
    written = written && ::FlushFileBuffers(file.Get());
    if (!written) {
        file.Reset();
        DeleteFileClearReadOnly(path);
    }
    return written;
}

CString WriteMetaInfoFile(const CCHItem& item, LPCWSTR dataPath)
{
    const std::string& xml = item.GetOvlMetaInfoText();
    if (xml.empty() || !dataPath || !*dataPath)
        return CString();
    CString path = dataPath;
    const int dot = path.ReverseFind(L'.');
    if (dot > path.ReverseFind(L'\\'))
        path = path.Left(dot);
    path += kMetaInfoSuffix;
    CKernelHandle file(::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return CString();
    if (!WriteAllBytes(file.Get(), xml.data(), static_cast<DWORD>(xml.size()))) {
        file.Reset();
        ::DeleteFileW(path);
        return CString();
    }
    return path;
}

namespace
{
// A value on one line: line breaks would end the value early when read back.
CString OneLine(const CString& value)
{
    CString line = value;
    line.Replace(L'\r', L' ');
    line.Replace(L'\n', L' ');
    return line;
}

void AppendKey(CString& text, LPCWSTR key, const CString& value)
{
    text += key;
    text += L"=";
    text += OneLine(value);
    text += L"\r\n";
}
} // namespace

namespace
{
// The descriptor's whole text, its mark (U+FEFF, written FF FE) in front.
CString DescriptorText(const CCHItem& item, const std::vector<CString>& fileNames, const CString& metaInfoName)
{
    CString text = CString(L"\xFEFF[") + kSection + L"]\r\n";
    CString number;
    number.Format(L"%d", item.GetType());
    AppendKey(text, L"DataType", number);
    AppendKey(text, L"Protected", item.IsProtected() ? L"1" : L"0");
    AppendKey(text, L"WndName", item.GetOwnerInfo().windowTitle);
    AppendKey(text, L"ExeName", item.GetOwnerInfo().exePath);
    if (item.HasUrl())
        AppendKey(text, L"URL", item.GetUrl());
    if (!metaInfoName.IsEmpty())
        AppendKey(text, L"OvlMetaInfo", metaInfoName);
    for (size_t k = 0; k < fileNames.size(); ++k) {
        CString key;
        key.Format(L"File%d", static_cast<int>(k));
        AppendKey(text, key, fileNames[k]);
    }
    return text;
}

// One write of the whole text (the profile functions would read and rewrite the file once per key)
// and the creation time, in the open `disposition` makes. A file this made and could not write is deleted.
bool WriteDescriptorFile(LPCWSTR path, const CCHItem& item, const std::vector<CString>& fileNames,
                         const CString& metaInfoName, DWORD disposition)
{
    if (!path || !*path || fileNames.empty())
        return false;
    const CString text = DescriptorText(item, fileNames, metaInfoName);
    CKernelHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    if (!WriteAllBytes(file.Get(), text.GetString(), static_cast<DWORD>(text.GetLength() * sizeof(wchar_t)))) {
        file.Reset();
        ::DeleteFileW(path);
        return false;
    }
    FILETIME creation = {};
    if (::SystemTimeToFileTime(&item.GetTime(), &creation))
        ::SetFileTime(file.Get(), &creation, nullptr, nullptr);
    return true;
}
} // namespace

bool WriteItemDescriptor(LPCWSTR path, const CCHItem& item, const std::vector<CString>& fileNames,
                         const CString& metaInfoName)
{
    return WriteDescriptorFile(path, item, fileNames, metaInfoName, CREATE_ALWAYS);
}

bool SaveItem(CCHItem& item, const CString& folder, CHistoryFileNumbers* numbers)
{
    if (folder.IsEmpty())
        return false;
    const CString dataPath = GetFreeDataFilePath(folder, item.GetType(), numbers);
    if (!WriteDataFile(dataPath, item, item.GetTime())) {
        LogSkipped(L"cannot write the data file", dataPath);
        return false;
    }
    std::vector<CString> newFiles{dataPath};
    const CString metaPath = item.HasOvlMetaInfo() ? WriteMetaInfoFile(item, dataPath) : CString();
    if (!metaPath.IsEmpty())
        newFiles.push_back(metaPath);

    // Parts: each into a file of its own; a part that cannot be written is left out.
    std::vector<CString> fileNames{FileNameOf(dataPath)};
    std::vector<std::pair<CCHItem*, CString>> writtenParts;
    for (const CCHItemPtr& part : item.GetParts()) {
        if (!part)
            continue;
        const CString partPath = GetFreeDataFilePath(folder, part->GetType(), numbers);
        if (!WriteDataFile(partPath, *part, item.GetTime()))
            continue;
        newFiles.push_back(partPath);
        fileNames.push_back(FileNameOf(partPath));
        writtenParts.emplace_back(part.Get(), partPath);
    }

    // The descriptor comes last, when every file it names is whole on disk.
    const CString metaName = metaPath.IsEmpty() ? CString() : FileNameOf(metaPath);
    CString descriptor = item.GetDescriptorPath();
    ClipboardHistoryDescriptor old;
    const bool replacing = !descriptor.IsEmpty() && NameTaken(descriptor);
    const bool hadOld = replacing && ReadDescriptor(descriptor, old);
    bool ok = false;
    if (replacing) {
        // A descriptor already on disk is replaced only by a whole one: written under a temporary
        // name beside it and renamed over it.
        const CString temp = NewTempFilePath(folder);
        if (!temp.IsEmpty())
            newFiles.push_back(temp);
        ok = !temp.IsEmpty() && WriteItemDescriptor(temp, item, fileNames, metaName);
        if (ok) {
            ClearReadOnlyAttribute(descriptor);
            ok = ::MoveFileExW(temp, descriptor, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        }
    } else {
        // A new name: written in place, never over a file (CREATE_NEW).
        if (descriptor.IsEmpty())
            descriptor = GetFreeDescriptorPath(folder, numbers);
        ok = !descriptor.IsEmpty() && WriteDescriptorFile(descriptor, item, fileNames, metaName, CREATE_NEW);
    }
    if (!ok) {
        LogSkipped(L"cannot write the descriptor", descriptor.IsEmpty() ? folder : descriptor);
        DeleteNewFiles(newFiles);
        return false;
    }

    // The replaced descriptor's files are no longer named by any descriptor.
    if (hadOld) {
        const CString oldFolder = FolderOf(descriptor);
        for (const CString& name : old.files)
            DeleteFileClearReadOnly(oldFolder + L"\\" + name);
        if (!old.ovlMetaInfo.IsEmpty())
            DeleteFileClearReadOnly(oldFolder + L"\\" + old.ovlMetaInfo);
    }

    item.SetDescriptorPath(descriptor);
    item.SetDataFilePath(dataPath);
    for (auto& [part, path] : writtenParts)
        part->SetDataFilePath(path);
    if (item.IsProtected())
        SetReadOnlyAttribute(dataPath, true);
    return true;
}

namespace
{
// CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension: such names
// open devices, and reading one can block for good.
bool IsDeviceName(const CString& name)
{
    CString stem = name;
    const int dot = stem.Find(L'.');
    if (dot >= 0)
        stem = stem.Left(dot);
    stem.TrimRight(L" ");
    for (LPCWSTR device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (stem.CompareNoCase(device) == 0)
            return true;
    }
    if (stem.GetLength() == 4 &&
        (stem.Left(3).CompareNoCase(L"COM") == 0 || stem.Left(3).CompareNoCase(L"LPT") == 0))
        return stem[3] >= L'0' && stem[3] <= L'9';
    return false;
}
} // namespace

bool IsPlainHistoryFileName(const CString& name)
{
    if (name.IsEmpty() || name.GetLength() >= MAX_PATH || name == L"." || name == L".." || IsDeviceName(name))
        return false;
    for (int i = 0; i < name.GetLength(); ++i) {
        const wchar_t ch = name[i];
        if (ch < 32 || ch == L'\\' || ch == L'/' || ch == L':' || ch == L'*' || ch == L'?' || ch == L'"' ||
            ch == L'<' || ch == L'>' || ch == L'|')
            return false;
    }
    return true;
}

bool ReadDescriptor(LPCWSTR path, ClipboardHistoryDescriptor& record)
{
    record = ClipboardHistoryDescriptor();
    // One read of the file, every key looked up in memory (a profile call per key opens and
    // reads the file each time).
    CIniText descriptor;
    if (!descriptor.Load(path, kMaxDescriptorBytes))
        return false;
    record.isProtected = descriptor.ReadInt(kSection, L"Protected", 0) != 0;
    record.dataType = static_cast<int>(descriptor.ReadInt(kSection, L"DataType", -1));
    for (int k = 0; k < kMaxHistoryDescriptorFiles; ++k) {
        CString key;
        key.Format(L"File%d", k);
        CString name;
        if (!descriptor.ReadString(kSection, key, name))
            break;
        if (!IsPlainHistoryFileName(name)) {
            LogSkipped(L"unsafe file name in descriptor", path);
            break;
        }
        record.files.push_back(name);
    }
    descriptor.ReadString(kSection, L"WndName", record.wndName);
    descriptor.ReadString(kSection, L"ExeName", record.exeName);
    descriptor.ReadString(kSection, L"URL", record.url);
    CString meta;
    if (descriptor.ReadString(kSection, L"OvlMetaInfo", meta) && IsPlainHistoryFileName(meta))
        record.ovlMetaInfo = meta;
    return !record.files.empty();
}

int DeleteDescriptorAndFiles(const CString& descriptor)
{
    if (descriptor.IsEmpty() || !NameTaken(descriptor))
        return 0;
    ClipboardHistoryDescriptor record;
    ReadDescriptor(descriptor, record);
    std::vector<CString> names = record.files;
    if (!record.ovlMetaInfo.IsEmpty())
        names.push_back(record.ovlMetaInfo);
    const CString folder = FolderOf(descriptor);
    int deleted = 0;
    for (const CString& name : names)
        deleted += DeleteFileClearReadOnly(folder + L"\\" + name) ? 1 : 0;
    return deleted + (DeleteFileClearReadOnly(descriptor) ? 1 : 0);
}

namespace
{
// A data file as an item; with `withMetaInfo`, the meta-info file of that name (none when empty)
// gives the item's meta-info text.
std::unique_ptr<CCHItem> LoadItemFileWithMetaInfo(LPCWSTR path, bool withMetaInfo,
                                                  const CString& metaInfoName)
{
    // The bytes, the attributes and the capture time (the last-write time) from one open.
    BY_HANDLE_FILE_INFORMATION data = {};
    std::string bytes;
    if (!ReadFileBytesBounded(path, kMaxHistoryDataFileBytes, bytes, &data) || bytes.empty() ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    const int type = TypeFromExtension(ExtensionOf(path));
    std::unique_ptr<CCHItem> item =
        type == CHT_BITMAP ? LoadBitmapItem(path, bytes) : LoadDataItem(path, type, bytes);
    if (!item)
        return nullptr;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        item->SetProtectedFlag(true);
    SYSTEMTIME time = {};
    if (::FileTimeToSystemTime(&data.ftLastWriteTime, &time))
        item->SetTime(time);
    item->SetFileInfo(1, path);
    if (withMetaInfo) {
        item->SetOvlMetaInfoText(std::string());
        std::string xml;
        if (!metaInfoName.IsEmpty() && IsPlainHistoryFileName(metaInfoName) &&
            ReadFileBytesBounded(FolderOf(path) + L"\\" + metaInfoName, kMaxHistoryMetaInfoBytes, xml) &&
            !xml.empty())
            item->SetOvlMetaInfoText(xml.substr(0, xml.find('\0')));
    }
    return item;
}
} // namespace

std::unique_ptr<CCHItem> LoadItemFile(LPCWSTR path, LPCWSTR descriptorPath)
{
    if (!descriptorPath || !*descriptorPath)
        return LoadItemFileWithMetaInfo(path, false, CString());
    ClipboardHistoryDescriptor record;
    ReadDescriptor(descriptorPath, record);
    return LoadItemFileWithMetaInfo(path, true, record.ovlMetaInfo);
}

namespace
{
// The items of one load, with an index by content fingerprint: the same content saved twice is
// found by a look-up instead of a comparison with every item read before.
class CLoadedItems
{
public:
    explicit CLoadedItems(std::vector<std::unique_ptr<CCHItem>> items)
    {
        for (std::unique_ptr<CCHItem>& item : items)
            Keep(std::move(item));
    }

    // The item equal to `item`, null when none.
    CCHItem* FindEqual(const CCHItem& item) const
    {
        unsigned long long fingerprint = 0;
        if (item.GetType() == CHT_OVELLINE)
            return nullptr; // never equal to anything
        const bool known = item.GetContentFingerprint(fingerprint);
        if (known) {
            const auto range = m_byFingerprint.equal_range(fingerprint);
            for (auto it = range.first; it != range.second; ++it) {
                if (m_items[it->second] && ItemsEqual(*m_items[it->second], item))
                    return m_items[it->second].get();
            }
        }
        // Items whose fingerprint cannot be had compare with every item of their type.
        for (size_t index = 0; index < m_items.size(); ++index) {
            const bool candidate = m_items[index] && m_items[index]->GetType() == item.GetType() &&
                                   (!known || m_unknown.count(index));
            if (candidate && ItemsEqual(*m_items[index], item))
                return m_items[index].get();
        }
        return nullptr;
    }

    // `item` takes the place of the equal `dropped`: its id, and it goes after the items read so far.
    void Replace(CCHItem& dropped, std::unique_ptr<CCHItem> item)
    {
        for (std::unique_ptr<CCHItem>& slot : m_items) {
            if (slot.get() == &dropped) {
                item->SetId(dropped.GetId());
                slot.reset();
                break;
            }
        }
        Keep(std::move(item));
    }

    void Keep(std::unique_ptr<CCHItem> item)
    {
        unsigned long long fingerprint = 0;
        if (item->GetContentFingerprint(fingerprint))
            m_byFingerprint.emplace(fingerprint, m_items.size());
        else
            m_unknown.insert(m_items.size());
        m_items.push_back(std::move(item));
    }

    std::vector<std::unique_ptr<CCHItem>> Take()
    {
        std::vector<std::unique_ptr<CCHItem>> items;
        for (std::unique_ptr<CCHItem>& item : m_items) {
            if (item)
                items.push_back(std::move(item));
        }
        return items;
    }

private:
    std::vector<std::unique_ptr<CCHItem>> m_items;
    std::unordered_multimap<unsigned long long, size_t> m_byFingerprint;
    std::set<size_t> m_unknown;
};

// The item of a descriptor, its parts and what the descriptor says; null when its data file cannot be read.
std::unique_ptr<CCHItem> LoadDescribedItem(const CString& folder, const CString& descriptor)
{
    ClipboardHistoryDescriptor record;
    if (!ReadDescriptor(descriptor, record)) {
        LogSkipped(L"descriptor names no file, skipped", descriptor);
        return nullptr;
    }
    std::unique_ptr<CCHItem> item =
        LoadItemFileWithMetaInfo(folder + L"\\" + record.files[0], true, record.ovlMetaInfo);
    if (!item) {
        LogSkipped(L"data file missing or unreadable, descriptor skipped", descriptor);
        return nullptr;
    }
    item->SetDescriptorPath(descriptor);
    for (size_t k = 1; k < record.files.size(); ++k) {
        const CString partPath = folder + L"\\" + record.files[k];
        std::unique_ptr<CCHItem> part = LoadItemFileWithMetaInfo(partPath, false, CString());
        if (!part) {
            LogSkipped(L"part missing or unreadable, left out", partPath);
            continue;
        }
        item->AddPart(part.release());
    }
    if (!record.url.IsEmpty())
        item->SetUrl(record.url);
    if (record.isProtected)
        item->SetProtectedFlag(true);
    item->GetOwnerInfo().windowTitle = record.wndName;
    item->GetOwnerInfo().exePath = record.exeName;
    return item;
}
} // namespace

bool LoadFolder(CCHQueue& queue, const CString& requested)
{
    const CString folder = EnsureClipboardHistoryFolder(requested);
    if (folder.IsEmpty())
        return false;
    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW(folder + L"\\*.info", &found);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    // The items held are looked up like the ones read; a locked queue takes no new item (the files
    // are still read, and the older copy of content held is still deleted).
    const bool locked = queue.IsLocked();
    CLoadedItems loaded(queue.TakeItems());
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !EndsWithNoCase(found.cFileName, L".info"))
            continue;
        const CString descriptor = folder + L"\\" + found.cFileName;
        std::unique_ptr<CCHItem> item = LoadDescribedItem(folder, descriptor);
        if (!item)
            continue;
        // The same content saved twice loads once, as the running history holds
        // it: the newer copy stays, the older one's files go.
        CCHItem* same = loaded.FindEqual(*item);
        if (same && CompareCaptureTimes(same->GetTime(), item->GetTime()) >= 0) {
            if (item->IsProtected())
                same->SetProtected(true);
            LogSkipped(L"the same content is saved again newer, these files deleted", descriptor);
            DeleteDescriptorAndFiles(descriptor);
            continue;
        }
        if (locked)
            continue;
        if (same) {
            if (same->IsProtected())
                item->SetProtected(true);
            if (same->GetDescriptorPath() != item->GetDescriptorPath())
                DeleteDescriptorAndFiles(same->GetDescriptorPath());
            loaded.Replace(*same, std::move(item));
        } else {
            loaded.Keep(std::move(item));
        }
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    for (std::unique_ptr<CCHItem>& item : loaded.Take())
        queue.Append(std::move(item));
    if (!queue.IsEmpty())
        queue.SortByTime();
    return true;
}
