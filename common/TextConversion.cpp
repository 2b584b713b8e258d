#include "common/TextConversion.h"

// Both directions convert straight into the result's own buffer: no
// intermediate copy is made.

CString MultiByteToWideString(const char* text, UINT codePage)
{
    if (!text || !*text)
        return CString();
    const int length = ::MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return CString();
    CString result;
    wchar_t* buffer = result.GetBufferSetLength(length - 1);
    // The converted terminator goes into the string's own terminator slot.
    const int converted = ::MultiByteToWideChar(codePage, 0, text, -1, buffer, length);
    result.ReleaseBuffer(converted == length ? length - 1 : 0);
    return result;
}

CString AnsiToWide(const char* text)
{
    return MultiByteToWideString(text, CP_ACP);
}

CString Utf8ToWide(const char* text)
{
    return MultiByteToWideString(text, CP_UTF8);
}

std::string WideToMultiByteString(LPCWSTR text, UINT codePage)
{
    if (!text || !*text)
        return std::string();
    const int length = ::WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string result(static_cast<size_t>(length), '\0');
    const int converted =
        ::WideCharToMultiByte(codePage, 0, text, -1, result.data(), length, nullptr, nullptr);
    if (converted != length)
        return std::string();
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

std::string WideToThreadAnsi(LPCWSTR text)
{
    return WideToMultiByteString(text, CP_THREAD_ACP);
}

std::string WideToUtf8(LPCWSTR text)
{
    return WideToMultiByteString(text, CP_UTF8);
}

wchar_t* SetStringLength(CString& text, int length)
{
    if (length < 0)
        return nullptr;
    return text.GetBufferSetLength(length);
}
