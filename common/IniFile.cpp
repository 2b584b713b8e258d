#include "common/IniFile.h"

#include <vector>

namespace
{
const int kReadBufferChars = 260;
const DWORD kSectionBufferChars = 102400;

// The profile functions take a missing file name as the system's own
// WIN.INI: never hand them one.
bool HasFileName(LPCWSTR file)
{
    return file && *file;
}
} // namespace

bool IniWriteString(LPCWSTR file, LPCWSTR section, LPCWSTR key, LPCWSTR value)
{
    if (!HasFileName(file))
        return false;
    return ::WritePrivateProfileStringW(section, key, value ? value : L"", file) != FALSE;
}

bool IniWriteInt(LPCWSTR file, LPCWSTR section, LPCWSTR key, int value)
{
    CString text;
    text.Format(L"%d", value);
    return IniWriteString(file, section, key, text);
}

bool IniReadString(LPCWSTR file, LPCWSTR section, LPCWSTR key, CString& out)
{
    CString value;
    if (IniReadStringWithDefault(file, section, key, L"", kReadBufferChars, value) <= 0)
        return false;
    out = value;
    return true;
}

UINT IniReadInt(LPCWSTR file, LPCWSTR section, LPCWSTR key, int defaultValue)
{
    if (!HasFileName(file))
        return static_cast<UINT>(defaultValue);
    return ::GetPrivateProfileIntW(section, key, defaultValue, file);
}

bool IniKeyExists(LPCWSTR file, LPCWSTR section, LPCWSTR key)
{
    if (!HasFileName(file) || !section || !key)
        return false;
    std::vector<wchar_t> buffer(kSectionBufferChars, L'\0');
    DWORD read = ::GetPrivateProfileSectionW(section, buffer.data(), kSectionBufferChars, file);
    if (read == 0)
        return false;
    const size_t keyLength = wcslen(key);
    for (const wchar_t* entry = buffer.data(); *entry; entry += wcslen(entry) + 1) {
        const wchar_t* equals = wcschr(entry, L'=');
        size_t nameLength = equals ? static_cast<size_t>(equals - entry) : wcslen(entry);
        if (nameLength == keyLength && wcsncmp(entry, key, keyLength) == 0)
            return true;
    }
    return false;
}

int IniReadStringWithDefault(LPCWSTR file, LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue,
                             int bufferChars, CString& out)
{
    if (!HasFileName(file)) {
        out = defaultValue ? defaultValue : L"";
        return out.GetLength();
    }
    if (bufferChars < 1)
        bufferChars = 1;
    wchar_t* buffer = out.GetBufferSetLength(bufferChars);
    buffer[0] = L'\0';
    DWORD read = ::GetPrivateProfileStringW(section, key, defaultValue ? defaultValue : L"", buffer,
                                            static_cast<DWORD>(bufferChars), file);
    out.ReleaseBufferSetLength(static_cast<int>(read));
    return static_cast<int>(read);
}
