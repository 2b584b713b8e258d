#pragma once

// An INI file read once and looked up in memory, as the profile functions read it: sections and keys
// match without regard to case, the first entry of a key counts, blanks around names and values and
// one pair of quotes around a value are dropped. The text may be UTF-16 (with its byte order mark),
// UTF-8 with its mark, or in the ANSI code page. For files read many keys at a time (one open and
// one read instead of one per key).

#include <windows.h>

#include <string>
#include <vector>

#include "platform/CString.h"

class CIniText
{
public:
    // Reads and splits the file; false (and nothing to look up) when it cannot be read or is larger
    // than `maxBytes`.
    bool Load(LPCWSTR path, unsigned long long maxBytes);
    // Splits the text of a file given as its bytes.
    void Parse(const std::string& bytes);

    // Like IniReadString: true, with the value cut to 259 characters in `out`, only when it holds a
    // character (`out` is left alone otherwise).
    bool ReadString(LPCWSTR section, LPCWSTR key, CString& out) const;
    // Like GetPrivateProfileIntW: the leading decimal number of the value, `defaultValue` when the
    // key is missing or empty.
    UINT ReadInt(LPCWSTR section, LPCWSTR key, int defaultValue) const;

private:
    struct Entry
    {
        std::wstring section;
        std::wstring key;
        std::wstring value;
    };
    const Entry* Find(LPCWSTR section, LPCWSTR key) const;

    std::vector<Entry> m_entries;
};
