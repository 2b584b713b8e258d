#pragma once

// The boundary that keeps a C++ exception from leaving a window procedure or a thread procedure:
// the exception is caught there and handed to the reporter (the program logs it), and the message
// counts as handled.
//
// A call through a pure virtual slot (an object used during its destruction or after it was freed) is
// reported the same way (where: "pure virtual call") and ends the program (PureVirtualCall.cpp).

#include <windows.h>

// Receives where the exception was caught and its what() text (ANSI) or "unknown exception".
using ExceptionReporter = void (*)(const wchar_t* where, const char* what);

// Sets the reporter (null: OutputDebugStringA only).
void SetExceptionReporter(ExceptionReporter reporter);

// To be called inside a catch block: reports the exception being handled.
void ReportCurrentException(const wchar_t* where) noexcept;

// Reports a fault the program cannot go on from (also on stderr) and ends the process at once with
// abort's code 3, without the run-time's message box that would keep a windowless program waiting.
[[noreturn]] void EndProgramAfterFault(const wchar_t* where, const char* what) noexcept;
