#pragma once

// Reading and writing the clipboard.
//
// Every function that opens the clipboard gives false (or null) and changes
// nothing when OpenClipboard fails (another window has it open). Functions
// documented "on an open clipboard" expect the caller to have opened it.
// Blocks handed to SetClipboardData are GMEM_MOVEABLE and are freed here when
// SetClipboardData refuses them.

#include <windows.h>

#include <map>

#include "platform/CString.h"

// Closes the clipboard that the caller has opened when the guard ends, unless
// Release was called.
class CAutoCloseClipboard
{
public:
    CAutoCloseClipboard() = default;
    // With `ownChange` the caller changes the clipboard: once closed, the
    // clipboard is noted as the program's own change (COwnClipboardChange).
    explicit CAutoCloseClipboard(bool ownChange) : m_ownChange(ownChange) {}
    ~CAutoCloseClipboard();
    CAutoCloseClipboard(const CAutoCloseClipboard&) = delete;
    CAutoCloseClipboard& operator=(const CAutoCloseClipboard&) = delete;

    // The guard will not close the clipboard.
    void Release() { m_released = 1; }

private:
    int m_released = 0;
    bool m_ownChange = false;
};

// Marks a CAutoCloseClipboard of a writer.
inline constexpr bool kOwnClipboardChange = true;

// Registered format ids (registered on the first call, then cached).
UINT GetRtfClipboardFormat();  // "Rich Text Format"
UINT GetHtmlClipboardFormat(); // "HTML Format"

// Empties the clipboard and puts one block of `size` bytes in `format`, plus
// the thread's locale (CF_LOCALE). True when the block was taken.
bool PutClipboardData(UINT format, const void* bytes, SIZE_T size);
// PutClipboardData(CF_UNICODETEXT) with the terminating NUL (2 x length + 2 bytes).
bool PutClipboardUnicodeText(LPCWSTR text);
// On an open clipboard: puts GetThreadLocale() as CF_LOCALE.
void SetClipboardThreadLocale();

// One block of clipboard data, not owned.
struct ClipboardBlockRef
{
    const void* bytes = nullptr;
    SIZE_T size = 0;
};
using ClipboardBlockMap = std::map<UINT, ClipboardBlockRef>;

// Empties the clipboard and puts every block, in ascending format id. False for
// an empty map or when no block was taken.
bool PutClipboardFormats(const ClipboardBlockMap& blocks);
// On an open clipboard: puts one block; false when it cannot be made or the
// clipboard refuses it (the block is then freed).
bool PutClipboardBlock(UINT format, const void* bytes, SIZE_T size);

// A copy of the clipboard's CF_UNICODETEXT, always NUL-terminated; null when
// there is none or the clipboard cannot be opened. Free it with
// FreeClipboardTextCopy.
wchar_t* GetClipboardUnicodeTextCopy();
// Frees a copy (null is allowed); returns 0.
int FreeClipboardTextCopy(wchar_t* copy);
// The clipboard's Unicode text as a string; false (and an empty text) when
// there is none.
bool GetClipboardUnicodeText(CString& text);
// The clipboard's Unicode text, else its ANSI text (CF_TEXT) converted from the ANSI code
// page, each read within its block's real size; false (and an empty text) when there is
// neither or the clipboard cannot be opened.
bool GetClipboardTextAnyForm(CString& text);
