#include "engine/ClipboardAccess.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "common/TextConversion.h"
#include "engine/OwnClipboardChange.h"

namespace
{
// A movable global block holding a copy of the bytes; null on failure.
HGLOBAL MakeGlobalBlock(const void* bytes, SIZE_T size)
{
    if (size == 0 || !bytes)
        return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* target = ::GlobalLock(block);
    if (!target) {
        ::GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(block);
    return block;
}
} // namespace

CAutoCloseClipboard::~CAutoCloseClipboard()
{
    if (m_released)
        return;
    ::CloseClipboard();
    if (m_ownChange)
        COwnClipboardChange::GetInstance().Note();
}

UINT GetRtfClipboardFormat()
{
    static const UINT format = ::RegisterClipboardFormatW(L"Rich Text Format");
    return format;
}

UINT GetHtmlClipboardFormat()
{
    static const UINT format = ::RegisterClipboardFormatW(L"HTML Format");
    return format;
}

bool PutClipboardBlock(UINT format, const void* bytes, SIZE_T size)
{
    HGLOBAL block = MakeGlobalBlock(bytes, size);
    if (!block)
        return false;
    if (!::SetClipboardData(format, block)) {
        ::GlobalFree(block);
        return false;
    }
    return true;
}

void SetClipboardThreadLocale()
{
    const LCID locale = ::GetThreadLocale();
    PutClipboardBlock(CF_LOCALE, &locale, sizeof(locale));
}

bool PutClipboardData(UINT format, const void* bytes, SIZE_T size)
{
    if (!::OpenClipboard(nullptr))
        return false;
    CAutoCloseClipboard close(kOwnClipboardChange);
    ::EmptyClipboard();
    const bool put = PutClipboardBlock(format, bytes, size);
    SetClipboardThreadLocale();
    return put;
}

bool PutClipboardUnicodeText(LPCWSTR text)
{
    if (!text)
        return false;
    return PutClipboardData(CF_UNICODETEXT, text, (std::wcslen(text) + 1) * sizeof(wchar_t));
}

bool PutClipboardFormats(const ClipboardBlockMap& blocks)
{
    if (blocks.empty() || !::OpenClipboard(nullptr))
        return false;
    CAutoCloseClipboard close(kOwnClipboardChange);
    ::EmptyClipboard();
    bool any = false;
    for (const auto& [format, block] : blocks)
        any = PutClipboardBlock(format, block.bytes, block.size) || any;
    return any;
}

wchar_t* GetClipboardUnicodeTextCopy()
{
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(nullptr))
        return nullptr;
    CAutoCloseClipboard close;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const SIZE_T size = data ? ::GlobalSize(data) : 0;
    if (size == 0)
        return nullptr;
    const void* source = ::GlobalLock(data);
    if (!source)
        return nullptr;
    auto* copy = static_cast<BYTE*>(
        ::VirtualAlloc(nullptr, size + sizeof(wchar_t), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (copy) {
        std::memcpy(copy, source, size);
        const wchar_t terminator = L'\0';
        std::memcpy(copy + (size & ~static_cast<SIZE_T>(1)), &terminator, sizeof(terminator));
    }
    ::GlobalUnlock(data);
    return reinterpret_cast<wchar_t*>(copy);
}

int FreeClipboardTextCopy(wchar_t* copy)
{
    if (copy)
        ::VirtualFree(copy, 0, MEM_RELEASE);
    return 0;
}

bool GetClipboardUnicodeText(CString& text)
{
    wchar_t* copy = GetClipboardUnicodeTextCopy();
    text = copy ? CString(copy) : CString();
    FreeClipboardTextCopy(copy);
    return copy != nullptr;
}

namespace
{
CString ReadAnsiClipboardText()
{
    if (!::IsClipboardFormatAvailable(CF_TEXT) || !::OpenClipboard(nullptr))
        return CString();
    CAutoCloseClipboard close;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    const SIZE_T size = data ? ::GlobalSize(data) : 0;
    const auto* bytes = size ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
    if (!bytes)
        return CString();
    const std::string ansi(bytes, strnlen(bytes, size));
    ::GlobalUnlock(data);
    return AnsiToWide(ansi.c_str());
}
} // namespace

bool GetClipboardTextAnyForm(CString& text)
{
    if (GetClipboardUnicodeText(text))
        return !text.IsEmpty();
    text = ReadAnsiClipboardText();
    return !text.IsEmpty();
}
