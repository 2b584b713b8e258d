#pragma once

// The query thread: waits for the core hook DLL's DataNeeded event, reads the
// query from the interchange area, copies the selected text itself when the
// DLL could not, and hands the query to its owner (the tray window) with a
// blocking send of WM_WAIT_QUERY_COMPLETE (wParam: const SVQuery*, lParam:
// SVAnswer*), at most 2000 ms. When the owner answers 1 and the answer has
// items, an "SVAnswer" document is written and DataCompleted is set; a query
// that cannot be read sets DataCompleted at once.
//
// The owner's handler must work on its own copy of the query (copy it before
// anything else): when the handler takes longer than the send time-out (a menu
// kept open), the thread goes on without it. The records a message points to
// stay valid until the next query has been handed over, and the answer is
// read only when the send came back in time.
//
// One thread per object. The thread ends when the owner's stop event or this
// object's own stop (StopWaitThread) is signalled, or after repeated failed
// waits, which it reports with the error message (WM_WAIT_QUERY_COMPLETE_ERROR)
// to the owner. The thread works on duplicates of the event handles, so
// closing the interchange objects never leaves it waiting on a stale handle;
// still, stop it before closing them.

#include <windows.h>

#include <atomic>
#include <memory>

#include "app/target/SVAnswer.h"
#include "engine/SVQuery.h"
#include "app/TrayMessages.h"
#include "common/KernelHandle.h"
#include "platform/CString.h"

struct WaitQueryParams
{
    HWND owner = nullptr;
    HANDLE stopEvent = nullptr;   // the owner's stop event (not owned)
    HANDLE queryEvent = nullptr;  // DataNeeded
    HANDLE answerEvent = nullptr; // DataCompleted
    CString mappingName;
    UINT queryMessage = WM_WAIT_QUERY_COMPLETE;
    UINT errorMessage = WM_WAIT_QUERY_COMPLETE_ERROR; // 0: none
};

class CWaitQuery
{
public:
    static constexpr UINT kSendTimeoutMs = 2000;
    // Failed waits tolerated before the thread gives up.
    static constexpr int kMaxFailedWaits = 5;

    CWaitQuery();
    // Stops and joins the thread.
    ~CWaitQuery();
    CWaitQuery(const CWaitQuery&) = delete;
    CWaitQuery& operator=(const CWaitQuery&) = delete;

    // Starts the thread with a copy of the parameters. False (logged) when the
    // parameters lack a window or an event, a thread is still running, or the
    // thread cannot be started. A thread that has ended on its own (after its
    // error message) is joined first, so the error handler may restart at once.
    bool StartWaitThread(const WaitQueryParams& params);
    // Signals this object's stop event and waits for the thread's end,
    // answering the messages it sends to this thread meanwhile. True when no
    // thread is left running.
    bool StopWaitThread(DWORD timeoutMs = 10000);
    // True while a thread runs that has not begun to end on its own.
    bool IsThreadAlive() const;

    // The owner's result of SendMessageTimeoutW(window, message, query, answer,
    // SMTO_BLOCK | SMTO_ABORTIFHUNG, 2000 ms); 0 when the send fails or times out.
    static LRESULT AskOwner(HWND window, UINT message, SVQuery* query, SVAnswer* answer);

    // For the owner's handler: a copy of the query of a WM_WAIT_QUERY_COMPLETE message. Only a
    // query that a query thread of this process is handing over right now is read (any process
    // can post the message number): for anything else `known` is false and a fresh record comes.
    static SVQuery CopyQueryOfMessage(WPARAM wParam, bool* known = nullptr);

    // The query's selection state as the log shows it.
    static LPCWSTR SelTextStateText(int state);

private:
    struct ThreadContext;

    static DWORD WINAPI ThreadProc_WaitQuery(LPVOID parameter);
    static void HandleQuery(ThreadContext& context);
    void JoinFinishedThread();

    CKernelHandle m_thread;
    CKernelHandle m_ownStop;
    // Set by the thread when it begins to end on its own; shared with it.
    std::shared_ptr<std::atomic<bool>> m_finished;
};
