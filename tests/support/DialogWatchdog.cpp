#include "support/DialogWatchdog.h"

#include "support/Dialogs.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace scvtest
{

namespace
{

struct TrackedDialog
{
    ULONGLONG firstSeen = 0;
    int attempts = 0; // close attempts made so far
};

struct WatchdogState
{
    std::mutex mutex;
    std::condition_variable wake;
    std::thread thread;
    bool stopping = false;
    DWORD limitMs = DialogWatchdog::kDefaultLimitMs;
    DialogWatchdog::Mode mode = DialogWatchdog::Mode::Fail;
    std::vector<std::wstring> closedTexts;
    std::vector<std::wstring> failures;
    // Kept across tests, so a box left over from an earlier test is timed
    // from when it appeared.
    std::map<HWND, TrackedDialog> tracked;

    ~WatchdogState()
    {
        // Only when the process ends in the middle of a test.
        if (thread.joinable())
            thread.detach();
    }
};

WatchdogState& State()
{
    static WatchdogState state;
    return state;
}

std::wstring FailureMessage(const std::wstring& text, DWORD limitMs)
{
    return L"A dialog box stayed open longer than " + std::to_wstring(limitMs) +
           L" ms and was closed by the dialog watchdog:\n" + text;
}

void ThreadMain()
{
    WatchdogState& state = State();
    for (;;) {
        DialogWatchdog::ScanOnce();
        std::unique_lock lock(state.mutex);
        if (state.wake.wait_for(lock, std::chrono::milliseconds(DialogWatchdog::kScanIntervalMs),
                                [&] { return state.stopping; }))
            return;
    }
}

} // namespace

void DialogWatchdog::Allow(DWORD limitMs)
{
    std::lock_guard lock(State().mutex);
    State().limitMs = limitMs;
}

DWORD DialogWatchdog::Limit()
{
    std::lock_guard lock(State().mutex);
    return State().limitMs;
}

void DialogWatchdog::SetMode(Mode mode)
{
    std::lock_guard lock(State().mutex);
    State().mode = mode;
}

DialogWatchdog::Mode DialogWatchdog::GetMode()
{
    std::lock_guard lock(State().mutex);
    return State().mode;
}

DialogWatchdog::ScopedLimit::ScopedLimit(DWORD limitMs) : previous_(Limit())
{
    Allow(limitMs);
}

DialogWatchdog::ScopedLimit::~ScopedLimit()
{
    Allow(previous_);
}

DialogWatchdog::ScopedMode::ScopedMode(Mode mode) : previous_(GetMode())
{
    SetMode(mode);
}

DialogWatchdog::ScopedMode::~ScopedMode()
{
    SetMode(previous_);
}

std::vector<std::wstring> DialogWatchdog::TakeClosedTexts()
{
    std::lock_guard lock(State().mutex);
    return std::exchange(State().closedTexts, {});
}

std::optional<std::wstring> DialogWatchdog::TakeLastClosedText()
{
    std::vector<std::wstring> texts = TakeClosedTexts();
    if (texts.empty())
        return std::nullopt;
    return texts.back();
}

std::vector<std::wstring> DialogWatchdog::TakeFailures()
{
    std::lock_guard lock(State().mutex);
    return std::exchange(State().failures, {});
}

void DialogWatchdog::Start()
{
    WatchdogState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.thread.joinable())
        return;
    state.stopping = false;
    state.thread = std::thread(ThreadMain);
}

void DialogWatchdog::Stop()
{
    WatchdogState& state = State();
    std::thread thread;
    {
        std::lock_guard lock(state.mutex);
        state.stopping = true;
        thread = std::move(state.thread);
    }
    state.wake.notify_all();
    if (thread.joinable())
        thread.join();
}

void DialogWatchdog::Reset()
{
    std::lock_guard lock(State().mutex);
    State().limitMs = kDefaultLimitMs;
    State().mode = Mode::Fail;
    State().closedTexts.clear();
    State().failures.clear();
}

void DialogWatchdog::ScanOnce()
{
    // Windows are enumerated and read outside the lock: a test thread may be
    // waiting for the lock while its own dialog is being looked at.
    std::vector<HWND> open = FindDialogs(GetCurrentProcessId());
    ULONGLONG now = GetTickCount64();

    std::vector<std::pair<HWND, int>> toClose;
    {
        WatchdogState& state = State();
        std::lock_guard lock(state.mutex);
        std::map<HWND, TrackedDialog> still;
        for (HWND dialog : open) {
            auto found = state.tracked.find(dialog);
            TrackedDialog entry = found != state.tracked.end() ? found->second : TrackedDialog{now, 0};
            if (now - entry.firstSeen > state.limitMs)
                toClose.emplace_back(dialog, entry.attempts++);
            still[dialog] = entry;
        }
        state.tracked = std::move(still);
    }

    for (const auto& [dialog, attempt] : toClose) {
        if (attempt == 0) {
            std::wstring text = ReadDialogText(dialog);
            WatchdogState& state = State();
            std::lock_guard lock(state.mutex);
            state.closedTexts.push_back(text);
            if (state.mode == Mode::Fail)
                state.failures.push_back(FailureMessage(text, state.limitMs));
        }
        NudgeDialogClosed(dialog, attempt);
    }
}

void DialogWatchdogListener::OnTestStart(const testing::TestInfo&)
{
    DialogWatchdog::Reset();
    DialogWatchdog::Start();
}

void DialogWatchdogListener::OnTestEnd(const testing::TestInfo&)
{
    DialogWatchdog::Stop();
    for (const std::wstring& failure : DialogWatchdog::TakeFailures())
        ADD_FAILURE() << failure;
}

void DialogWatchdogListener::OnTestProgramEnd(const testing::UnitTest&)
{
    DialogWatchdog::Stop();
}

} // namespace scvtest
