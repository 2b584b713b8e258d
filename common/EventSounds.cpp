#include "common/EventSounds.h"

#include <mmsystem.h>

#include <atomic>

namespace
{

std::atomic<bool> g_stopPreviousSound{false};

BOOL Play(LPCWSTR sound, DWORD flags, bool async)
{
    if (g_stopPreviousSound.load())
        StopSound();
    return ::PlaySoundW(sound, nullptr, flags | (async ? SND_ASYNC : 0));
}

} // namespace

void PlayNotificationSound(bool async)
{
    Play(L"SystemNotification", SND_ALIAS, async);
}

void PlayExclamationSound(bool async)
{
    Play(L"SystemExclamation", SND_ALIAS, async);
}

void PlaySystemHandSound(bool async)
{
    Play(reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(SND_ALIAS_SYSTEMHAND)), SND_ALIAS_ID, async);
}

bool PlaySoundFileRepeated(LPCWSTR file, int count, bool async)
{
    if (!file || !*file)
        return false;
    bool played = false;
    for (int i = 0; i < count; ++i)
        played = Play(file, SND_FILENAME, async) || played;
    return played;
}

void StopSound()
{
    ::PlaySoundW(nullptr, nullptr, 0);
}

void SetStopPreviousSound(bool stop)
{
    g_stopPreviousSound = stop;
}
