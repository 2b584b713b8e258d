#include "common/TextHelpers.h"

#include <rpc.h>

#include <vector>

namespace
{
constexpr DWORD kExpandBufferLength = 999;

// ExpandEnvironmentStringsW of the token; false when the expansion fails.
bool ExpandToken(const CString& token, CString& expanded)
{
    wchar_t buffer[kExpandBufferLength + 1] = {};
    DWORD needed = ::ExpandEnvironmentStringsW(token, buffer, kExpandBufferLength);
    if (needed == 0)
        return false;
    if (needed <= kExpandBufferLength) {
        expanded = buffer;
        return true;
    }
    // A long value: ask again with room for all of it rather than dropping it.
    std::vector<wchar_t> large(needed + 1);
    DWORD again = ::ExpandEnvironmentStringsW(token, large.data(), needed + 1);
    if (again == 0 || again > needed + 1)
        return false;
    expanded = large.data();
    return true;
}

// "%...%" tokens from left to right; the search goes on behind each closing "%".
std::vector<CString> FindPercentTokens(const CString& text)
{
    std::vector<CString> tokens;
    int start = 0;
    for (;;) {
        int open = text.Find(L'%', start);
        if (open < 0)
            break;
        int close = text.Find(L'%', open + 1);
        if (close < 0)
            break;
        tokens.push_back(text.Mid(open, close - open + 1));
        start = close + 1;
    }
    return tokens;
}
} // namespace

CString ExpandPercentVars(const CString& text)
{
    CString result = text;
    for (const CString& token : FindPercentTokens(text)) {
        CString expanded;
        if (ExpandToken(token, expanded))
            result.Replace(token, expanded);
    }
    return result;
}

CString MakeSafeFileNameFromTitle(const CString& title, bool replaceBlanks, int maxLength)
{
    CString name = title;
    name.Trim(L" \t\r\n");

    int lineEnd = name.Find(L'\n', 1);
    if (lineEnd > 0)
        name.Truncate(lineEnd);

    if (maxLength > 0 && name.GetLength() > maxLength)
        name.Truncate(maxLength);

    static const wchar_t* const kReplaced[] = {L"?",  L"*",  L":", L"\\", L"\"", L"/",  L"<", L">",
                                               L"\t", L"\n", L"|", L"{",  L"}",  L"\"", L"'", L"%"};
    for (const wchar_t* piece : kReplaced)
        name.Replace(piece, L"_");
    // No control character (a CR left before the cut line break, for one) may
    // stay in a file name.
    for (int i = 0; i < name.GetLength(); ++i) {
        if (name[i] < L' ')
            name.SetAt(i, L'_');
    }
    if (replaceBlanks)
        name.Replace(L" ", L"_");

    name.Replace(L"___", L"_");
    name.Replace(L"__", L"_");
    name.Trim(L'_');
    return name;
}

CString CreateGuidString(bool plain)
{
    UUID uuid = {};
    RPC_STATUS status = ::UuidCreate(&uuid);
    if (status != RPC_S_OK && status != RPC_S_UUID_LOCAL_ONLY)
        return CString();

    RPC_WSTR text = nullptr;
    if (::UuidToStringW(&uuid, &text) != RPC_S_OK || !text)
        return CString();
    CString result(reinterpret_cast<const wchar_t*>(text));
    ::RpcStringFreeW(&text);

    if (plain) {
        result.Remove(L'-');
        result.Remove(L'{');
        result.Remove(L'}');
    }
    return result;
}
