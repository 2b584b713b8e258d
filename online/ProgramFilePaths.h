#pragma once

// Paths of the program's own files as the online services and the system report
// name them: the programs of the product, the shared log and the core hook DLL.

#include "platform/CString.h"

// The full path of the running program.
CString OwnExePath();
// The editor, the waiter and the welcome program in the program folder (the
// file need not exist).
CString EditorExePath();
CString WaiterExePath();
CString WelcomeExePath();
// The shared log file of the running program.
CString LogReportPath();

// The core hook DLL "Scrivolanter.dll": the one in the current folder while a
// debugger is attached and it exists there, else the one in the program folder.
CString GetCoreDllPath();
// The same rule on given facts.
CString SelectCoreDllPath(bool debuggerAttached, const CString& currentFolder, const CString& programFolder);
