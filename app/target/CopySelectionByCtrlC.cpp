#include "app/target/CopySelectionByCtrlC.h"

#include "app/AppObjects.h"
#include "engine/ClipboardAccess.h"
#include "engine/OwnClipboardChange.h"
#include "engine/PasteKeystrokes.h"

namespace
{
// How long the menu waits for the target's copy to land; a copy that lands
// later is still the program's own change (kept out of the history, the
// user's content put back over it).
constexpr DWORD kCopyWaitBoundMs = 1000;
constexpr DWORD kCopyPollMs = 10;
constexpr UINT kCopyMessageTimeoutMs = 1000;

void PressCtrlC()
{
    // The hot key's Ctrl and Alt may still be held: Ctrl+Alt+C would type a
    // character over the selection on many layouts.
    ReleaseHeldModifiers();
    INPUT inputs[4] = {};
    const WORD keys[4] = {VK_CONTROL, 'C', 'C', VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, inputs, sizeof(INPUT));
}

void EmptyTheClipboard()
{
    if (!::OpenClipboard(nullptr))
        return;
    CAutoCloseClipboard close(kOwnClipboardChange);
    ::EmptyClipboard();
}
// Waits until the clipboard holds the copy the target was asked for, or the bound has passed.
void WaitForTheCopy()
{
    const COwnClipboardChange& own = COwnClipboardChange::GetInstance();
    const DWORD start = ::GetTickCount();
    while (!own.IsExpectedCopy() && ::GetTickCount() - start < kCopyWaitBoundMs)
        ::Sleep(kCopyPollMs);
}
} // namespace

CString ReadClipboardTextForQuery()
{
    CString text;
    GetClipboardTextAnyForm(text);
    return text;
}

bool CopySelectionByCtrlC(HWND target, CString& text)
{
    text.Empty();
    CAppObjects::BlockClipboardCaptureViaMainWnd();
    EmptyTheClipboard();
    // The emptying is the program's own change too: the watcher keeps it out by its sequence
    // number; a notice of it read only after the target's copy has landed took that copy in.
    CAppObjects::BlockClipboardCaptureViaMainWnd();
    // What the target copies on the program's request is the program's own change, whenever it
    // lands: the user's saved content may be put back over it.
    COwnClipboardChange::GetInstance().ExpectCopyBy(target ? target : ::GetForegroundWindow());
    PressCtrlC();
    if (target) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(target, WM_COPY, 0, 0, SMTO_ABORTIFHUNG, kCopyMessageTimeoutMs, &ignored);
    }
    WaitForTheCopy();
    text = ReadClipboardTextForQuery();
    return !text.IsEmpty();
}
