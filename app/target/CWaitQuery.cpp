#include "app/target/CWaitQuery.h"

#include "app/target/CopySelectionByCtrlC.h"
#include "common/HandedOutAddresses.h"
#include "platform/interchange/InterchangeArea.h"
#include "common/KernelHandle.h"
#include "app/target/SVInterProcess.h"
#include "common/SharedLog.h"
#include "common/SystemErrorText.h"
#include "common/TimingMarks.h"
#include "platform/ExceptionBoundary.h"

#include <utility>

namespace
{
// The records of one query as handed to the owner.
struct QueryExchange
{
    SVQuery query;
    SVAnswer answer;
};

// Waits for the handle while answering messages other threads send to this
// one: the query thread may be sending to a window of this thread.
bool WaitAnsweringSentMessages(HANDLE handle, DWORD timeoutMs)
{
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) {
            const ULONGLONG elapsed = ::GetTickCount64() - start;
            remaining = elapsed >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - elapsed);
        }
        const DWORD wait = ::MsgWaitForMultipleObjects(1, &handle, FALSE, remaining, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0)
            return true;
        if (wait != WAIT_OBJECT_0 + 1)
            return false;
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void LogReceivedQuery(bool read, const SVQuery& query)
{
    if (!read) {
        WriteLogLine(L"Cannot read query from MMF");
        return;
    }
    CString line;
    line.Format(L"Received query:\r\n\tExe: %s\r\n\tClassName: %s\r\n\tHKL: %u\r\n\tSelText: "
                L"[%s]\r\n\tSelText State: [%s]",
                query.AppPath.GetString(), query.WindowClassName.GetString(),
                static_cast<unsigned>(reinterpret_cast<UINT_PTR>(query.Hkl)), query.SelText.GetString(),
                CWaitQuery::SelTextStateText(query.StateSelText));
    WriteLogLine(line);
}
} // namespace

struct CWaitQuery::ThreadContext
{
    HWND owner = nullptr;
    CKernelHandle ownerStop;
    CKernelHandle ownStop;
    CKernelHandle queryEvent;
    CKernelHandle answerEvent;
    CString mappingName;
    UINT queryMessage = 0;
    UINT errorMessage = 0;
    std::shared_ptr<std::atomic<bool>> finished;
    // The records of the last query handed over, kept for an owner that is
    // still busy with them after the send has timed out.
    std::unique_ptr<QueryExchange> lastHandedOver;
};

CWaitQuery::CWaitQuery() : m_ownStop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CWaitQuery::~CWaitQuery()
{
    StopWaitThread(INFINITE);
}

LPCWSTR CWaitQuery::SelTextStateText(int state)
{
    switch (state) {
    case kSelTextStateNone:
        return L"No has selected text";
    case kSelTextStateFailed:
        return L"O-ooops! Cannot get selected text from target application";
    case kSelTextStateExtracted:
        return L"Wax! Text extracted by agent";
    default:
        return L"Та-а-а-к! Чего ха *ерня? тут вообще никогда не должно оказаться выполнение кода...";
    }
}

bool CWaitQuery::IsThreadAlive() const
{
    if (!m_thread)
        return false;
    if (m_finished && m_finished->load())
        return false;
    return ::WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

void CWaitQuery::JoinFinishedThread()
{
    if (!m_thread)
        return;
    // A thread that has begun to end on its own only has its last lines to run.
    ::WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
    m_finished.reset();
}

bool CWaitQuery::StartWaitThread(const WaitQueryParams& params)
{
    const LPCWSTR failure = L"Cannot start thread for waiting of query CWaitQuery::StartWaitThread";
    if (IsThreadAlive() || !m_ownStop || !params.owner || !params.queryEvent || !params.answerEvent) {
        LogError(failure);
        return false;
    }
    JoinFinishedThread();
    ::ResetEvent(m_ownStop.Get());

    auto context = std::make_unique<ThreadContext>();
    context->owner = params.owner;
    context->ownerStop = DuplicateHandleInProcess(params.stopEvent);
    context->ownStop = DuplicateHandleInProcess(m_ownStop.Get());
    context->queryEvent = DuplicateHandleInProcess(params.queryEvent);
    context->answerEvent = DuplicateHandleInProcess(params.answerEvent);
    context->mappingName = CString(params.mappingName.GetString());
    context->queryMessage = params.queryMessage;
    context->errorMessage = params.errorMessage;
    context->finished = std::make_shared<std::atomic<bool>>(false);
    if (!context->ownStop || !context->queryEvent || !context->answerEvent ||
        (params.stopEvent && !context->ownerStop)) {
        LogError(failure);
        return false;
    }

    std::shared_ptr<std::atomic<bool>> finished = context->finished;
    HANDLE thread = ::CreateThread(nullptr, 0, &CWaitQuery::ThreadProc_WaitQuery, context.get(), 0, nullptr);
    if (!thread) {
        LogError(failure);
        return false;
    }
    context.release(); // the thread owns it now
    m_thread.Reset(thread);
    m_finished = std::move(finished);
    return true;
}

bool CWaitQuery::StopWaitThread(DWORD timeoutMs)
{
    if (!m_thread)
        return true;
    ::SetEvent(m_ownStop.Get());
    if (!WaitAnsweringSentMessages(m_thread.Get(), timeoutMs))
        return false;
    m_thread.Reset();
    m_finished.reset();
    return true;
}

LRESULT CWaitQuery::AskOwner(HWND window, UINT message, SVQuery* query, SVAnswer* answer)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, reinterpret_cast<WPARAM>(query),
                               reinterpret_cast<LPARAM>(answer), SMTO_BLOCK | SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

SVQuery CWaitQuery::CopyQueryOfMessage(WPARAM wParam, bool* known)
{
    SVQuery copy;
    const auto* address = reinterpret_cast<const SVQuery*>(wParam);
    const bool found = UseHandedOut(HandOverKind::Query, address, sizeof(SVQuery), [&] { copy = *address; });
    if (!found)
        WriteLogLine(L"CWaitQuery::CopyQueryOfMessage: not a query of this process, ignored");
    if (known)
        *known = found;
    return copy;
}

void CWaitQuery::HandleQuery(ThreadContext& context)
{
    MarkTiming(TimingMark::AnswerReceived);
    auto exchange = std::make_unique<QueryExchange>();
    SVQuery& query = exchange->query;
    const bool read = SVInterProcess::ReadQuery(query, context.mappingName);
    ::ResetEvent(context.queryEvent.Get());

    if (read && query.StateSelText == kSelTextStateFailed && query.SelText.IsEmpty()) {
        CString copied;
        if (CopySelectionByCtrlC(query.Hwnd, copied)) {
            query.SelText = copied;
            query.StateSelText = kSelTextStateExtracted;
        }
    }
    LogReceivedQuery(read, query);
    if (!read) {
        ::SetEvent(context.answerEvent.Get());
        return;
    }

    LRESULT result = 0;
    {
        const CHandOverScope handOver(HandOverKind::Query, &query, sizeof(query));
        result = AskOwner(context.owner, context.queryMessage, &query, &exchange->answer);
    }
    if (result == 1) {
        ::ResetEvent(context.answerEvent.Get());
        if (SVInterProcess::WriteAnswer(exchange->answer, context.mappingName))
            ::SetEvent(context.answerEvent.Get());
    }
    context.lastHandedOver = std::move(exchange);
}

DWORD WINAPI CWaitQuery::ThreadProc_WaitQuery(LPVOID parameter)
{
    std::unique_ptr<ThreadContext> context(static_cast<ThreadContext*>(parameter));
    HANDLE handles[3] = {context->queryEvent.Get(), context->ownStop.Get(), context->ownerStop.Get()};
    const DWORD count = handles[2] ? 3 : 2;

    DWORD result = 0;
    DWORD errorCode = 0;
    for (int errors = 0;;) {
        const DWORD wait = ::WaitForMultipleObjects(count, handles, FALSE, INFINITE);
        if (wait == WAIT_OBJECT_0) {
            try {
                HandleQuery(*context);
            } catch (...) {
                // The query is dropped; the DLL is released at once.
                ReportCurrentException(L"query thread");
                ::ResetEvent(context->queryEvent.Get());
                ::SetEvent(context->answerEvent.Get());
            }
            continue;
        }
        if (wait > WAIT_OBJECT_0 && wait < WAIT_OBJECT_0 + count) {
            result = 0;
            errorCode = 0;
            break;
        }
        result = 1;
        errorCode = ::GetLastError();
        CString line;
        line.Format(
            L"Default on CWaitQuery::ThreadProc_WaitQuery error_code=%u, the error_count? =%d error: [%s]",
            errorCode, errors, GetSystemErrorText(errorCode).GetString());
        LogError(line);
        if (errors > kMaxFailedWaits)
            break;
        ::ResetEvent(context->queryEvent.Get());
        if (::WaitForSingleObject(context->queryEvent.Get(), 1) != WAIT_TIMEOUT)
            break;
        LogError(L"WOW! I may reanimate event for query, continue ZAEBIS!");
        ++errors;
    }

    CString line;
    line.Format(L"Exit from ThreadProc_WaitQuery [ret_value=%u, error_code=%u] error: [%s]", result,
                errorCode, GetSystemErrorText(errorCode).GetString());
    if (result == 1)
        LogError(line);
    else
        WriteLogLine(line);
    context->finished->store(true);
    if (result == 1 && context->errorMessage)
        ::PostMessageW(context->owner, context->errorMessage, errorCode, 0);
    return result;
}
