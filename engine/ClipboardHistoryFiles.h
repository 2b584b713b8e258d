#pragma once

// The clipboard history on disk: one data file per format of an item (the item
// and each part) plus an INI descriptor "scrivolanter_cbN.info" (UTF-16,
// section "Files": DataType, Protected, WndName, ExeName, URL, OvlMetaInfo,
// File0, File1, ...). Unicode text files begin with FF FE; bitmaps are .bmp
// files; every file's creation and last-write times are the item's capture
// time, and the last-write time gives it back when loaded. A protected
// item's data file is read-only; a data file found read-only loads as a
// protected item.
//
// Descriptors and data files read from disk are untrusted: file names must be
// plain names inside the folder, sizes are bounded, and a descriptor whose
// files are missing, empty or unreadable is skipped with a log line.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/CCHItem.h"
#include "platform/CString.h"

class CCHQueue;

// The one bound of an item's data (a bitmap counted as 32-bit pixels): a larger
// copy is not captured, and a data file larger than the bound plus the file's
// own overhead (the text mark, the bitmap headers and colour table) is not loaded.
inline constexpr DWORD kMaxHistoryItemBytes = 64u * 1024u * 1024u;
inline constexpr DWORD kHistoryFileOverheadBytes = 4096u;
inline constexpr DWORD kMaxHistoryDataFileBytes = kMaxHistoryItemBytes + kHistoryFileOverheadBytes;
// Meta-info files larger than this are not loaded.
inline constexpr DWORD kMaxHistoryMetaInfoBytes = 1024u * 1024u;
// A descriptor names at most this many files (File0 ...).
inline constexpr int kMaxHistoryDescriptorFiles = 32;

// Creates the folder when missing; the folder, or an empty text when it cannot be had.
CString EnsureClipboardHistoryFolder(const CString& folder);

// Clears FILE_ATTRIBUTE_READONLY (also when the attributes cannot be read).
bool ClearReadOnlyAttribute(LPCWSTR path);
// Sets or clears FILE_ATTRIBUTE_READONLY. False when the attributes cannot be read or set.
bool SetReadOnlyAttribute(LPCWSTR path, bool readOnly);
// Writes "Files"/"Protected" as 0 or 1 (a read-only descriptor is made
// writable for the write and put back). True when written.
bool WriteProtectedKey(LPCWSTR descriptor, bool value);

// Where the search for a free file number goes on within one run of saves:
// the numbers below were found taken (or were taken by this run), so a run of
// n items probes each name about once instead of counting from 1 every time.
class CHistoryFileNumbers
{
public:
    int& NextFor(const CString& stem) { return m_next.try_emplace(stem.GetString(), 1).first->second; }

private:
    std::map<std::wstring, int> m_next;
};

// folder + "\" + stem + N + "." + extension with the first N from 1 (or from
// where `numbers` left off) that names no file ("clipboard_history",
// "Unicode_" in front for Unicode text).
CString GetFreeDataFilePath(const CString& folder, int type, CHistoryFileNumbers* numbers = nullptr);
CString GetFreeDescriptorPath(const CString& folder, CHistoryFileNumbers* numbers = nullptr);

// The descriptor of an item whose files are `fileNames` (File0 the item's own
// file, then its parts) and, when not empty, `metaInfoName`: a UTF-16 INI text
// (FF FE, section "Files") written in one piece to `path` (created or
// replaced). Its creation time is the item's capture time. True when written.
bool WriteItemDescriptor(LPCWSTR path, const CCHItem& item, const std::vector<CString>& fileNames,
                         const CString& metaInfoName);

// Writes the item's data into a new file (CREATE_NEW; a taken name fails) in
// one open: the data from memory (a bitmap's pixels as its DIB section holds
// them), the creation and last-write times, a flush. A failed write leaves no
// file behind. False for an item without data.
bool WriteDataFile(LPCWSTR path, const CCHItem& item, const SYSTEMTIME& time);
// Writes the item's meta-info text next to the data file
// ("<data file without extension>_ovl_metainfo.xml"); the path, or empty on failure.
CString WriteMetaInfoFile(const CCHItem& item, LPCWSTR dataPath);

// Writes the item and its parts, then their descriptor (new names written in
// place; a descriptor already on disk is replaced by renaming a whole new one
// over it). An item that already has a descriptor gets it replaced only when
// everything was written, so a failed save never loses what was on disk. On success the item has its descriptor
// and data file paths (file state unchanged); on failure nothing new is left.
// `numbers` (may be null) carries the free-number search across the items of one save run.
bool SaveItem(CCHItem& item, const CString& folder, CHistoryFileNumbers* numbers = nullptr);

// Deletes a descriptor and every file it names (data files, meta-info file):
// the files of a saved copy the history no longer holds. Returns the number deleted.
int DeleteDescriptorAndFiles(const CString& descriptor);

// What a descriptor says.
struct ClipboardHistoryDescriptor
{
    int dataType = -1;
    bool isProtected = false;
    CString wndName;
    CString exeName;
    CString url;
    CString ovlMetaInfo;        // file name, empty when none
    std::vector<CString> files; // File0, File1, ... up to the first missing or empty key
};

// False when the descriptor names no usable file (a missing or unsafe File0).
bool ReadDescriptor(LPCWSTR path, ClipboardHistoryDescriptor& record);
// One data file as an item (type from the extension; "txt" is Unicode text when
// the name begins with "Unicode_" or the file with FF FE, else ANSI text). Null
// for an empty, oversized or unreadable file. With a descriptor, its
// OvlMetaInfo file becomes the item's meta-info text.
std::unique_ptr<CCHItem> LoadItemFile(LPCWSTR path, LPCWSTR descriptorPath);
// Reads every descriptor of the folder into the queue (no maximum; the same
// content saved twice loads once, the newer copy, as Add keeps it), then sorts
// it by time. True when the folder could be read.
bool LoadFolder(CCHQueue& queue, const CString& folder);

// Whether a name read from a descriptor is a plain file name (no folder part).
bool IsPlainHistoryFileName(const CString& name);
