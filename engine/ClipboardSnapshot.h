#pragma once

// A copy of every format on the clipboard, taken and put back around the
// program's own use of the clipboard.
//
// Formats whose data is a global memory block are kept as their bytes, and a
// drawing as its metafile's bits (CF_ENHMETAFILE; CF_METAFILEPICT with its
// mapping mode and extents). Formats whose data is a GDI handle (CF_BITMAP,
// CF_PALETTE), the display formats (CF_OWNERDISPLAY, CF_DSP...) and the
// private and GDI object ranges are skipped: the picture travels as CF_DIB
// (or CF_DIBV5), which the system lists beside CF_BITMAP. A format whose data
// cannot be read or locked is skipped too.
//
// Restore puts the formats back in the order in which the clipboard listed
// them; registered formats are put back under the id their name has now.

#include <windows.h>

#include <vector>

class CClipboardSnapshot
{
public:
    struct Entry
    {
        UINT format = 0;
        wchar_t name[100] = {}; // empty for predefined formats
        std::vector<BYTE> data; // a metafile's bits for the metafile formats
    };

    // Captures the clipboard at once.
    CClipboardSnapshot();
    // An empty snapshot when captureNow is false.
    explicit CClipboardSnapshot(bool captureNow);
    virtual ~CClipboardSnapshot() = default;
    CClipboardSnapshot(const CClipboardSnapshot&) = delete;
    CClipboardSnapshot& operator=(const CClipboardSnapshot&) = delete;

    // Replaces the copy with the clipboard's current formats. 1 when captured,
    // 0 when the clipboard could not be opened (the copy is then unchanged).
    int Capture();
    // Empties the clipboard and puts the copy back. 1 when put back, 0 when the
    // copy is empty (the clipboard is left alone) or the clipboard could not
    // be opened.
    int Restore();
    // Forgets the copy.
    void Clear();

    size_t GetCount() const { return m_entries.size(); }
    // How many formats the clipboard listed at the capture (kept or not).
    size_t GetListedCount() const { return m_listedCount; }
    bool IsEmpty() const { return m_entries.empty(); }
    // The kept entries, in the clipboard's order.
    const std::vector<Entry>& GetEntries() const { return m_entries; }

    // Whether a format's data can be kept: a global memory block or a metafile.
    static bool IsCopyableFormat(UINT format);

private:
    std::vector<Entry> m_entries;
    size_t m_listedCount = 0;
};
