#pragma once

// The signals the editor gives other programs of the system. Each opens an
// existing named event with the modify right, sets it and closes it; when
// nobody created the event the call does nothing and returns false.

#include <windows.h>

// "Local\Scrivolanter_CoopClientEditor": the phrases changed (no program of
// the system creates it; a program that wants to hear of changes may).
bool SignalCoopClientEditor();
// "Local\Scrivolanter_CommandCheckForUpdates": asks the main program to check for updates.
bool RequestUpdateCheck();
// "Local\Scrivolanter_AddPhraseFromCB": asks the running editor to add the
// clipboard's text as a new phrase.
bool SignalAddPhraseFromClipboard();

// "Local\Scrivolanter_FloatPaneBlink", set by the Float Pane settings page.
LPCWSTR FloatPaneBlinkEventName();

// Opens the existing event `name` (modify right) and sets it; false when it
// does not exist or cannot be set.
bool SetExistingNamedEvent(LPCWSTR name);
