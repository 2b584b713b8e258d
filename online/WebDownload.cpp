#include "online/WebDownload.h"

#include <urlmon.h>

#include <memory>

#include "common/KernelHandle.h"
#include "common/LastErrorKeeper.h"
#include "common/RuntimeBinding.h"

namespace
{
// The session flags and request flags of the WinInet route.
constexpr DWORD kSessionFlags = 0x84000102;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
constexpr wchar_t kAcceptHeaders[] = L"Accept: */*\r\n\r\n";
constexpr DWORD kChunk = 12288;
constexpr DWORD kSmallChunk = 200;

void SetFailure(DownloadFailure* failure, DownloadFailure value)
{
    if (failure)
        *failure = value;
}

// Errors that say WinInet reached no server at all (another route may); any
// other failure (a time-out, a reset) came from a server that was reached.
bool IsUnreachableError(DWORD error)
{
    return error == ERROR_INTERNET_CANNOT_CONNECT || error == ERROR_INTERNET_NAME_NOT_RESOLVED ||
           error == ERROR_INTERNET_UNRECOGNIZED_SCHEME;
}

// The Content-Length header when the server sent one.
bool QueryContentLength(HINTERNET request, DWORD& length)
{
    DWORD size = sizeof(length);
    return ::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                            nullptr) != FALSE;
}

// Reads the body into the file in chunks; false on a failed read or write, a
// body over the bound or a transfer over the time bound.
bool CopyBody(HINTERNET request, HANDLE file, DWORD chunkSize, const DownloadLimits& limits)
{
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[chunkSize]);
    if (!buffer) {
        chunkSize = kSmallChunk;
        buffer.reset(new (std::nothrow) char[chunkSize]);
        if (!buffer)
            return false;
    }
    const ULONGLONG start = ::GetTickCount64();
    ULONGLONG total = 0;
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request, buffer.get(), chunkSize, &read))
            return false;
        if (read == 0)
            return true;
        total += read;
        if (total > limits.maxBytes)
            return false;
        DWORD written = 0;
        if (!::WriteFile(file, buffer.get(), read, &written, nullptr) || written != read)
            return false;
        if (::GetTickCount64() - start > limits.totalTimeoutMs)
            return false;
    }
}
} // namespace

bool DownloadUrlToFile(const CString& url, const CString& file, LPCWSTR agent, const DownloadLimits& limits,
                       DownloadFailure* failure)
{
    SetFailure(failure, DownloadFailure::RouteUnavailable);
    CInternetHandle session =
        OpenInternetSession(agent ? agent : L"MyAgent", INTERNET_OPEN_TYPE_DIRECT, kSessionFlags, limits);
    if (!session)
        return false;
    CHttpGet get = SendHttpGet(session.Get(), url, kRequestFlags, kAcceptHeaders, limits);
    if (!get.request) {
        if (!IsUnreachableError(get.error))
            SetFailure(failure, DownloadFailure::Failed);
        return false;
    }
    const CInternetHandle& request = get.request;
    SetFailure(failure, DownloadFailure::Failed);
    if (!IsSuccessStatus(QueryHttpStatusCode(request.Get())))
        return false;
    DWORD announced = 0;
    if (QueryContentLength(request.Get(), announced) && announced > limits.maxBytes)
        return false;

    CKernelHandle output(
        ::CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output)
        return false;
    if (!CopyBody(request.Get(), output.Get(), kChunk, limits))
        return false;
    ::FlushFileBuffers(output.Get());
    SetFailure(failure, DownloadFailure::None);
    return true;
}

bool UrlDownloadToFileFallback(const CString& url, const CString& file, DWORD maxBytes)
{
    CLastErrorKeeper keepLastError;
    using DownloadFn = HRESULT(WINAPI*)(LPUNKNOWN, LPCWSTR, LPCWSTR, DWORD, LPBINDSTATUSCALLBACK);
    CLoadedModule urlmon(L"urlmon.dll");
    const auto download = urlmon.Find<DownloadFn>("URLDownloadToFileW");
    if (!download)
        return false;
    if (download(nullptr, url, file, 0, nullptr) != S_OK)
        return false;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(file, GetFileExInfoStandard, &data))
        return false;
    return data.nFileSizeHigh == 0 && data.nFileSizeLow <= maxBytes;
}
