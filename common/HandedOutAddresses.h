#pragma once

// Addresses this process hands to its own windows in messages that any process can post: the
// query of WM_WAIT_QUERY_COMPLETE, the buffers that WM_SCV_GET_HISTORY_CAPTION and
// WM_SCV_GET_CURRENT_ITEM_URL fill, the texts and string objects of the tray window's text
// messages, the update check's result, the loaded history and the saved copies that the clipboard
// history workers hand to the watcher window. The sender keeps the memory handed out with a scope around
// the send; a handler uses the memory a message names only while it is handed out, under the
// lock that keeps the scope from ending, so the memory stays alive while it is used. Anything
// else a message names (another process's number, a block already taken back) is not touched.
// Any thread.

#include <windows.h>

#include <functional>

#include "platform/CString.h"

enum class HandOverKind
{
    Query,
    Buffer,
    HistoryQueue, // a CCHQueue the load thread hands over
    HistoryItem,  // a saved CCHItem copy of the save worker
    Text,         // a NUL-terminated text the handler reads
    StringObject, // a CString the handler fills
    UpdateResult, // the CUpdateInfo of a finished update check
    Request,      // a token naming a request this process makes of its own window
    OwnWindowData // a structure or text one window of this process sends another (the editor's drop pair, status text)
};

// Keeps `bytes` bytes from `address` handed out for the scope's lifetime.
class CHandOverScope
{
public:
    CHandOverScope(HandOverKind kind, const void* address, size_t bytes);
    ~CHandOverScope();
    CHandOverScope(const CHandOverScope&) = delete;
    CHandOverScope& operator=(const CHandOverScope&) = delete;

private:
    const void* m_address;
};

// Runs `use` when `bytes` bytes from `address` lie in one block of that kind handed out now, and
// returns true; false (nothing run) otherwise.
bool UseHandedOut(HandOverKind kind, const void* address, size_t bytes, const std::function<void()>& use);
// Whether `bytes` bytes from `address` lie in one block of that kind handed out now. For a
// handler whose work may itself hand out memory: the block stays alive as long as its sender
// waits in SendMessageW for that handler, so the handler runs outside the lock.
bool IsHandedOut(HandOverKind kind, const void* address, size_t bytes);

// The NUL-terminated text at `address`, read only within the Text block handed out there; empty
// (a log line naming `what`) when no such block holds it or the block has no terminator.
CString ReadHandedOutText(LPARAM address, const wchar_t* what);

// Keeps `text` handed out as a Text block (its characters and terminator) for the scope's lifetime.
class CTextHandOverScope : public CHandOverScope
{
public:
    explicit CTextHandOverScope(const wchar_t* text);
};

// Copies `text` into a buffer of `size` characters that this process has handed out, cut to fit
// and always terminated. False (nothing written, a log line naming `what`) for a size of 0 or a
// buffer that is not handed out with at least that size.
bool CopyToHandedOutBuffer(WPARAM size, LPARAM buffer, const CString& text, const wchar_t* what);
