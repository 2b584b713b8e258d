#pragma once

// The sound player: callers on any thread post a sound request; one thread of
// below-normal priority plays it, so no caller waits for the sound. Only the
// latest request before the thread wakes is played; a request that arrives
// while a sound plays is played after it.
//
// The process-wide player is started by the tray window with the instance
// event as stop event; CAppObjects::Play...Sound post to it.

#include <windows.h>

#include <functional>

#include "common/KernelHandle.h"
#include "platform/CString.h"

// The sounds and their files in the program folder.
enum SoundType : int
{
    SoundKbd = 0,         // "kbd.wav"
    SoundLaunch = 1,      // "launch.wav"
    SoundPaper = 2,       // "paper.wav"
    SoundMenu = 3,        // "menu.wav"
    SoundStart = 4,       // "start.wav"
    SoundStartAdmin = 5,  // "start_as_admin.wav"
    SoundAlreadyWork = 6, // "already_work.wav"
    SoundWherePane = 7,   // "wherepane.wav"
    SoundTypeCount = 8,
};

// The file name of a sound; empty for a number outside 0 to 7.
LPCWSTR GetSoundFileName(int sound);

// A request word and event with a thread that hands each request to a player
// function. The process-wide instance plays sound files; tests give their own
// function.
class CSoundRequestThread
{
public:
    using Player = std::function<void(int sound)>;

    explicit CSoundRequestThread(Player player);
    // Stops and joins the thread when it runs.
    ~CSoundRequestThread();
    CSoundRequestThread(const CSoundRequestThread&) = delete;
    CSoundRequestThread& operator=(const CSoundRequestThread&) = delete;

    // Starts the thread (created suspended, below-normal priority, resumed);
    // it ends when `stopEvent` is set (the handle is duplicated). False when
    // the event or the thread cannot be made, or it already runs.
    bool Start(HANDLE stopEvent);
    // Stores the request and wakes the thread; true.
    bool Request(int sound);
    bool IsRunning() const { return m_thread.Get() != nullptr; }

private:
    static DWORD WINAPI ThreadProc(void* parameter);
    void Run();
    void ResetRequestEvent();

    Player m_player;
    volatile LONG m_request = -1;
    CKernelHandle m_requestEvent;
    CKernelHandle m_stopEvent;
    CKernelHandle m_privateStop; // set by the destructor
    CKernelHandle m_thread;
};

// Starts the process-wide sound player; see CSoundRequestThread::Start.
bool StartSoundThread(HANDLE stopEvent);
// Posts a request to the process-wide player; true.
bool RequestSound(int sound);

// Plays the sound file once, asynchronously, when sounds are enabled; a file
// that cannot be played and does not exist is logged ("Sound file not found: ").
void PlaySoundOfType(int sound);

// Mute mode: 0 at start. Setting it also mutes the process through the sound
// utility library and logs the library's answer.
void SetMuteMode(int value);
int GetMuteMode();

// The system notification sound, when sounds are enabled.
void PlayNotificationSoundIfEnabled();
// When sounds are enabled: stops the playing sound and beeps.
void PlayErrorBeep();
