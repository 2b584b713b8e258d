#include "online/UpdateCheckThreads.h"

#include <algorithm>
#include <memory>
#include <new>

#include "common/HandedOutAddresses.h"
#include "common/KernelHandle.h"
#include "common/SharedLog.h"
#include "online/ConnectionWait.h"
#include "online/NewsFeed.h"
#include "online/UpdateAnswer.h"
#include "online/UpdateInfo.h"
#include "online/UpdateSchedule.h"

namespace
{
// What the thread owns.
struct UpdateCheckThreadRecord
{
    UpdateCheckThreadParams params;
    CKernelHandle stopEvent;
};

// The downloaded answer, deleted when the check ends.
class CTemporaryFile
{
public:
    explicit CTemporaryFile(const CString& path) : m_path(path) {}
    ~CTemporaryFile()
    {
        if (!m_path.IsEmpty())
            ::DeleteFileW(m_path);
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

private:
    CString m_path;
};

void SendResult(const UpdateCheckThreadParams& params, CUpdateInfo& info)
{
    if (params.notifyWindow && params.notifyMessage) {
        const CHandOverScope handOver(HandOverKind::UpdateResult, &info, sizeof(info));
        ::SendMessageW(params.notifyWindow, params.notifyMessage, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void ReportCheck(const UpdateCheckThreadParams& params)
{
    const CString path = DownloadVersionInfoFile(GetUpdateCheckUrl(params.query), params.limits);
    if (path.IsEmpty()) {
        if (params.silent)
            return;
        CUpdateInfo info(params.callbackData);
        info.error = kUpdateDownloadErrorText;
        SendResult(params, info);
        return;
    }
    CTemporaryFile answerFile(path);
    CUpdateInfo info(params.callbackData);
    const int result = ParseVersionInfoFile(path, info);
    DownloadLimits newsLimits = params.limits;
    newsLimits.maxBytes = std::min<DWORD>(newsLimits.maxBytes, static_cast<DWORD>(kMaxNewsFeedBytes));
    LoadNews(info.news, kUpdateNewsItems, newsLimits);
    if (result == kUpdateAnswerUnreadable)
        info.error = kUpdateParseErrorText;
    if (result == kUpdateNewerVersion || !params.silent)
        SendResult(params, info);
}

DWORD WINAPI UpdateCheckThreadProc(void* parameter)
{
    std::unique_ptr<UpdateCheckThreadRecord> record(static_cast<UpdateCheckThreadRecord*>(parameter));
    if (!WaitForConnectionAndDelay(record->stopEvent.Get(), record->params.delay))
        return 1;
    RunUpdateCheck(record->params, record->params.reserved);
    return 0;
}
} // namespace

void RunUpdateCheck(const UpdateCheckThreadParams& params, int /*reserved*/)
{
    ReportCheck(params);
    if (params.notifyWindow && params.completionMessage)
        ::PostMessageW(params.notifyWindow, params.completionMessage,
                       static_cast<WPARAM>(params.callbackData), 0);
}

bool StartUpdateCheckThread(const UpdateCheckThreadParams& params, HANDLE* thread)
{
    std::unique_ptr<UpdateCheckThreadRecord> record(new (std::nothrow) UpdateCheckThreadRecord);
    if (!record)
        return false;
    record->params = params;
    record->stopEvent = DuplicateHandleInProcess(params.stopEvent);
    if (!record->stopEvent)
        return false;
    record->params.stopEvent = record->stopEvent.Get();
    CKernelHandle started(::CreateThread(nullptr, 0, UpdateCheckThreadProc, record.get(), 0, nullptr));
    if (!started)
        return false;
    record.release(); // the thread owns it now
    if (thread)
        *thread = started.Release();
    return true;
}

bool CheckForUpdatesNow(HWND window, UINT message, HANDLE stopEvent, UINT completionMessage,
                        const UpdateQueryValues& query)
{
    UpdateCheckThreadParams params;
    params.notifyWindow = window;
    params.notifyMessage = message;
    params.stopEvent = stopEvent;
    params.completionMessage = completionMessage;
    params.callbackData = 0;
    params.query = query;
    return StartUpdateCheckThread(params);
}

bool ScheduleNextUpdateCheck(HWND window, UINT message, HANDLE stopEvent, const SYSTEMTIME& lastCheck,
                             UINT completionMessage, int days, const UpdateQueryValues& query)
{
    SYSTEMTIME now = {};
    ::GetSystemTime(&now);
    const UpdateCheckSchedule schedule = ComputeUpdateCheckSchedule(lastCheck, days, now);
    WriteLogLine(FormatUpdateScheduleLogLine(schedule));

    UpdateCheckThreadParams params;
    params.notifyWindow = window;
    params.notifyMessage = message;
    params.delay = schedule.delayMs;
    params.stopEvent = stopEvent;
    params.silent = 1;
    params.completionMessage = completionMessage;
    params.callbackData = 1;
    params.query = query;
    return StartUpdateCheckThread(params);
}
