#pragma once

// The answer of the DLL's code in the target process to a target request:
// the "SVQuery" document (platform/interchange/InterchangeArea.h) written into the interchange
// area, then DataNeeded set.

#include <windows.h>

#include <string>

#include "platform/hookdll/HookConfig.h"

// The query document for the window that received the request, built on the
// thread that owns it: caret point (else the cursor), the thread's GUI
// windows, the process path, the window's class, the keyboard layout and the
// focused control's selection. A selection that would make the document
// longer than the area's text limit is left out (state 1).
std::string BuildTargetQueryDocument(HWND target);

// Writes the document into the area named by the record, resets DataCompleted
// and sets DataNeeded. False, signalling nothing, when the area is missing or
// the document does not fit it.
bool WriteTargetQuery(const HookConfig& config, const std::string& document);
