#include "app/history/ClipboardItemFiles.h"
#include "common/FileBytes.h"

#include "app/history/TempFiles.h"
#include "common/KernelHandle.h"
#include "common/PathFunctions.h"
#include "common/SharedLog.h"
#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardBitmaps.h"
#include "engine/ClipboardHistoryFiles.h"

namespace
{
CString WithoutExtension(const CString& path)
{
    const int dot = path.ReverseFind(L'.');
    return dot > path.ReverseFind(L'\\') ? path.Left(dot) : path;
}

} // namespace

bool GetClipboardItemFileBytes(const CCHItem& item, std::string& bytes)
{
    bytes.clear();
    switch (item.GetType()) {
    case CHT_ANSI_TEXT:
    case CHT_RTF:
        bytes = item.GetByteText();
        return true;
    case CHT_UNICODE_TEXT: {
        const CString text = item.GetWideText();
        bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.GetString()),
                     static_cast<size_t>(text.GetLength()) * sizeof(wchar_t));
        return true;
    }
    case CHT_OVELLINE:
    case CHT_HTML:
        if (item.GetData())
            bytes.assign(static_cast<const char*>(item.GetData()), item.GetSize());
        return true;
    default:
        return false;
    }
}

bool WriteClipboardItemBytes(const CCHItem& item, LPCWSTR path)
{
    if (!path || !*path)
        return false;
    if (item.GetType() == CHT_BITMAP)
        return SaveBitmapToFile(path, item.GetBitmap());
    std::string bytes;
    if (!GetClipboardItemFileBytes(item, bytes))
        return false;
    CKernelHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        LogError(CString(L"Cannot create file pathName=[") + path + L"]");
        return false;
    }
    if (!WriteAllBytes(file.Get(), bytes)) {
        file.Reset();
        ::DeleteFileW(path);
        return false;
    }
    return true;
}

CString GetClipboardItemDescriptorPath(LPCWSTR path)
{
    return path && *path ? WithoutExtension(path) + L".info" : CString();
}

bool SaveClipboardItemToFile(const CCHItem& item, LPCWSTR path)
{
    if (!WriteClipboardItemBytes(item, path))
        return false;
    // A file the user named "*.info" keeps its bytes: no descriptor over it.
    if (item.GetDescriptorPath().IsEmpty() || GetClipboardItemDescriptorPath(path).CompareNoCase(path) == 0)
        return true;
    const CString metaPath = item.HasOvlMetaInfo() ? WriteMetaInfoFile(item, path) : CString();
    const CString descriptor = GetClipboardItemDescriptorPath(path);
    if (WriteItemDescriptor(descriptor, item, {GetFileNameFromPath(path)},
                            metaPath.IsEmpty() ? CString() : GetFileNameFromPath(metaPath)))
        return true;
    LogError(L"Cannot write the descriptor [" + descriptor + L"]");
    return true; // the item's own file is written whole
}

bool SaveClipboardItemToTempFile(const CCHItem& item, CString& path, LPCWSTR folder)
{
    path.Empty();
    const CString extension = GetClipboardItemFileExtension(item.GetType());
    CString created;
    CKernelHandle file = CreateNewTempFile(GetTempFileNamePrefix(), extension, created, folder);
    if (!file) {
        LogError(L"Cannot create temporary file for clipboard data");
        return false;
    }
    bool written = false;
    if (item.GetType() == CHT_BITMAP) {
        file.Reset();
        written = SaveBitmapToFile(created, item.GetBitmap());
    } else {
        std::string bytes;
        written = GetClipboardItemFileBytes(item, bytes) && WriteAllBytes(file.Get(), bytes);
        file.Reset();
    }
    if (!written) {
        ::DeleteFileW(created);
        LogError(L"Cannot write clipboard data into [" + created + L"]");
        return false;
    }
    RegisterTempFile(created);
    path = created;
    return true;
}

bool OpenClipboardItemInTempFile(const CCHQueue& queue, int index, HWND owner, bool withAssociatedProgram,
                                 CString* openedPath, LPCWSTR folder)
{
    const CCHItem* item = queue.GetItem(index);
    if (!item)
        return false;
    if (item->GetType() == CHT_OVELLINE)
        return true;
    if (GetClipboardItemFileExtension(item->GetType()).IsEmpty()) {
        CString line;
        line.Format(L"A clipboard history item of type %d has no file type to open", item->GetType());
        LogError(line);
        return false;
    }
    CString path;
    if (!SaveClipboardItemToTempFile(*item, path, folder))
        return false;
    if (openedPath)
        *openedPath = path;
    return OpenTempFile(owner, path, withAssociatedProgram);
}
