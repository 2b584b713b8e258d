#include "app/history/DelayedWatcherStart.h"

#include <memory>

#include "common/KernelHandle.h"
#include "common/SharedLog.h"
#include "platform/CString.h"

namespace
{
struct DelayedStartRecord
{
    DelayedWatcherStartParams params;
    CKernelHandle stopEvent;
};

DWORD WINAPI DelayedStartThread(LPVOID parameter)
{
    std::unique_ptr<DelayedStartRecord> record(static_cast<DelayedStartRecord*>(parameter));
    const DelayedWatcherStartParams& params = record->params;
    for (int attempt = 1; attempt <= params.attempts; ++attempt) {
        if (::WaitForSingleObject(record->stopEvent.Get(), params.intervalMs) != WAIT_TIMEOUT)
            return 0; // stopped, abandoned or failed: no further try
        const LRESULT result = ::SendMessageW(params.window, params.message, 1, 0);
        CString line;
        line.Format(L"Try to delyaed install clipboard spy: success %d, try#%d", static_cast<int>(result),
                    attempt);
        WriteLogLine(line);
        if (result != 0)
            return 0;
    }
    return 0;
}
} // namespace

bool StartDelayedWatcherStart(const DelayedWatcherStartParams& params)
{
    WriteLogLine(L"Start Delayed ClipboardHistory");
    auto record = std::make_unique<DelayedStartRecord>();
    record->params = params;
    record->stopEvent = DuplicateHandleInProcess(params.stopEvent);
    if (!record->stopEvent || !params.window)
        return false;
    CKernelHandle thread(::CreateThread(nullptr, 0, DelayedStartThread, record.get(), 0, nullptr));
    if (!thread)
        return false;
    record.release(); // the thread owns it now
    return true;
}
