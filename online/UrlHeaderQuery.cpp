#include "online/UrlHeaderQuery.h"

#include "online/DateServices.h"

#include <climits>

#include "common/LastErrorKeeper.h"

namespace
{
// Reload, no cache write, keep connection, pragma no-cache.
constexpr DWORD kHeaderRequestFlags = 0x84400100;

} // namespace

CUrlHeaderQuery::CUrlHeaderQuery(const CString& url, const DownloadLimits& limits)
    : m_url(url), m_limits(limits)
{}

bool CUrlHeaderQuery::Query(LPCWSTR agent)
{
    CLastErrorKeeper keepLastError;
    if (!IsWebAddress(m_url))
        return false;
    CInternetHandle session = OpenInternetSession(agent, INTERNET_OPEN_TYPE_PRECONFIG, 0, m_limits);
    if (!session)
        return false;
    const CHttpGet get = SendHttpGet(session.Get(), m_url, kHeaderRequestFlags, nullptr, m_limits);
    if (!get.request)
        return false;
    const HINTERNET request = get.request.Get();
    if (!IsSuccessStatus(QueryHttpStatusCode(request)))
        return false;
    return ReadHeaders(request);
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
    return m_lastModified.wYear != 0 && SystemTimeToLocalTime(m_lastModified, local);
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
