#pragma once

// A fixed accelerator table for a window that has no accelerator resource: it
// turns WM_KEYDOWN into the WM_COMMAND of the matching entry and writes each
// entry's key name behind the text of the menu items that carry its command.

#include "platform/CString.h"

#include <windows.h>

#include <vector>

// The key of an accelerator row as display text ("Ctrl+C").
CString AccelToText(const ACCEL& row);

class CMenuAccelTable
{
public:
    using MainWindowGetter = HWND (*)();

    CMenuAccelTable() = default;
    virtual ~CMenuAccelTable() = default;

    // Empties the table and adds the default rows; true when not empty.
    bool BuildDefault();
    void Add(BYTE fVirt, WORD key, WORD command);
    const std::vector<ACCEL>& GetRows() const { return m_rows; }

    // For a WM_KEYDOWN with a matching row: sends the row's command to the
    // window, else to the focus window, else to the program's main window.
    // 1 when one of them handled it (returned non-zero).
    int TranslateKeyDown(const MSG& message, HWND window) const;

    // Replaces whatever follows the first tab of the text with the key of the
    // first row with the command; 0 (text unchanged) when there is none.
    int AppendKeyToItemText(UINT command, CString& text) const;
    int AppendKeyToMenuItem(HMENU menu, UINT command) const;
    // For every top-level command item; the number of items changed.
    int AppendKeysToMenu(HMENU menu) const;

    // Where the last fallback of TranslateKeyDown comes from (the program's
    // main window); none until the application sets it.
    static void SetMainWindowGetter(MainWindowGetter getter);

private:
    const ACCEL* FindByCommand(UINT command) const;
    const ACCEL* FindByKey(BYTE fVirt, WORD key) const;

    std::vector<ACCEL> m_rows;
};
