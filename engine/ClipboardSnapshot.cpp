#include "engine/ClipboardSnapshot.h"

#include "engine/ClipboardAccess.h"

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
    case CF_METAFILEPICT:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
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
        if (CopyFormatData(format, entry.data))
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
        PutClipboardBlock(format, entry.data.data(), entry.data.size());
    }
    return 1;
}

void CClipboardSnapshot::Clear()
{
    m_listedCount = 0;
    m_entries.clear();
    m_entries.shrink_to_fit();
}
