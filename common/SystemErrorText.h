#pragma once

// The system's message text for an error number.

#include "platform/CString.h"

#include <windows.h>

// FormatMessageW from the system table (inserts ignored, default language), with
// the message's own trailing line break; empty when the system has no text.
CString GetSystemErrorText(DWORD errorCode);
// The same text; kept as a separate name for the callers that log it unchecked.
CString GetSystemErrorTextUnchecked(DWORD errorCode);
