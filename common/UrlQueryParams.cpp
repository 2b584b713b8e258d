#include "common/UrlQueryParams.h"

#include "common/FileVersionInfo.h"
#include "common/LocaleInfo.h"
#include "common/OsVersionInfo.h"
#include "common/SystemInfo.h"
#include "common/SystemTexts.h"

#include <string>

namespace
{
// Characters that end or change a query-string value when sent as they are.
bool NeedsEncoding(wchar_t ch)
{
    return ch < 0x20 || ch >= 0x7F || ch == L'&' || ch == L'#' || ch == L'%' || ch == L'=' || ch == L'+' ||
           ch == L' ';
}

void AppendPercentEncoded(CString& out, const wchar_t* text, int length)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return;
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, bytes.data(), size, nullptr, nullptr);
    for (unsigned char byte : bytes)
        out.AppendFormat(L"%%%02X", byte);
}
} // namespace

CUrlQueryParams::CUrlQueryParams(const wchar_t* baseUrl) : m_baseUrl(baseUrl) {}

void CUrlQueryParams::AddParam(const wchar_t* name, const wchar_t* value, bool bracketed)
{
    CString storedName = name;
    storedName.Replace(L' ', L'_');
    CString storedValue = value;
    if (bracketed)
        storedValue = L"[" + storedValue + L"]";
    m_params.emplace_back(storedName, storedValue);
}

void CUrlQueryParams::AddParamInt(const wchar_t* name, int n)
{
    CString value;
    value.Format(L"%d", n);
    AddParam(name, value, false);
}

CString CUrlQueryParams::EncodeQueryText(const CString& text)
{
    CString source = text;
    source.Replace(L' ', L'_');
    source.Replace(L'+', L'_');

    CString encoded;
    const int length = source.GetLength();
    for (int i = 0; i < length;) {
        const wchar_t ch = source[i];
        if (!NeedsEncoding(ch)) {
            encoded += ch;
            ++i;
            continue;
        }
        // A surrogate pair is one character in UTF-8.
        const int units =
            (IS_HIGH_SURROGATE(ch) && i + 1 < length && IS_LOW_SURROGATE(source[i + 1])) ? 2 : 1;
        AppendPercentEncoded(encoded, source.GetString() + i, units);
        i += units;
    }
    return encoded;
}

CString CUrlQueryParams::BuildUrl() const
{
    if (m_params.empty())
        return CString();
    CString url = m_baseUrl + L"?";
    for (const CStringPair& param : m_params) {
        const wchar_t last = url[url.GetLength() - 1];
        if (last != L'?' && last != L'&')
            url += L'&';
        url += EncodeQueryText(param.first);
        url += L'=';
        url += EncodeQueryText(param.second);
    }
    return url;
}

void CUrlQueryParams::AddWinVer()
{
    AddParam(L"winver", COsVersionInfo::GetOsDescription(), false);
}

void CUrlQueryParams::AddDomain()
{
    AddParam(L"domain", GetComputerDnsDomain(), true);
}

void CUrlQueryParams::AddCountry()
{
    AddParam(L"country", GetUserCountryName(), true);
}

bool CUrlQueryParams::AddProgramVersion(const wchar_t* name)
{
    CFileVersionInfo version = CFileVersionInfo::CFileVersionInfoFromModule(nullptr);
    if (!version.Read())
        return false;
    AddParam(name, version.GetProductVersion(), false);
    return true;
}

void CUrlQueryParams::AddLanguages()
{
    AddParam(L"languages", GetKeyboardLanguagesText(), false);
}

void CUrlQueryParams::AddRam()
{
    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatus(&status);
    CString size = FormatByteSize(static_cast<LONGLONG>(status.dwTotalPageFile));
    size.Remove(L' ');
    AddParam(L"RAM", size, false);
}

void CUrlQueryParams::AddScreen()
{
    CString screen;
    screen.Format(L"%dx%d", ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    AddParam(L"screen", screen, true);
}
