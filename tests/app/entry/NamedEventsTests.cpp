// test-locks: appevents

#include "app/AppObjects.h"
#include "app/entry/EventRelays.h"
#include "app/entry/NamedEvents.h"
#include "app/ProgramLauncher.h"

#include "common/KernelHandle.h"
#include "common/WellKnownNames.h"

#include "support/ChildMain.h"
#include "support/DialogWatchdog.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr UINT kShowMenuMessage = WM_APP + 20;
constexpr UINT kLangChangedMessage = WM_APP + 22;
constexpr UINT kFloatPaneBlinkMessage = WM_APP + 24;

std::wstring UniqueName(const wchar_t* stem)
{
    static int counter = 0;
    return L"Local\\ScvTest_" + std::wstring(stem) + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(++counter);
}

// A hidden top-level window of the test thread that records the messages of
// interest.
class RecordingWindow
{
public:
    struct Record
    {
        UINT message;
        WPARAM wParam;
        bool sent; // SendMessageW (false: posted)
    };

    RecordingWindow()
    {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ScvTestRelayTarget";
            return ::RegisterClassW(&wc);
        }();
        m_window = ::CreateWindowExW(0, MAKEINTATOM(atom), L"relay target", WS_OVERLAPPED, 0, 0, 10, 10,
                                     nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~RecordingWindow() { ::DestroyWindow(m_window); }

    HWND Get() const { return m_window; }

    size_t Count(UINT message, WPARAM wParam) const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        size_t count = 0;
        for (const Record& r : m_records)
            count += r.message == message && r.wParam == wParam;
        return count;
    }
    bool WaitFor(UINT message, WPARAM wParam, size_t count, DWORD ms = 5000) const
    {
        return scvtest::PumpUntil([&] { return Count(message, wParam) >= count; }, ms);
    }
    std::vector<Record> Records() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_records;
    }

private:
    static bool IsRecorded(UINT message)
    {
        return message == WM_COMMAND || message >= WM_APP || message == GetInstanceSignalMessage();
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<RecordingWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && IsRecorded(message)) {
            const bool sent = ::InSendMessage() != FALSE;
            std::lock_guard<std::mutex> lock(self->m_lock);
            self->m_records.push_back({message, wParam, sent});
            return 1;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    mutable std::mutex m_lock;
    std::vector<Record> m_records;
};

bool IsSignalled(LPCWSTR name)
{
    CKernelHandle event(::OpenEventW(SYNCHRONIZE, FALSE, name));
    return event && ::WaitForSingleObject(event.Get(), 0) == WAIT_OBJECT_0;
}

struct RelayFixture : testing::Test
{
    CKernelHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    RecordingWindow window;

    void TearDown() override
    {
        ::SetEvent(stop.Get());
        CAppObjects::SetMainWnd(nullptr);
    }
};
} // namespace

// --- Single instance ---------------------------------------------------------------

SCV_CHILD_MAIN(instance_race)
{
    // args: ready semaphore, start gate, release event
    CKernelHandle ready(::OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, args.at(0).c_str()));
    CKernelHandle gate(::OpenEventW(SYNCHRONIZE, FALSE, args.at(1).c_str()));
    CKernelHandle release(::OpenEventW(SYNCHRONIZE, FALSE, args.at(2).c_str()));
    if (!ready || !gate || !release)
        return 3;
    ::ReleaseSemaphore(ready.Get(), 1, nullptr);
    if (::WaitForSingleObject(gate.Get(), 20000) != WAIT_OBJECT_0)
        return 4;
    bool existed = false;
    CKernelHandle instance(CAppObjects::CreateInstanceEvent(&existed));
    if (!instance)
        return existed ? 1 : 2;
    ::WaitForSingleObject(release.Get(), 20000);
    return 0;
}

TEST(SingleInstance, CreatingAnExistingInstanceEventMeansAnotherInstanceRuns)
{
    ASSERT_FALSE(CAppObjects::IsInstanceRunning());
    bool existed = true;
    CKernelHandle first(CAppObjects::CreateInstanceEvent(&existed));
    ASSERT_TRUE(first);
    EXPECT_FALSE(existed);
    EXPECT_TRUE(CAppObjects::IsInstanceRunning());
    EXPECT_EQ(::WaitForSingleObject(first.Get(), 0),
              static_cast<DWORD>(WAIT_TIMEOUT)); // manual reset, not set

    CKernelHandle second(CAppObjects::CreateInstanceEvent(&existed));
    EXPECT_FALSE(second);
    EXPECT_TRUE(existed);

    first.Reset();
    EXPECT_FALSE(CAppObjects::IsInstanceRunning());
}

TEST(SingleInstance, OfSimultaneousStartsExactlyOneBecomesTheInstance)
{
    constexpr int kStarts = 4;
    for (int round = 0; round < 2; ++round) {
        const std::wstring readyName = UniqueName(L"ready");
        const std::wstring gateName = UniqueName(L"gate");
        const std::wstring releaseName = UniqueName(L"release");
        CKernelHandle ready(::CreateSemaphoreW(nullptr, 0, kStarts, readyName.c_str()));
        CKernelHandle gate(::CreateEventW(nullptr, TRUE, FALSE, gateName.c_str()));
        CKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));

        std::vector<scvtest::ChildProcess> children;
        for (int i = 0; i < kStarts; ++i) {
            children.push_back(scvtest::LaunchSelf(L"instance_race", {readyName, gateName, releaseName}));
            ASSERT_TRUE(children.back().Started());
        }
        for (int i = 0; i < kStarts; ++i)
            ASSERT_EQ(::WaitForSingleObject(ready.Get(), 20000), static_cast<DWORD>(WAIT_OBJECT_0));
        ::SetEvent(gate.Get());

        auto ended = [&] {
            int count = 0;
            for (auto& child : children)
                count += child.ExitCode().has_value();
            return count;
        };
        EXPECT_TRUE(scvtest::WaitUntil([&] { return ended() == kStarts - 1; }, 20000));
        ::Sleep(100);
        EXPECT_EQ(ended(), kStarts - 1);
        ::SetEvent(release.Get());

        int instances = 0;
        int relayed = 0;
        for (auto& child : children) {
            const auto code = child.Wait(20000);
            ASSERT_TRUE(code.has_value());
            instances += *code == 0;
            relayed += *code == 1;
        }
        EXPECT_EQ(instances, 1);
        EXPECT_EQ(relayed, kStarts - 1);
    }
}

// --- Relays ------------------------------------------------------------------------

TEST_F(RelayFixture, GeneralRelaySendsEachSignalAndEndsOnTheStopEvent)
{
    const std::wstring name = UniqueName(L"relay");
    ASSERT_TRUE(StartNamedEventRelay(stop.Get(), window.Get(), WM_APP + 77, 5, name.c_str()));
    ASSERT_TRUE(NamedEventExists(name.c_str()));

    ASSERT_TRUE(SetNamedEvent(name.c_str()));
    ASSERT_TRUE(window.WaitFor(WM_APP + 77, 5, 1));
    ASSERT_TRUE(SetNamedEvent(name.c_str()));
    ASSERT_TRUE(window.WaitFor(WM_APP + 77, 5, 2));
    for (const auto& record : window.Records())
        EXPECT_TRUE(record.sent) << "delivered with SendMessageW";

    // The relay held the only handle: when it ends the event is gone.
    ::SetEvent(stop.Get());
    EXPECT_TRUE(scvtest::WaitUntil([&] { return !NamedEventExists(name.c_str()); }, 5000));
    EXPECT_FALSE(SetNamedEvent(name.c_str()));
    EXPECT_EQ(window.Count(WM_APP + 77, 5), 2u);
}

TEST_F(RelayFixture, RelayKeepsItsOwnCopyOfTheStopEvent)
{
    const std::wstring name = UniqueName(L"relaycopy");
    HANDLE stopCopy = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), stop.Get(), ::GetCurrentProcess(), &stopCopy, 0,
                                  FALSE, DUPLICATE_SAME_ACCESS));
    ASSERT_TRUE(StartNamedEventRelay(stopCopy, window.Get(), WM_APP + 78, 0, name.c_str()));
    ::CloseHandle(stopCopy); // the caller's handle may go at once
    ASSERT_TRUE(SetNamedEvent(name.c_str()));
    EXPECT_TRUE(window.WaitFor(WM_APP + 78, 0, 1));
    ::SetEvent(stop.Get());
    EXPECT_TRUE(scvtest::WaitUntil([&] { return !NamedEventExists(name.c_str()); }, 5000));
}

TEST_F(RelayFixture, InstanceRelaysTellTheMainWindow)
{
    // A program started earlier (by another test or by hand in this display's session) may still hold
    // the events: the exit request hurries it on, and the test waits until nobody answers.
    ASSERT_TRUE(scvtest::WaitUntil([] { return !SignalExitEvents(); }, 15000));
    EXPECT_FALSE(SignalExitEvents()); // nobody listens yet
    EXPECT_FALSE(SignalAlreadyWork());
    EXPECT_FALSE(SignalCheckForUpdatesEvent());
    EXPECT_FALSE(SignalCheckForUpdatesRequest());

    CAppObjects::SetMainWnd(window.Get());
    ASSERT_TRUE(StartInstanceRelays(stop.Get()));
    const UINT signal = GetInstanceSignalMessage();
    ASSERT_NE(signal, 0u);

    EXPECT_TRUE(SignalExitEvents());
    EXPECT_TRUE(window.WaitFor(signal, 1, 2)); // "Local\...Exit" and "Global\...Exit_ALL"
    EXPECT_TRUE(SignalAlreadyWork());
    EXPECT_TRUE(window.WaitFor(signal, 0, 1));
    // Manual-reset events: the relay reset them.
    EXPECT_TRUE(scvtest::WaitUntil([] { return !IsSignalled(GetExitEventName()); }, 2000));
    EXPECT_FALSE(IsSignalled(GetAlreadyWorkEventName()));

    ::SetEvent(stop.Get());
    EXPECT_TRUE(scvtest::WaitUntil(
        [] {
            return !NamedEventExists(GetExitEventName()) && !NamedEventExists(GetExitAllEventName()) &&
                   !NamedEventExists(GetAlreadyWorkEventName());
        },
        5000));
    EXPECT_FALSE(SignalExitEvents());
}

TEST_F(RelayFixture, TrayRelaysDeliverTheirCommands)
{
    CAppObjects::SetMainWnd(window.Get());
    ASSERT_TRUE(StartEditRequestRelay(stop.Get()));
    ASSERT_TRUE(StartShowMenuRelay(stop.Get(), window.Get(), kShowMenuMessage));
    ASSERT_TRUE(StartDelayedRelays(stop.Get(), window.Get(), kLangChangedMessage));

    EXPECT_TRUE(SignalEditRequest());
    EXPECT_TRUE(window.WaitFor(WM_COMMAND, 32772, 1));
    EXPECT_TRUE(SignalShowMenuEvent());
    EXPECT_TRUE(window.WaitFor(kShowMenuMessage, 0, 1));
    EXPECT_TRUE(SignalCheckForUpdatesRequest());
    EXPECT_TRUE(window.WaitFor(WM_COMMAND, 32791, 1));
    EXPECT_TRUE(SetNamedEvent(GetFloatPaneBlinkEventName()));
    EXPECT_TRUE(window.WaitFor(kFloatPaneBlinkMessage, 1, 1));
    EXPECT_TRUE(SetNamedEvent(GetLangUIChangedEventName()));
    EXPECT_TRUE(window.WaitFor(kLangChangedMessage, 0, 1));

    for (const auto& record : window.Records()) {
        if (record.message == kShowMenuMessage) {
            EXPECT_FALSE(record.sent) << "the show-menu request is posted";
        }
    }
    ::SetEvent(stop.Get());
    EXPECT_TRUE(scvtest::WaitUntil(
        [] {
            return !NamedEventExists(GetEditRequestEventName()) && !NamedEventExists(GetShowMenuEventName());
        },
        5000));
}

TEST_F(RelayFixture, ARelayWithoutAWindowDeliversNothing)
{
    // Instance relays look the main window up at each signal; none is set.
    ASSERT_TRUE(StartInstanceRelays(stop.Get()));
    EXPECT_TRUE(SignalAlreadyWork());
    EXPECT_TRUE(scvtest::WaitUntil([] { return !IsSignalled(GetAlreadyWorkEventName()); }, 2000));
    scvtest::PumpFor(50);
    EXPECT_EQ(window.Count(GetInstanceSignalMessage(), 0), 0u);
}

// --- Delayed start and hand-over ---------------------------------------------------

TEST(NamedEvents, AutomodeEventReleasesTheWaitingStart)
{
    EXPECT_FALSE(SignalAutomodeEvent());
    bool existed = true;
    CKernelHandle automode(CreateAutomodeEvent(&existed));
    ASSERT_TRUE(automode);
    EXPECT_FALSE(existed);
    EXPECT_TRUE(SignalAutomodeEvent());
    EXPECT_EQ(::WaitForSingleObject(automode.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(::WaitForSingleObject(automode.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)); // auto reset
}

TEST(NamedEvents, HandOverWait)
{
    DWORD error = 0;
    const DWORD before = ::GetTickCount();
    EXPECT_FALSE(WaitHandOverEvent(10000, error));
    EXPECT_LT(::GetTickCount() - before, 2000u) << "a missing event is not waited for";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SignalHandOverEvent());

    ASSERT_TRUE(CreateHandOverEvent());
    EXPECT_FALSE(WaitHandOverEvent(50, error));
    EXPECT_EQ(error, 0u);

    std::thread firstInstance([] {
        ::Sleep(200);
        SignalHandOverEvent();
    });
    EXPECT_TRUE(WaitHandOverEvent(10000, error));
    firstInstance.join();
    EXPECT_FALSE(NamedEventExists(GetHandOverEventName())) << "set and closed";
}

TEST(NamedEvents, FailedElevatedStartSetsAndClosesTheHandOverEvent)
{
    scvtest::DialogWatchdog::ScopedMode mode(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit limit(300);
    EXPECT_FALSE(RunAsAdminWithProgram(nullptr, L"C:\\no such folder\\Scrivolanter.exe"));
    EXPECT_FALSE(NamedEventExists(GetHandOverEventName()));
    EXPECT_FALSE(SignalHandOverEvent());
    bool reported = false;
    for (const std::wstring& text : scvtest::DialogWatchdog::TakeClosedTexts())
        reported =
            reported || text.find(L"Cannot start second instance of Scrivolanter") != std::wstring::npos;
    EXPECT_TRUE(reported);
}

TEST(NamedEvents, CopyEvents)
{
    EXPECT_FALSE(SignalStartCopy());
    ASSERT_TRUE(CreateCopyEvents());
    ASSERT_NE(GetStartCopyEvent(), nullptr);
    ASSERT_NE(GetEndCopyEvent(), nullptr);

    std::thread signaller([] {
        ::Sleep(100);
        SignalEndCopy();
    });
    EXPECT_EQ(::WaitForSingleObject(GetEndCopyEvent(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    signaller.join();
    EXPECT_EQ(::WaitForSingleObject(GetStartCopyEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    CloseCopyEvents();
    EXPECT_EQ(GetEndCopyEvent(), nullptr);
    EXPECT_FALSE(SignalEndCopy());
}
