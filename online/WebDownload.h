#pragma once

// Downloading one address into a file: the WinInet route with its bounds,
// and the urlmon route for when WinInet cannot be used at all.

#include <windows.h>

#include "online/InternetSession.h"
#include "platform/CString.h"

// Why a download failed.
enum class DownloadFailure
{
    None,
    // WinInet could not open the session or reach the server (no answer,
    // not a time-out): another route may still work.
    RouteUnavailable,
    // The server was reached but the download failed: a status other than
    // 2xx, a time-out, a body over the size bound, a failed read or write.
    Failed,
};

// Downloads `url` into `file` (created or truncated) over WinInet: a direct
// session with `agent` ("MyAgent" when null), the limits' time-outs, the
// request header "Accept: */*", no cache write. Only a 2xx answer counts and
// the body may not pass limits.maxBytes nor take longer than
// limits.totalTimeoutMs. True when the whole body is in the file. A failed
// download may leave a partial file: the caller deletes it. `failure` (may
// be null) tells why it failed.
bool DownloadUrlToFile(const CString& url, const CString& file, LPCWSTR agent,
                       const DownloadLimits& limits = DownloadLimits(), DownloadFailure* failure = nullptr);

// The urlmon route: URLDownloadToFileW bound at run time from "urlmon.dll"
// (no caller object, no callback). True when it returned S_OK and the file
// is no larger than maxBytes. The caller's last-error value is kept.
bool UrlDownloadToFileFallback(const CString& url, const CString& file,
                               DWORD maxBytes = DownloadLimits().maxBytes);
