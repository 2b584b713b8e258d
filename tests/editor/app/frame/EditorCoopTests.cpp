// test-locks: appevents
// The editor's side of the cooperation with the main program: its watchers
// against events set as the main program and a second editor set them, and
// the signals it gives.
#include "editor/app/frame/EditorCoopSignals.h"
#include "editor/app/frame/EditorCoopWatchers.h"

#include "common/KernelHandle.h"
#include "online/EditorCoopEvents.h"

#include "support/MessageCounter.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const UINT kOptionsMessage = WM_APP + 50;
const UINT kAddMessage = WM_APP + 51;

// Runs a watcher's work on a thread of its own, so the test can see it end.
class CWatcherThread
{
public:
    CWatcherThread(DWORD (*watch)(const EditorWatcherParams&), const EditorWatcherParams& params)
        : m_watch(watch), m_params(params)
    {
        m_thread.Reset(::CreateThread(nullptr, 0, &CWatcherThread::Run, this, 0, nullptr));
    }
    // True when the thread ended within the time; its exit code in `code`.
    bool Ended(DWORD timeoutMs, DWORD& code)
    {
        if (!scvtest::PumpUntilSignaled(m_thread.Get(), timeoutMs))
            return false;
        return ::GetExitCodeThread(m_thread.Get(), &code) != FALSE;
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* watcher = static_cast<CWatcherThread*>(self);
        return watcher->m_watch(watcher->m_params);
    }

    DWORD (*m_watch)(const EditorWatcherParams&);
    EditorWatcherParams m_params;
    CKernelHandle m_thread;
};

bool EventExists(LPCWSTR name)
{
    return CKernelHandle(::OpenEventW(SYNCHRONIZE, FALSE, name)).operator bool();
}
} // namespace

TEST(EditorCoop, OptionsWatcherEndsAtOnceWithoutTheMainProgram)
{
    ASSERT_FALSE(EventExists(GetOptionsChangedEventName()));
    CKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    scvtest::MessageCounter window;
    CWatcherThread watcher(&WatchOptionsChanged,
                           EditorWatcherParams{stop.Get(), window.Get(), kOptionsMessage});
    DWORD code = 0;
    ASSERT_TRUE(watcher.Ended(5000, code));
    EXPECT_EQ(code, 1u);
}

TEST(EditorCoop, OptionsChangedByTheMainProgramReachTheWindowUntilStopped)
{
    // The main program's side: the kept event and its pulse.
    ASSERT_NE(GetOptionsChangedEvent(), nullptr);
    CKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    scvtest::MessageCounter window;
    CWatcherThread watcher(&WatchOptionsChanged,
                           EditorWatcherParams{stop.Get(), window.Get(), kOptionsMessage});

    // The event set once (a pulse reaches a waiting watcher alike; that the main program's pulse
    // wakes a waiting thread is tested with the event): the watcher takes it whenever it waits.
    ASSERT_TRUE(::SetEvent(GetOptionsChangedEvent()));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return window.Count(kOptionsMessage) > 0; }, 5000));

    ::SetEvent(stop.Get());
    DWORD code = 99;
    ASSERT_TRUE(watcher.Ended(5000, code));
    EXPECT_EQ(code, 0u);
    CloseOptionsChangedEvent();

    // The started form runs the same work.
    ASSERT_NE(GetOptionsChangedEvent(), nullptr);
    CKernelHandle stop2(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const int before = window.Count(kOptionsMessage);
    ASSERT_TRUE(StartOptionsChangedWatcher(window.Get(), kOptionsMessage, stop2.Get()));
    ASSERT_TRUE(::SetEvent(GetOptionsChangedEvent()));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return window.Count(kOptionsMessage) > before; }, 5000));
    ::SetEvent(stop2.Get());
    CloseOptionsChangedEvent();
}

TEST(EditorCoop, SecondEditorsRequestsAddPhrasesFromTheClipboard)
{
    ASSERT_FALSE(EventExists(GetAddPhraseFromClipboardEventName()));
    EXPECT_FALSE(SignalAddPhraseFromClipboard()); // no editor listens: nothing happens

    CKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    scvtest::MessageCounter window;
    ASSERT_TRUE(StartAddPhraseFromClipboardWatcher(window.Get(), kAddMessage, stop.Get()));
    ASSERT_TRUE(scvtest::WaitUntil([] { return EventExists(GetAddPhraseFromClipboardEventName()); }, 5000));

    for (int request = 1; request <= 2; ++request) {
        EXPECT_TRUE(SignalAddPhraseFromClipboard());
        EXPECT_TRUE(scvtest::PumpUntil([&] { return window.Count(kAddMessage) == request; }, 5000))
            << request;
    }
    ::SetEvent(stop.Get());
    EXPECT_TRUE(scvtest::WaitUntil([] { return !EventExists(GetAddPhraseFromClipboardEventName()); }, 5000))
        << "the watcher closes its event when stopped";
    EXPECT_EQ(window.Count(kAddMessage), 2);
}

TEST(EditorCoop, SignalsSetOnlyEventsThatExist)
{
    struct Case
    {
        const wchar_t* name;
        bool (*signal)();
    };
    const Case cases[] = {
        {L"Local\\Scrivolanter_CoopClientEditor", &SignalCoopClientEditor},
        {L"Local\\Scrivolanter_CommandCheckForUpdates", &RequestUpdateCheck},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.signal()) << c.name;
        CKernelHandle event(::CreateEventW(nullptr, TRUE, FALSE, c.name));
        ASSERT_TRUE(event);
        EXPECT_TRUE(c.signal()) << c.name;
        EXPECT_EQ(::WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0) << c.name;
    }
    EXPECT_STREQ(FloatPaneBlinkEventName(), L"Local\\Scrivolanter_FloatPaneBlink");
}
