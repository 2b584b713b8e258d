// test-locks: appevents
#include "online/EditorCoopEvents.h"

#include "common/KernelHandle.h"

#include "support/MessageCounter.h"
#include "support/MessagePump.h"
#include "support/PulseCatcher.h"

#include <gtest/gtest.h>

namespace
{
const UINT kEndedMessage = WM_APP + 6;

bool EventExists(LPCWSTR name)
{
    return CKernelHandle(::OpenEventW(SYNCHRONIZE, FALSE, name)).operator bool();
}
} // namespace

TEST(EditorCoopEvents, NamesAreTheAgreedOnes)
{
    EXPECT_STREQ(GetOptionsChangedEventName(), L"Local\\Scrivolanter_OptionsChanged");
    EXPECT_STREQ(GetEditorCoopEndedEventName(), L"Local\\Scrivolanter_Event_RedodeZovuvaAgentCoop_Ended");
}

TEST(OptionsChangedEvent, IsKeptAndPulsedForAWaitingEditor)
{
    const HANDLE event = GetOptionsChangedEvent();
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(GetOptionsChangedEvent(), event);

    // The editor's side: the event opened by name with the synchronise right.
    CKernelHandle editorSide(::OpenEventW(SYNCHRONIZE, FALSE, GetOptionsChangedEventName()));
    ASSERT_TRUE(editorSide);
    // A pulse wakes only a thread that already waits: one pulse once the editor's side waits.
    {
        scvtest::PulseCatcher waitingEditor(editorSide.Get());
        ASSERT_TRUE(waitingEditor.Arm());
        ASSERT_TRUE(SignalOptionsChangedAsync());
        EXPECT_TRUE(waitingEditor.Caught(5000));
    }
    // The pulse's thread resets the event at once after setting it.
    EXPECT_TRUE(scvtest::PumpUntil(
        [&] { return ::WaitForSingleObject(editorSide.Get(), 0) == WAIT_TIMEOUT; }, 5000))
        << "left set";

    CloseOptionsChangedEvent();
    editorSide.Reset();
    EXPECT_FALSE(EventExists(GetOptionsChangedEventName()));
    ASSERT_NE(GetOptionsChangedEvent(), nullptr); // made again on request
    CloseOptionsChangedEvent();
}

TEST(EditorCoopEndedWatcher, PostsOncePerSetUntilStopped)
{
    scvtest::MessageCounter window;
    ASSERT_NE(window.Get(), nullptr);
    CKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const CString name = GetEditorCoopEndedEventName();

    ASSERT_TRUE(StartEditorCoopEndedWatcher({stop.Get(), window.Get(), kEndedMessage}));
    ASSERT_TRUE(scvtest::WaitUntil([&] { return EventExists(name); }, 5000));

    {
        // The editor's side: opened with the modify right, set once per end.
        CKernelHandle editorSide(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name));
        ASSERT_TRUE(editorSide);
        ASSERT_TRUE(::SetEvent(editorSide.Get()));
        EXPECT_TRUE(scvtest::PumpUntil([&] { return window.Count(kEndedMessage) == 1; }, 5000));
        ASSERT_TRUE(::SetEvent(editorSide.Get()));
        EXPECT_TRUE(scvtest::PumpUntil([&] { return window.Count(kEndedMessage) == 2; }, 5000));
    }

    ::SetEvent(stop.Get());
    // The watcher closes its event when it ends: the name goes away.
    EXPECT_TRUE(scvtest::WaitUntil([&] { return !EventExists(name); }, 5000));
    scvtest::PumpFor(50);
    EXPECT_EQ(window.Count(kEndedMessage), 2);
}
