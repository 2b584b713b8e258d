#include "app/tray/SoundPlayer.h"

#include "app/AppObjects.h"
#include "common/KernelHandle.h"
#include "online/SoundUtilLibrary.h"
#include "common/EventSounds.h"
#include "common/PathFunctions.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/WellKnownNames.h"

#include <atomic>

namespace
{
constexpr DWORD kResetRetryMs = 500;

std::atomic<int> g_muteMode{0};

// The process-wide player; never destroyed, so that a sound requested while
// the process ends finds it.
CSoundRequestThread& ProcessSoundPlayer()
{
    static CSoundRequestThread* const player = new CSoundRequestThread(PlaySoundOfType);
    return *player;
}
} // namespace

LPCWSTR GetSoundFileName(int sound)
{
    static const wchar_t* const files[SoundTypeCount] = {
        L"kbd.wav",   L"launch.wav",         L"paper.wav",        L"menu.wav",
        L"start.wav", L"start_as_admin.wav", L"already_work.wav", L"wherepane.wav",
    };
    return sound >= 0 && sound < SoundTypeCount ? files[sound] : L"";
}

CSoundRequestThread::CSoundRequestThread(Player player)
    : m_player(std::move(player)), m_requestEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_privateStop(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{}

CSoundRequestThread::~CSoundRequestThread()
{
    if (!m_thread)
        return;
    ::SetEvent(m_privateStop.Get());
    ::WaitForSingleObject(m_thread.Get(), INFINITE);
}

bool CSoundRequestThread::Start(HANDLE stopEvent)
{
    if (m_thread || !m_requestEvent || !m_privateStop)
        return false;
    m_stopEvent = DuplicateHandleInProcess(stopEvent);
    if (!m_stopEvent)
        return false;
    m_thread.Reset(::CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, nullptr));
    if (!m_thread)
        return false;
    ::SetThreadPriority(m_thread.Get(), THREAD_PRIORITY_BELOW_NORMAL);
    ::ResumeThread(m_thread.Get());
    return true;
}

bool CSoundRequestThread::Request(int sound)
{
    ::InterlockedExchange(&m_request, sound);
    if (m_requestEvent)
        ::SetEvent(m_requestEvent.Get());
    return true;
}

DWORD WINAPI CSoundRequestThread::ThreadProc(void* parameter)
{
    static_cast<CSoundRequestThread*>(parameter)->Run();
    return 0;
}

void CSoundRequestThread::ResetRequestEvent()
{
    while (!::ResetEvent(m_requestEvent.Get())) {
        if (::WaitForSingleObject(m_stopEvent.Get(), kResetRetryMs) != WAIT_TIMEOUT)
            return;
    }
}

void CSoundRequestThread::Run()
{
    const HANDLE handles[3] = {m_stopEvent.Get(), m_privateStop.Get(), m_requestEvent.Get()};
    for (;;) {
        const DWORD result = ::WaitForMultipleObjects(3, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0 || result == WAIT_OBJECT_0 + 1)
            return;
        if (result != WAIT_OBJECT_0 + 2) {
            WriteLogLine(L"ERROR: default on switch");
            return;
        }
        // Reset first, then take the request: a request that arrives while
        // this one plays sets the event again and is played next.
        ResetRequestEvent();
        const LONG sound = ::InterlockedExchange(&m_request, -1);
        if (sound == -1)
            continue; // already played
        if (sound < 0 || sound >= SoundTypeCount) {
            WriteLogLine(L"ERROR: Invalid sound type");
            continue;
        }
        m_player(static_cast<int>(sound));
    }
}

bool StartSoundThread(HANDLE stopEvent)
{
    return ProcessSoundPlayer().Start(stopEvent);
}

bool RequestSound(int sound)
{
    return ProcessSoundPlayer().Request(sound);
}

void PlaySoundOfType(int sound)
{
    if (!CAppObjects::SoundsEnabled())
        return;
    const CString path = GetProgramFolderFile(GetSoundFileName(sound));
    if (PlaySoundFileRepeated(path, 1, true))
        return;
    if (!FileExists(path))
        LogError(L"Sound file not found: " + path);
}

void SetMuteMode(int value)
{
    g_muteMode.store(value);
    const int result = VAVovezAziz_DLL_Support::SU2_SetMute_Current_Process(value, true);
    CString line;
    line.Format(L"VAVovezAziz_DLL_Support::SU2_SetMute_Current_Process (%d), result=%d", value, result);
    if (result == 0)
        LogError(line);
    else
        WriteLogLine(line);
}

int GetMuteMode()
{
    return g_muteMode.load();
}

void PlayNotificationSoundIfEnabled()
{
    if (CAppObjects::SoundsEnabled())
        PlayNotificationSound(false);
}

void PlayErrorBeep()
{
    if (!CAppObjects::SoundsEnabled())
        return;
    StopSound();
    ::MessageBeep(0xFFFFFFFF);
}

// --- The sound members of CAppObjects ------------------------------------------

bool CAppObjects::SoundsEnabled()
{
    if (g_muteMode.load() != 0)
        return false;
    return GetSettings().SoundOnEventsV094 != 0;
}

bool CAppObjects::IsMuteMode()
{
    return g_muteMode.load() != 0;
}

bool CAppObjects::PlayKbdSound()
{
    return RequestSound(SoundKbd);
}

bool CAppObjects::PlayLaunchSound()
{
    return RequestSound(SoundLaunch);
}

bool CAppObjects::PlayPaperSound()
{
    return RequestSound(SoundPaper);
}

bool CAppObjects::PlayMenuSound()
{
    return RequestSound(SoundMenu);
}

bool CAppObjects::PlayStartSound()
{
    return RequestSound(IsElevated() ? SoundStartAdmin : SoundStart);
}

bool CAppObjects::PlayAlreadyWorkSound()
{
    return RequestSound(SoundAlreadyWork);
}

bool CAppObjects::PlayWherePaneSound()
{
    return RequestSound(SoundWherePane);
}
