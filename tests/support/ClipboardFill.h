#pragma once
// The clipboard filled with the plain clipboard calls, as another program fills it (nothing of it
// passes through the program's own clipboard code).

#include <windows.h>

#include <string>
#include <string_view>

namespace scvtest
{

// Opens the clipboard for `owner`, trying for up to 5 seconds while another program holds it.
bool OpenClipboardRetrying(HWND owner = nullptr);
// Puts a copy of the bytes in the format on the clipboard this thread has open; false, with nothing
// left behind, when it cannot.
bool PutClipboardBlock(UINT format, const void* bytes, size_t size);
// Opens the clipboard (as OpenClipboardRetrying), empties it and closes it again.
bool ClearClipboard();
// Opens the clipboard for `owner` (as OpenClipboardRetrying), empties it, puts the text as
// CF_UNICODETEXT (with its closing zero) and closes it. True when all of it worked.
bool SetClipboardText(std::wstring_view text, HWND owner = nullptr);
// The CF_UNICODETEXT of the clipboard up to its first zero (empty when there is none), read as
// another program reads it; "(clipboard not opened)" when it cannot be opened.
std::wstring ClipboardUnicodeText();

} // namespace scvtest
