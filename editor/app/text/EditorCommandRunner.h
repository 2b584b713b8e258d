#pragma once
// Runs the command line of a start-as-application phrase for the editor: macros expanded with the
// selected and clipboard texts and the target window's keyboard layout, started through the shell
// by the command runner both programs share, with the editor's report (a box that closes itself
// after 30 seconds, titled "Scrivolanter : RedodeZovuva").

#include "online/CommandRunners.h"
#include "platform/CString.h"

#include <windows.h>

inline constexpr wchar_t kEditorBoxCaption[] = L"Scrivolanter : RedodeZovuva";
inline constexpr DWORD kEditorBoxTimeoutMs = 30000;
// What ExpandCommand shows in place of the clipboard's text.
inline constexpr wchar_t kClipboardPlaceholder[] = L"[Clipboard Content]";

// Mode 0 only expands, 1 reports failures, 2 always reports and flashes the window. With `out`
// given, the expanded command is stored there and nothing is started (true). Otherwise true when
// the command started. The thread's last error is kept. `box` stands in for the report box.
bool RunCommand(HWND window, const CString& command, int mode, const CString& selectedText,
                const CString& clipboardText, CString* out, const CommandReportBox& box = {});

// RunCommand on a thread of its own (its handle closed at once); false when it cannot start.
bool RunCommandAsync(HWND window, const CString& command, int mode, const CString& selectedText,
                     const CString& clipboardText);

// Reads the clipboard's text, then RunCommandAsync with mode 2.
bool RunPhraseCommand(HWND window, const CString& command, const CString& selectedText);

// The expanded command line only, "[Clipboard Content]" standing for the clipboard's text.
CString ExpandCommand(HWND window, const CString& command, const CString& selectedText);
