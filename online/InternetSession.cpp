#include "online/InternetSession.h"

#include <utility>
#include <vector>

namespace
{
bool StartsWithNoCase(const CString& text, LPCWSTR prefix)
{
    const int length = static_cast<int>(::wcslen(prefix));
    return text.GetLength() >= length && ::_wcsnicmp(text.GetString(), prefix, length) == 0;
}

// The parts of an address that the connection and the request need.
struct WebAddressParts
{
    bool secure = false;
    CString host;
    INTERNET_PORT port = 0;
    CString pathAndQuery;
};

bool SplitWebAddress(const CString& url, WebAddressParts& parts)
{
    if (!IsWebAddress(url))
        return false;
    std::vector<wchar_t> host(static_cast<size_t>(url.GetLength()) + 1);
    std::vector<wchar_t> path(static_cast<size_t>(url.GetLength()) + 1);
    std::vector<wchar_t> extra(static_cast<size_t>(url.GetLength()) + 1);
    URL_COMPONENTSW components = {};
    components.dwStructSize = sizeof(components);
    components.lpszHostName = host.data();
    components.dwHostNameLength = static_cast<DWORD>(host.size());
    components.lpszUrlPath = path.data();
    components.dwUrlPathLength = static_cast<DWORD>(path.size());
    components.lpszExtraInfo = extra.data();
    components.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!::InternetCrackUrlW(url.GetString(), 0, 0, &components))
        return false;
    if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS)
        return false;
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    parts.host = host.data();
    parts.port = components.nPort ? components.nPort
                                  : (parts.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT);
    parts.pathAndQuery = CString(path.data()) + extra.data();
    const int fragment = parts.pathAndQuery.Find(L'#');
    if (fragment >= 0)
        parts.pathAndQuery = parts.pathAndQuery.Left(fragment);
    if (parts.pathAndQuery.IsEmpty() || parts.pathAndQuery[0] != L'/')
        parts.pathAndQuery = L"/" + parts.pathAndQuery;
    return !parts.host.IsEmpty();
}
} // namespace

CHttpGet SendHttpGet(HINTERNET session, const CString& url, DWORD flags, LPCWSTR headers,
                     const DownloadLimits& limits)
{
    CHttpGet get;
    WebAddressParts parts;
    if (!SplitWebAddress(url, parts)) {
        get.error = ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        return get;
    }
    get.connection = CInternetHandle(
        ::InternetConnectW(session, parts.host, parts.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!get.connection) {
        get.error = ::GetLastError();
        return get;
    }
    ApplyInternetTimeouts(get.connection.Get(), limits);
    const DWORD requestFlags = flags | (parts.secure ? INTERNET_FLAG_SECURE : 0);
    CInternetHandle request(::HttpOpenRequestW(get.connection.Get(), L"GET", parts.pathAndQuery, nullptr,
                                               nullptr, nullptr, requestFlags, 0));
    if (!request) {
        get.error = ::GetLastError();
        return get;
    }
    ApplyInternetTimeouts(request.Get(), limits);
    const DWORD headersLength = headers ? static_cast<DWORD>(::wcslen(headers)) : 0;
    if (!::HttpSendRequestW(request.Get(), headers, headersLength, nullptr, 0)) {
        get.error = ::GetLastError();
        return get;
    }
    get.request = std::move(request);
    return get;
}

CInternetHandle OpenInternetSession(LPCWSTR agent, DWORD accessType, DWORD flags,
                                    const DownloadLimits& limits)
{
    CInternetHandle session(::InternetOpenW(agent, accessType, nullptr, nullptr, flags));
    if (session)
        ApplyInternetTimeouts(session.Get(), limits);
    return session;
}

void ApplyInternetTimeouts(HINTERNET handle, const DownloadLimits& limits)
{
    DWORD timeout = limits.timeoutMs;
    const DWORD options[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                             INTERNET_OPTION_DATA_RECEIVE_TIMEOUT};
    for (DWORD option : options)
        ::InternetSetOptionW(handle, option, &timeout, sizeof(timeout));
}

DWORD QueryHttpStatusCode(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return status;
}

bool IsSuccessStatus(DWORD status)
{
    return status >= 200 && status <= 299;
}

bool IsWebAddress(const CString& text)
{
    int hostStart = 0;
    if (StartsWithNoCase(text, L"http://"))
        hostStart = 7;
    else if (StartsWithNoCase(text, L"https://"))
        hostStart = 8;
    else
        return false;
    if (text.GetLength() <= hostStart || text[hostStart] == L'/')
        return false;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] <= L' ' || text[i] == 0x7F)
            return false;
    }
    return true;
}
