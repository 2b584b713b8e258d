#include "online/UrlHeaderQuery.h"

#include <climits>
#include <vector>

#include "common/LastErrorKeeper.h"

namespace
{
// Reload, no cache write, keep connection, pragma no-cache.
constexpr DWORD kRequestFlags = 0x84400100;

// The parts of an address that the connection and the request need.
struct AddressParts
{
    bool secure = false;
    CString host;
    INTERNET_PORT port = 0;
    CString pathAndQuery;
};

bool SplitAddress(const CString& url, AddressParts& parts)
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

CUrlHeaderQuery::CUrlHeaderQuery(const CString& url, const DownloadLimits& limits)
    : m_url(url), m_limits(limits)
{}

bool CUrlHeaderQuery::Query(LPCWSTR agent)
{
    CLastErrorKeeper keepLastError;
    AddressParts parts;
    if (!SplitAddress(m_url, parts))
        return false;
    CInternetHandle session = OpenInternetSession(agent, INTERNET_OPEN_TYPE_PRECONFIG, 0, m_limits);
    if (!session)
        return false;
    CInternetHandle connection(::InternetConnectW(session.Get(), parts.host, parts.port, nullptr, nullptr,
                                                  INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return false;
    const DWORD flags = kRequestFlags | (parts.secure ? INTERNET_FLAG_SECURE : 0);
    CInternetHandle request(::HttpOpenRequestW(connection.Get(), L"GET", parts.pathAndQuery, nullptr, nullptr,
                                               nullptr, flags, 0));
    if (!request)
        return false;
    if (!::HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0))
        return false;
    if (!IsSuccessStatus(QueryHttpStatusCode(request.Get())))
        return false;
    return ReadHeaders(request.Get());
}

bool CUrlHeaderQuery::QueryAsBrowser()
{
    return Query(L"Internet Explorer");
}

bool CUrlHeaderQuery::ReadHeaders(HINTERNET request)
{
    bool any = false;

    DWORD length = 0;
    DWORD size = sizeof(length);
    if (::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                         nullptr)) {
        m_contentLength = length > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(length);
        any = true;
    }

    wchar_t modified[999] = {};
    size = sizeof(modified) - sizeof(wchar_t);
    if (::HttpQueryInfoW(request, HTTP_QUERY_LAST_MODIFIED, modified, &size, nullptr)) {
        m_lastModifiedText = modified;
        any = true;
    }

    SYSTEMTIME time = {};
    size = sizeof(time);
    if (::HttpQueryInfoW(request, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &time, &size,
                         nullptr)) {
        m_lastModified = time;
        any = true;
    }

    wchar_t contentType[50] = {};
    size = sizeof(contentType) - sizeof(wchar_t);
    if (::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_TYPE, contentType, &size, nullptr)) {
        m_charset = CharsetFromContentType(contentType);
        any = true;
    }
    return any;
}

bool CUrlHeaderQuery::GetLastModifiedLocal(SYSTEMTIME& local) const
{
    if (m_lastModified.wYear == 0)
        return false;
    FILETIME utc = {};
    FILETIME localFile = {};
    if (!::SystemTimeToFileTime(&m_lastModified, &utc))
        return false;
    if (!::FileTimeToLocalFileTime(&utc, &localFile))
        return false;
    return ::FileTimeToSystemTime(&localFile, &local) != FALSE;
}

CString CUrlHeaderQuery::CharsetFromContentType(const CString& contentType)
{
    const int at = contentType.Find(L"charset=");
    if (at < 0)
        return CString();
    CString charset = contentType.Mid(at + 8);
    charset.TrimLeft(L" \"'");
    const int end = charset.FindOneOf(L"\" ");
    if (end >= 0)
        charset = charset.Left(end);
    charset.Trim(L" \"'");
    return charset;
}
