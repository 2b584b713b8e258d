#include "online/VersionNumbers.h"

#include <climits>
#include <cwctype>

#include "common/FileVersionInfo.h"

namespace
{
// The leading number of a piece, read as "%d" would read it.
int ReadLeadingNumber(const wchar_t* begin, const wchar_t* end)
{
    const wchar_t* p = begin;
    while (p < end && std::iswspace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == L'+' || *p == L'-')) {
        negative = *p == L'-';
        ++p;
    }
    long long value = 0;
    for (; p < end && *p >= L'0' && *p <= L'9'; ++p) {
        value = value * 10 + (*p - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value); // INT_MIN at most
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
} // namespace

CString CVersionNumbers::ToText() const
{
    CString text;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            text += L'.';
        text.AppendFormat(L"%d", parts[i]);
    }
    return text;
}

void ParseVersionNumbers(LPCWSTR text, CVersionNumbers& list)
{
    if (!text)
        return;
    const wchar_t* piece = text;
    for (;;) {
        const wchar_t* end = piece;
        while (*end && *end != L'.')
            ++end;
        if (end > piece)
            list.parts.push_back(ReadLeadingNumber(piece, end));
        if (!*end)
            return;
        piece = end + 1;
    }
}

bool CompareVersionNumbers(const CVersionNumbers& a, const CVersionNumbers& b)
{
    const size_t common = a.parts.size() < b.parts.size() ? a.parts.size() : b.parts.size();
    for (size_t i = 0; i < common; ++i) {
        if (a.parts[i] != b.parts[i])
            return a.parts[i] > b.parts[i];
    }
    return false;
}

bool ReadOwnVersionNumbers(CVersionNumbers& list)
{
    CFileVersionInfo info = CFileVersionInfo::CFileVersionInfoFromModule(nullptr);
    if (!info.Read())
        return false;
    ParseVersionNumbers(info.GetProductVersion(), list);
    return true;
}
