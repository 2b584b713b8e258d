#pragma once

// Texts about the machine for reports and the update query: keyboard languages,
// byte sizes, memory and the browser version.

#include "platform/CString.h"

#include <windows.h>

// ISO 639 names of the installed keyboard layouts' languages, in the list's
// order, joined by "+" (duplicates stay; unreadable ones are skipped).
CString GetKeyboardLanguagesText();

// Short byte-size text ("2.00 GB"); empty when the system cannot format it.
CString FormatByteSize(LONGLONG byteCount);

// "%.2f GB" of the installed physical memory; "Cannot detect" on failure.
CString GetInstalledMemoryText();
// "%.2f GB" of the available physical memory; "Cannot detect" on failure.
CString GetAvailableMemoryText();
// The memory load in percent, as "37%"; "Cannot detect" on failure.
CString GetMemoryUsageText();
// The "Version" value of the installed Internet Explorer; empty when missing.
CString GetInternetExplorerVersion();
