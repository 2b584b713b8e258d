#include "engine/ClipboardSnapshot.h"

#include "engine/ClipboardAccess.h"

#include <cstring>

namespace
{
// Formats from this id on are registered by name.
constexpr UINT kFirstRegisteredFormat = 0xC000;

// Copies the data of one format; false when it is missing, empty or cannot be locked.
bool CopyFormatData(UINT format, std::vector<BYTE>& data)
{
    HANDLE handle = ::GetClipboardData(format);
    const SIZE_T size = handle ? ::GlobalSize(handle) : 0;
    if (size == 0)
        return false;
    const auto* bytes = static_cast<const BYTE*>(::GlobalLock(handle));
    if (!bytes)
        return false;
    data.assign(bytes, bytes + size);
    ::GlobalUnlock(handle);
    return true;
}

// An enhanced metafile kept as its bits.
bool CopyEnhMetaFile(std::vector<BYTE>& data)
{
    auto* metafile = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE));
    const UINT size = metafile ? ::GetEnhMetaFileBits(metafile, 0, nullptr) : 0;
    if (size == 0)
        return false;
    data.resize(size);
    return ::GetEnhMetaFileBits(metafile, size, data.data()) == size;
}

// A metafile picture kept as its mapping mode and extents (three LONGs) followed by the metafile's bits.
bool CopyMetaFilePict(std::vector<BYTE>& data)
{
    HANDLE handle = ::GetClipboardData(CF_METAFILEPICT);
    if (!handle || ::GlobalSize(handle) < sizeof(METAFILEPICT))
        return false;
    const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(handle));
    if (!picture)
        return false;
    const LONG header[3] = {picture->mm, picture->xExt, picture->yExt};
    const HMETAFILE metafile = picture->hMF;
    ::GlobalUnlock(handle);
    const UINT size = metafile ? ::GetMetaFileBitsEx(metafile, 0, nullptr) : 0;
    if (size == 0)
        return false;
    data.resize(sizeof(header) + size);
    std::memcpy(data.data(), header, sizeof(header));
    return ::GetMetaFileBitsEx(metafile, size, data.data() + sizeof(header)) == size;
}

bool PutEnhMetaFile(const std::vector<BYTE>& data)
{
    HENHMETAFILE metafile = ::SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data());
    if (!metafile)
        return false;
    if (::SetClipboardData(CF_ENHMETAFILE, metafile))
        return true;
    ::DeleteEnhMetaFile(metafile);
    return false;
}

bool PutMetaFilePict(const std::vector<BYTE>& data)
{
    LONG header[3] = {};
    if (data.size() <= sizeof(header))
        return false;
    std::memcpy(header, data.data(), sizeof(header));
    HMETAFILE metafile =
        ::SetMetaFileBitsEx(static_cast<UINT>(data.size() - sizeof(header)), data.data() + sizeof(header));
    if (!metafile)
        return false;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    auto* picture = block ? static_cast<METAFILEPICT*>(::GlobalLock(block)) : nullptr;
    if (!picture) {
        if (block)
            ::GlobalFree(block);
        ::DeleteMetaFile(metafile);
        return false;
    }
    *picture = METAFILEPICT{header[0], header[1], header[2], metafile};
    ::GlobalUnlock(block);
    if (::SetClipboardData(CF_METAFILEPICT, block))
        return true;
    ::GlobalFree(block);
    ::DeleteMetaFile(metafile);
    return false;
}

bool CopyEntryData(UINT format, std::vector<BYTE>& data)
{
    if (format == CF_ENHMETAFILE)
        return CopyEnhMetaFile(data);
    if (format == CF_METAFILEPICT)
        return CopyMetaFilePict(data);
    return CopyFormatData(format, data);
}

void PutEntryData(UINT format, const std::vector<BYTE>& data)
{
    if (format == CF_ENHMETAFILE)
        PutEnhMetaFile(data);
    else if (format == CF_METAFILEPICT)
        PutMetaFilePict(data);
    else
        PutClipboardBlock(format, data.data(), data.size());
}
} // namespace

CClipboardSnapshot::CClipboardSnapshot()
{
    Capture();
}

CClipboardSnapshot::CClipboardSnapshot(bool captureNow)
{
    if (captureNow)
        Capture();
}

bool CClipboardSnapshot::IsCopyableFormat(UINT format)
{
    switch (format) {
    case 0:
    case CF_BITMAP:
    case CF_PALETTE:
    case CF_OWNERDISPLAY:
    case CF_DSPTEXT:
    case CF_DSPBITMAP:
    case CF_DSPMETAFILEPICT:
    case CF_DSPENHMETAFILE:
        return false;
    default:
        // Private formats carry whatever handle their owner chose; GDI object
        // formats carry GDI handles.
        return !(format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST);
    }
}

int CClipboardSnapshot::Capture()
{
    if (!::OpenClipboard(nullptr))
        return 0;
    CAutoCloseClipboard close;
    Clear();
    m_listedCount = static_cast<size_t>(::CountClipboardFormats());
    for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
        if (!IsCopyableFormat(format))
            continue;
        Entry entry;
        entry.format = format;
        if (format >= kFirstRegisteredFormat &&
            ::GetClipboardFormatNameW(format, entry.name, static_cast<int>(std::size(entry.name))) <= 0)
            entry.name[0] = L'\0';
        if (CopyEntryData(format, entry.data))
            m_entries.push_back(std::move(entry));
    }
    return 1;
}

int CClipboardSnapshot::Restore()
{
    if (m_entries.empty() || !::OpenClipboard(nullptr))
        return 0;
    CAutoCloseClipboard close(kOwnClipboardChange);
    ::EmptyClipboard();
    // Newest first: the formats go back in the reverse of the order they were listed in.
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        const Entry& entry = *it;
        UINT format = entry.format;
        if (entry.name[0] != L'\0') {
            const UINT registered = ::RegisterClipboardFormatW(entry.name);
            if (registered != 0)
                format = registered;
        }
        PutEntryData(format, entry.data);
    }
    return 1;
}

void CClipboardSnapshot::Clear()
{
    m_listedCount = 0;
    m_entries.clear();
    m_entries.shrink_to_fit();
}
