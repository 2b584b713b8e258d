#pragma once

// System event sounds and sound files.

#include <windows.h>

// PlaySoundW of the "SystemNotification" alias.
void PlayNotificationSound(bool async);
// PlaySoundW of the "SystemExclamation" alias.
void PlayExclamationSound(bool async);
// PlaySoundW of the system's "hand" (critical stop) sound.
void PlaySystemHandSound(bool async);
// Plays the sound file `count` times; true when any play succeeded.
bool PlaySoundFileRepeated(LPCWSTR file, int count, bool async);
// Stops the sound that is playing.
void StopSound();
// When on, the playing sound is stopped before each of the sounds above starts.
// Off at start.
void SetStopPreviousSound(bool stop);
