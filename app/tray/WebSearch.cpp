#include "app/tray/WebSearch.h"

#include "app/AppObjects.h"
#include "common/TextConversion.h"

#include <shellapi.h>

#include <string>

namespace
{
LPCWSTR SearchAddress(int kind)
{
    switch (kind) {
    case WebSearchGoogle:
        return L"https://www.google.com/search?q=";
    case WebSearchYandex:
        return L"https://yandex.ru/yandsearch?text=";
    case WebSearchDeveloperDocs:
        return L"https://social.msdn.microsoft.com/Search/en-US?query=";
    case WebSearchEncyclopedia:
        return L"https://en.wikipedia.org/wiki/Special:Search?search=";
    default:
        return nullptr;
    }
}

bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '~';
}
} // namespace

CString PercentEncodeQueryText(std::wstring_view text)
{
    static const wchar_t hex[] = L"0123456789ABCDEF";
    const std::wstring wide(text);
    const std::string utf8 = WideToUtf8(wide.c_str());
    CString encoded;
    for (unsigned char c : utf8) {
        if (IsUnreserved(c)) {
            encoded += static_cast<wchar_t>(c);
            continue;
        }
        encoded += L'%';
        encoded += hex[c >> 4];
        encoded += hex[c & 0x0F];
    }
    return encoded;
}

CString BuildWebSearchUrl(const CString& text, int kind)
{
    const LPCWSTR address = SearchAddress(kind);
    if (!address)
        return CString();
    CString query = text;
    query.Replace(L"\r\n", L" ");
    query.Replace(L"\n", L" ");
    query.Replace(L"\r", L" ");
    return CString(address) + PercentEncodeQueryText(std::wstring_view(query.GetString(), query.GetLength()));
}

bool SearchWebForText(const CString& text, int kind)
{
    const CString url = BuildWebSearchUrl(text, kind);
    if (url.IsEmpty())
        return false;
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(CAppObjects::GetMainWnd(), L"open", url, nullptr, nullptr, SW_SHOWMAXIMIZED));
    return result > 32;
}
