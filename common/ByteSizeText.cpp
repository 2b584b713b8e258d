#include "common/ByteSizeText.h"

#include "common/RuntimeBinding.h"

#include <iterator>

CString FormatByteSizeText(LONGLONG byteCount)
{
    using StrFormatByteSizeWFn = PWSTR(WINAPI*)(LONGLONG, PWSTR, UINT);
    CLoadedModule shlwapi(L"shlwapi.dll");
    auto strFormatByteSize = shlwapi.Find<StrFormatByteSizeWFn>("StrFormatByteSizeW");
    if (!strFormatByteSize)
        return CString();
    wchar_t buffer[260] = {};
    if (!strFormatByteSize(byteCount, buffer, static_cast<UINT>(std::size(buffer))))
        return CString();
    buffer[std::size(buffer) - 1] = L'\0';
    return buffer;
}
