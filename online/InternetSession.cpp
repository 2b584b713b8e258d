#include "online/InternetSession.h"

namespace
{
bool StartsWithNoCase(const CString& text, LPCWSTR prefix)
{
    const int length = static_cast<int>(::wcslen(prefix));
    return text.GetLength() >= length && ::_wcsnicmp(text.GetString(), prefix, length) == 0;
}
} // namespace

CInternetHandle OpenInternetSession(LPCWSTR agent, DWORD accessType, DWORD flags,
                                    const DownloadLimits& limits)
{
    CInternetHandle session(::InternetOpenW(agent, accessType, nullptr, nullptr, flags));
    if (!session)
        return session;
    DWORD timeout = limits.timeoutMs;
    const DWORD options[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                             INTERNET_OPTION_DATA_RECEIVE_TIMEOUT};
    for (DWORD option : options)
        ::InternetSetOptionW(session.Get(), option, &timeout, sizeof(timeout));
    return session;
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
