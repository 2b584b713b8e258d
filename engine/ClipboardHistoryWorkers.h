#pragma once

// Saving and loading the clipboard history on worker threads. The workers
// never touch the watcher window's queue: the save worker writes clones and
// reports each saved copy, the load thread fills a queue of its own and hands
// it over; both report by SendMessageW to the watcher window, whose handlers
// run on its own thread. Each address sent is handed out (common/HandedOutAddresses)
// for the send, so the window can refuse one any other program made up. The mutex "Local\Scrivolanter_SaveLoad_CH" keeps
// saves and loads, also of other processes, apart: only one holds it at a time.

#include <windows.h>

#include <memory>

#include "platform/CString.h"

class CCHQueue;

// "{278BB95C-BECC-4945-9CDF-98E5CDC69FEF}": lParam is the loaded CCHQueue, sent
// once at the end of every load, empty when nothing was loaded (the
// handler takes its items; the sender deletes the queue afterwards).
UINT GetHistoryLoadedMessage();
// "{F762C94C-9D69-4a96-B8FD-7F53F4157D13}": lParam is the saved copy (a
// CCHItem owned by the sender), with its data file and descriptor paths. At the
// end of a save the worker posts it once more with wParam 1 and lParam 0.
UINT GetHistoryItemSavedMessage();

// The save/load mutex, created on first use and kept for the life of the
// process; null when it cannot be had.
HANDLE GetHistorySaveLoadMutex();
// Whether a save or a load (of any process) holds the mutex now.
bool IsHistorySaveLoadBusy();

// Starts a worker that saves every item of the snapshot into the folder and
// reports each one saved, while the window lives (a file set the window did not
// take is deleted again). At its end it sets `done` (may be null; the worker
// uses a duplicate) and then posts the end message. False (the snapshot is
// freed) when it cannot start.
bool StartSaveWorker(const CString& folder, std::unique_ptr<CCHQueue> snapshot, HWND window,
                     HANDLE done = nullptr);
// Starts a thread that loads the folder and hands the items to the window.
bool StartLoadThread(const CString& folder, HWND window);

// 0 when saving the history is off (SaveClipboardHistory_v198) or the folder
// cannot be had or the worker not started; 1 when the queue is empty or the
// worker was started for its items not yet on disk.
int SaveHistory(const CCHQueue& queue, HWND window, HANDLE done = nullptr);
// Starts the load thread when saving the history is on; true when started.
bool LoadHistoryIfEnabled(const CString& folder, HWND window);
