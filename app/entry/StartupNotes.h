#pragma once

// The start-up notes: a process-wide list of texts in which the tray window
// collects start-up failures and other notes about what runs and what does
// not. Other processes add notes through the registered message of
// CAppObjects::SendTextToMainWndList. The system report lists the notes and
// the menu tooltips count them. Any thread may add and read.

#include <windows.h>

#include <vector>

#include "platform/CString.h"

void AddStartupNote(LPCWSTR text);
std::vector<CString> GetStartupNotes();
int GetStartupNoteCount();
// Empties the list (for tests).
void ClearStartupNotes();
