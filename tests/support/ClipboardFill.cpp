#include "support/ClipboardFill.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "support/MessagePump.h"

namespace scvtest
{

bool OpenClipboardRetrying(HWND owner)
{
    return WaitUntil([owner] { return ::OpenClipboard(owner) != FALSE; }, 5000);
}

bool PutClipboardBlock(UINT format, const void* bytes, size_t size)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return false;
    void* data = ::GlobalLock(memory);
    if (!data) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(data, bytes, size);
    ::GlobalUnlock(memory);
    if (::SetClipboardData(format, memory))
        return true;
    ::GlobalFree(memory);
    return false;
}

bool ClearClipboard()
{
    if (!OpenClipboardRetrying())
        return false;
    ::EmptyClipboard();
    ::CloseClipboard();
    return true;
}

bool SetClipboardText(std::wstring_view text, HWND owner)
{
    if (!OpenClipboardRetrying(owner))
        return false;
    ::EmptyClipboard();
    const std::wstring terminated(text);
    const bool put =
        PutClipboardBlock(CF_UNICODETEXT, terminated.c_str(), (terminated.size() + 1) * sizeof(wchar_t));
    ::CloseClipboard();
    return put;
}

std::wstring ClipboardUnicodeText()
{
    if (!OpenClipboardRetrying())
        return L"(clipboard not opened)";
    std::wstring text;
    if (HANDLE block = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(block))) {
            text.assign(chars, wcsnlen(chars, ::GlobalSize(block) / sizeof(wchar_t)));
            ::GlobalUnlock(block);
        }
    }
    ::CloseClipboard();
    return text;
}

} // namespace scvtest
