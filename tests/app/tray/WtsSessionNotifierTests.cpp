// Session notifications: the names of the session change reasons and the
// registration rules of the notifier. Under Wine the registration succeeds
// but no notification is ever sent (the tray window's handler is tested by
// sending the message, see TrayWindowTests).

#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <string>

#include "app/tray/WtsSessionNotifier.h"

namespace
{

TEST(WtsSessionChangeReasonTest, KnownReasonsHaveTheirNames)
{
    const struct
    {
        int reason;
        const wchar_t* name;
    } cases[] = {
        {WTS_CONSOLE_CONNECT, L"WTS_CONSOLE_CONNECT"},
        {WTS_CONSOLE_DISCONNECT, L"WTS_CONSOLE_DISCONNECT"},
        {WTS_REMOTE_CONNECT, L"WTS_REMOTE_CONNECT"},
        {WTS_REMOTE_DISCONNECT, L"WTS_REMOTE_DISCONNECT"},
        {WTS_SESSION_LOGON, L"WTS_SESSION_LOGON"},
        {WTS_SESSION_LOGOFF, L"WTS_SESSION_LOGOFF"},
        {WTS_SESSION_LOCK, L"WTS_SESSION_LOCK"},
        {WTS_SESSION_UNLOCK, L"WTS_SESSION_UNLOCK"},
        {WTS_SESSION_REMOTE_CONTROL, L"WTS_SESSION_REMOTE_CONTROL"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(WTSSessionChangeReason_2_Str(c.reason).GetString(), c.name) << c.reason;
}

TEST(WtsSessionChangeReasonTest, OtherReasonsNameTheNumber)
{
    for (int reason : {0, 10, -3}) {
        const std::wstring text = WTSSessionChangeReason_2_Str(reason).GetString();
        const std::wstring tail = L"WTSSessionChangeReason_2_Str: wReason=" + std::to_wstring(reason);
        ASSERT_GE(text.size(), tail.size());
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    }
}

class WtsSessionNotifierTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_window =
            ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override { ::DestroyWindow(m_window); }
    HWND m_window = nullptr;
};

TEST_F(WtsSessionNotifierTest, AWindowIsRegisteredOnce)
{
    WtsSessionNotifier notifier;
    ASSERT_NE(notifier.Register(m_window, true), FALSE);
    EXPECT_TRUE(notifier.IsRegistered(m_window));
    EXPECT_EQ(notifier.Register(m_window, true), FALSE);
    EXPECT_EQ(notifier.Register(m_window, false), FALSE);
    EXPECT_TRUE(notifier.IsRegistered(m_window));
}

TEST_F(WtsSessionNotifierTest, NoWindowNoRegistration)
{
    WtsSessionNotifier notifier;
    EXPECT_EQ(notifier.Register(nullptr, true), FALSE);
    const HWND gone = m_window;
    ::DestroyWindow(m_window);
    m_window = nullptr;
    EXPECT_EQ(notifier.Register(gone, true), FALSE);
    EXPECT_FALSE(notifier.IsRegistered(gone));
}

TEST_F(WtsSessionNotifierTest, UnregisterForgetsTheWindowOnlyWhenTheSystemAgrees)
{
    WtsSessionNotifier notifier;
    ASSERT_NE(notifier.Register(m_window, true), FALSE);
    const BOOL result = notifier.Unregister(m_window);
    // Wine answers 0 here; Windows unregisters.
    EXPECT_EQ(notifier.IsRegistered(m_window), result == FALSE);
}

} // namespace
