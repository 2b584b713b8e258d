#pragma once

// What the update check's downloads and header queries share: their bounds,
// the opening of a WinInet session with those time-outs, the HTTP status of a
// request, and the test of an address from an answer.

#include <windows.h>

#include "online/InternetHandle.h"
#include "platform/CString.h"

// Bounds of one download or header query.
struct DownloadLimits
{
    // Connect, send and receive time-out of every WinInet call, in ms.
    DWORD timeoutMs = 30000;
    // The whole transfer ends (failed) after this many ms, however the server trickles.
    DWORD totalTimeoutMs = 120000;
    // A body longer than this fails the download (1 MiB).
    DWORD maxBytes = 1024 * 1024;
};

// InternetOpenW(agent, accessType, no proxy, flags) with the limits'
// time-outs set on the session (connections and requests inherit them).
// Empty when the session cannot be opened.
CInternetHandle OpenInternetSession(LPCWSTR agent, DWORD accessType, DWORD flags,
                                    const DownloadLimits& limits);

// Sets the limits' time-outs on a session, connection or request handle.
void ApplyInternetTimeouts(HINTERNET handle, const DownloadLimits& limits);

// A GET sent to an http or https address (host and port from the address).
struct CHttpGet
{
    CInternetHandle connection;
    CInternetHandle request; // empty when the request could not be sent
    DWORD error = 0;         // the last error of the failed step
};
// Connects, opens the GET of the address's path and query (without its
// fragment) with `flags` (INTERNET_FLAG_SECURE added for https), sets the
// limits' time-outs on the connection and the request, and sends it with
// `headers` (may be null).
CHttpGet SendHttpGet(HINTERNET session, const CString& url, DWORD flags, LPCWSTR headers,
                     const DownloadLimits& limits);

// The HTTP status code of a sent request; 0 when it cannot be read.
DWORD QueryHttpStatusCode(HINTERNET request);
// 200 to 299.
bool IsSuccessStatus(DWORD status);

// An absolute web address: "http://" or "https://" (any case) followed by a
// host, with no control characters or blanks in it.
bool IsWebAddress(const CString& text);
