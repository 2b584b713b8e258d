#include "app/tray/SoundPlayer.h"

#include "common/KernelHandle.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace
{
// A player that records what it was asked to play; the first sound can be
// held "playing" until the test lets it end.
class RecordingPlayer
{
public:
    RecordingPlayer()
        : m_playing(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_release(::CreateEventW(nullptr, TRUE, TRUE, nullptr))
    {}

    void HoldNextSound() { ::ResetEvent(m_release.Get()); }
    void ReleaseSound() { ::SetEvent(m_release.Get()); }
    bool WaitUntilPlaying(DWORD ms) { return ::WaitForSingleObject(m_playing.Get(), ms) == WAIT_OBJECT_0; }

    void Play(int sound)
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_played.push_back(sound);
        }
        ::SetEvent(m_playing.Get());
        ::WaitForSingleObject(m_release.Get(), 10000);
    }

    std::vector<int> Played()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_played;
    }

private:
    CKernelHandle m_playing;
    CKernelHandle m_release;
    std::mutex m_lock;
    std::vector<int> m_played;
};

struct SoundThreadFixture : testing::Test
{
    CKernelHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    RecordingPlayer player;
    CSoundRequestThread thread{[this](int sound) { player.Play(sound); }};
};
} // namespace

TEST_F(SoundThreadFixture, ARequestDuringASoundIsPlayedAfterIt)
{
    ASSERT_TRUE(thread.Start(stop.Get()));
    player.HoldNextSound();
    thread.Request(SoundMenu);
    ASSERT_TRUE(player.WaitUntilPlaying(5000));
    thread.Request(SoundPaper); // arrives while "menu.wav" plays
    player.ReleaseSound();
    EXPECT_TRUE(scvtest::WaitUntil([&] { return player.Played().size() >= 2; }, 5000));
    ::Sleep(100); // nothing more may follow
    EXPECT_EQ(player.Played(), (std::vector<int>{SoundMenu, SoundPaper}));
}

TEST_F(SoundThreadFixture, OnlyTheLatestRequestBeforeTheThreadWakesIsPlayed)
{
    player.HoldNextSound();
    ASSERT_TRUE(thread.Start(stop.Get()));
    thread.Request(SoundKbd);
    ASSERT_TRUE(player.WaitUntilPlaying(5000));
    thread.Request(SoundLaunch);
    thread.Request(SoundWherePane);
    player.ReleaseSound();
    EXPECT_TRUE(scvtest::WaitUntil([&] { return player.Played().size() >= 2; }, 5000));
    ::Sleep(100);
    EXPECT_EQ(player.Played(), (std::vector<int>{SoundKbd, SoundWherePane}));
}

TEST_F(SoundThreadFixture, InvalidNumbersAreNotPlayed)
{
    ASSERT_TRUE(thread.Start(stop.Get()));
    thread.Request(8);
    thread.Request(-5);
    ::Sleep(100);
    thread.Request(SoundStart);
    EXPECT_TRUE(scvtest::WaitUntil([&] { return !player.Played().empty(); }, 5000));
    ::Sleep(50);
    EXPECT_EQ(player.Played(), (std::vector<int>{SoundStart}));
}

TEST_F(SoundThreadFixture, TheStopEventEndsTheThread)
{
    ASSERT_TRUE(thread.Start(stop.Get()));
    EXPECT_FALSE(thread.Start(stop.Get()));
    ::SetEvent(stop.Get());
    ::Sleep(50);
    thread.Request(SoundMenu);
    ::Sleep(100);
    EXPECT_TRUE(player.Played().empty());
}

TEST(SoundPlayer, FileNames)
{
    EXPECT_STREQ(GetSoundFileName(SoundKbd), L"kbd.wav");
    EXPECT_STREQ(GetSoundFileName(SoundStartAdmin), L"start_as_admin.wav");
    EXPECT_STREQ(GetSoundFileName(SoundWherePane), L"wherepane.wav");
    EXPECT_STREQ(GetSoundFileName(8), L"");
}
