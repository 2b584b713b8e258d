#pragma once

// The header query of one download address: a GET whose answer's headers
// give the size and the date of the file (the body is not read).

#include <windows.h>

#include "online/InternetSession.h"
#include "platform/CString.h"

class CUrlHeaderQuery
{
public:
    explicit CUrlHeaderQuery(const CString& url, const DownloadLimits& limits = DownloadLimits());

    // Sends the GET (reload, no cache write, keep connection, pragma
    // no-cache; secure for https) to the host and port of the address with
    // the session's agent, and reads Content-Length, Last-Modified (as text
    // and as time) and the character set of Content-Type. True when the
    // server answered with a 2xx status and at least one of those headers
    // was read. Only http and https addresses are queried. The caller's
    // last-error value is kept.
    bool Query(LPCWSTR agent);
    // Query with the agent "Internet Explorer".
    bool QueryAsBrowser();

    const CString& GetUrl() const { return m_url; }
    // -1 when the header was missing.
    int GetContentLength() const { return m_contentLength; }
    // The Last-Modified header as sent; empty when missing.
    const CString& GetLastModifiedText() const { return m_lastModifiedText; }
    // Zero when the header was missing or unreadable.
    const SYSTEMTIME& GetLastModifiedUtc() const { return m_lastModified; }
    // The Last-Modified time as local time; false when no time was received
    // or a conversion fails.
    bool GetLastModifiedLocal(SYSTEMTIME& local) const;
    // The text after "charset=" in Content-Type; empty when none.
    const CString& GetCharset() const { return m_charset; }

    // The character set named in a Content-Type value: the text after
    // "charset=" (leading blanks and quotes skipped) up to the next double
    // quote or blank, with blanks, double and single quotes trimmed at both
    // ends; empty without "charset=".
    static CString CharsetFromContentType(const CString& contentType);

private:
    bool ReadHeaders(HINTERNET request);

    CString m_url;
    DownloadLimits m_limits;
    SYSTEMTIME m_lastModified{};
    int m_contentLength = -1;
    CString m_lastModifiedText;
    CString m_charset;
};
